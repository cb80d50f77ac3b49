#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <memory>

#include "FixedClock.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/ui/Frmmain.h"

// The real main window on a small library, loaded, shown, with scripted
// message boxes and today fixed at 20 March 2026.
class DeskFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        library.addCategory("B", "历史", 30);
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "史记", "B");
        library.addBook("B003", "围城", "A");
        library.addBook("B004", "边城", "A", true);  // lent to 002
        library.addReader("001", "张三");
        library.addReader("002", "李四");
        library.addLoan("002", "B004", "2026-03-01");
        library.setRules(3, 0.1);
        window = std::make_unique<Frmmain>(prompter, clock, library.dir());
        ASSERT_TRUE(window->Form_Load());
        window->show();
        QApplication::setActiveWindow(window.get());
        prompter.clear();
    }

    void TearDown() override { window.reset(); }

    template <class T = QLineEdit>
    T* get(const char* name)
    {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            ADD_FAILURE() << "no control " << name;
        return widget;
    }
    QString text(const char* name) { return get(name)->text(); }
    QString caption(const char* name) { return get<QLabel>(name)->text(); }
    bool enabled(const char* name) { return get<QPushButton>(name)->isEnabled(); }

    // Types a number into a box (replacing what it held) and presses Enter.
    void enter(const char* name, const QString& value, int key = Qt::Key_Return)
    {
        QLineEdit* box = get(name);
        box->selectAll();
        if (value.isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        else
            QTest::keyClicks(box, value);
        QTest::keyClick(box, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
    void press(const char* name) { get<QPushButton>(name)->click(); }
    QString focused() const
    {
        return window->focusWidget() ? window->focusWidget()->objectName() : QString();
    }
    void showTab(int index) { get<QTabWidget>("SSTab1")->setCurrentIndex(index); }

    QVariant scalar(const QString& statement, const QVariantMap& values = {})
    {
        return library.scalar(statement, values);
    }
    int loans() { return scalar("SELECT count(*) FROM lentInfo").toInt(); }

    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 3, 20)};
    std::unique_ptr<Frmmain> window;
};
