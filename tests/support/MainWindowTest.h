#pragma once

#include <QAction>
#include <QApplication>
#include <gtest/gtest.h>

#include "FixedClock.h"
#include "OpenWindows.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "app/Frmmain.h"

// The real main window on a small library, with scripted message boxes and
// today fixed at 20 March 2026. A fixture fills the library, then openMain().
class MainWindowTest : public ::testing::Test {
protected:
    // The basics of TempLibrary: two categories, two readers, the rules.
    void addBasics() { library.addBasics(); }
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
    // The window a menu item (or button) opens; with `fresh`, after closing
    // those open before.
    template <class W>
    W* open(QAction* item, bool fresh = false)
    {
        if (fresh)
            closeSecondaryWindows();
        item->trigger();
        W* opened = openWindow<W>();
        EXPECT_TRUE(opened) << "no window from " << item->text().toStdString();
        return opened;
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
    Frmmain window{prompter, clock, library.folders()};
};
