#pragma once

#include <QApplication>
#include <gtest/gtest.h>

#include "FixedClock.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "app/Frmmain.h"

// The real main window on a small library, with scripted message boxes and
// today fixed at 20 March 2026. A fixture fills the library, then openMain().
class MainWindowTest : public ::testing::Test {
protected:
    // Categories A 文学 (14 days) and B 历史 (30 days), readers 001 张三 and
    // 002 李四, a quota of 3 and a fine of 0.1 a day.
    void addBasics()
    {
        library.addCategory("A", "文学", 14);
        library.addCategory("B", "历史", 30);
        library.addReader("001", "张三");
        library.addReader("002", "李四");
        library.setRules(3, 0.1);
    }
    void openMain()
    {
        ASSERT_TRUE(window.Form_Load());
        window.show();
        QApplication::setActiveWindow(&window);
        prompter.clear();
    }
    template <class T = QWidget>
    T* get(const char* name)
    {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << "no control " << name;
        return widget;
    }
    // The messages shown so far, one a line.
    QString shown() const { return prompter.texts().join('\n'); }
    // The answers to the next questions, OK (true) or Cancel (false).
    void answer(std::initializer_list<bool> answers)
    {
        for (bool ok : answers)
            prompter.questionAnswers.enqueue(ok);
    }

    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 3, 20)};
    Frmmain window{prompter, clock, library.dir()};
};
