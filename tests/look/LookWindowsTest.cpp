#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/ProfileFile.h"
#include "core/logic/TextFile.h"
#include "core/ui/Frmmain.h"
#include "look/logic/MakerLinks.h"
#include "look/ui/FrmAbout.h"
#include "look/ui/FrmHelp.h"

namespace {

// Two small skins told apart by their text, as read from their one-line files.
const QString kTypeSheet = "QMainWindow { background-color: rgb(90, 40, 20); }\r\n";
const QString kLightSheet = "QMainWindow { background-color: rgb(230, 245, 255); }\r\n";
const QString kFirstTip = "借书先输读者编号";

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Lines in the old code page, each ended by CR LF.
void writeLines(const QString& file, const QStringList& lines)
{
    ASSERT_TRUE(TextFile::writeLines(file, lines));
}

// The style items, the tips and the About box, around a main window that has
// not been loaded; start() gives one after its load steps.
struct LookWindows : ::testing::Test {
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;
    Frmmain window{prompter, clock, library.dir()};
    QList<QUrl> opened;

    QString settingFile() const { return library.path(AppInfo::kSettingFile); }
    QString tipFile() const { return library.path(AppInfo::kTipFile); }
    void setSkins(bool type, bool light)
    {
        QDir(library.path("style")).removeRecursively();
        QDir(library.dir()).mkpath("style");
        if (type)
            writeLines(library.path(AppInfo::kTypeStyleFile), {kTypeSheet.trimmed()});
        if (light)
            writeLines(library.path(AppInfo::kLightStyleFile), {kLightSheet.trimmed()});
    }
    std::unique_ptr<Frmmain> start()
    {
        auto started = std::make_unique<Frmmain>(prompter, clock, library.dir());
        Database::close();  // the window opens its own shared connection
        EXPECT_TRUE(started->Form_Load());
        return started;
    }
    // The captions of the style items carrying the mark.
    static QStringList marked(const Frmmain& main)
    {
        QStringList captions;
        for (const QAction* item : {main.meuWinStyle, main.meuTypeStyle, main.meuLight})
            if (item->isChecked())
                captions << item->text();
        return captions;
    }
    // Closes the About box if open and opens it again from the menu.
    static FrmAbout* reopenAbout(Frmmain& main)
    {
        if (auto* open = main.findChild<FrmAbout*>())
            open->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.meuAbout_Click();
        return main.findChild<FrmAbout*>();
    }

    // A tip file with three tips under the given head lines.
    void writeTips(const QStringList& head)
    {
        writeLines(tipFile(), QStringList{"[TIP]"} + head
                                  + QStringList{"1=" + kFirstTip, "2=还书看罚款", "3=续借改日期"});
    }
    QString entry(const QString& key) { return ReadTipEntry(tipFile(), "TIP", key, prompter); }
    std::unique_ptr<FrmHelp> openTips()
    {
        auto tips = std::make_unique<FrmHelp>(prompter, window.windowStyler(), library.dir());
        tips->Form_Load();
        tips->show();
        return tips;
    }
    std::unique_ptr<FrmAbout> openAbout()
    {
        auto about = std::make_unique<FrmAbout>(window.windowStyler(), nullptr,
                                                [this](const QUrl& url) { opened.append(url); });
        about->Form_Load();
        about->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(about.get()));
        return about;
    }
};

void moveOver(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// A link under the mouse is blue and underlined; at rest, black and not underlined.
bool lit(const QLabel* link, bool underMouse = true)
{
    const QColor colour = underMouse ? QColor(0, 0, 255) : QColor(Qt::black);
    return link->palette().color(QPalette::WindowText) == colour
           && link->font().underline() == underMouse;
}

}  // namespace

// ---- window styles ---------------------------------------------------------

TEST_F(LookWindows, StartMarksTheSavedStyleAndSkinsOnlyWhenItsFileIsThere)
{
    const struct {
        const char* file;  // nullptr: no style file
        bool skins;
        QString marked;
        QString sheet;  // of the main window and of a window opened later
    } cases[] = {
        {nullptr, true, "Windows默认", ""},
        {"LoadStyle=1", true, "经典传奇", kTypeSheet},
        {"LoadStyle= 2abc", true, "轻松一刻", kLightSheet},  // the leading number counts
        {"LoadStyle=1", false, "经典传奇", ""},  // file missing: marked, no skin
        {"LoadStyle=2", false, "轻松一刻", ""},
        {"LoadStyle=5", true, "Windows默认", ""},  // names no style: the design marks
        {"LoadStyle=1.5", true, "Windows默认", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no style file");
        setSkins(c.skins, c.skins);
        QFile::remove(settingFile());
        if (c.file)
            writeLines(settingFile(), {c.file});
        auto started = start();
        EXPECT_EQ(marked(*started), QStringList{c.marked});
        EXPECT_EQ(started->styleSheet(), c.sheet);
        EXPECT_EQ(reopenAbout(*started)->styleSheet(), c.sheet);
        EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();
    }
}

TEST_F(LookWindows, EachChoiceMarksSkinsAndSavesWhileOpenWindowsKeepTheirLook)
{
    setSkins(true, true);
    const struct {
        QAction* item;
        QString sheet;
        QByteArray saved;
    } steps[] = {
        // No style file yet: the first choice creates it with the one line.
        {window.meuTypeStyle, kTypeSheet, "LoadStyle=1\r\n"},
        {window.meuLight, kLightSheet, "LoadStyle=2\r\n"},
        {window.meuWinStyle, "", "LoadStyle=0\r\n"},
        {window.meuTypeStyle, kTypeSheet, "LoadStyle=1\r\n"},
    };
    FrmHelp* tips = nullptr;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item->text().toStdString());
        step.item->trigger();  // as from the menu
        EXPECT_EQ(marked(window), QStringList{step.item->text()});
        EXPECT_EQ(window.styleSheet(), step.sheet);
        EXPECT_EQ(bytesOf(settingFile()), step.saved);
        // A window opened now takes this style; one opened under the first keeps it.
        EXPECT_EQ(reopenAbout(window)->styleSheet(), step.sheet);
        if (!tips) {
            window.meuHowToUse_Click();
            tips = window.findChild<FrmHelp*>();
            ASSERT_NE(tips, nullptr);
        }
        EXPECT_EQ(tips->styleSheet(), kTypeSheet);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(LookWindows, MissingSkinFileIsReportedAndChangesNothing)
{
    const std::pair<QAction*, QString> cases[] = {
        {window.meuTypeStyle, "文件 .\\style\\type-style.skn 不存在!"},
        {window.meuLight, "文件 \\style\\light-hearted.skn 不存在!"},
    };
    for (const auto& [missing, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        const bool typeMissing = missing == window.meuTypeStyle;
        setSkins(!typeMissing, typeMissing);
        (typeMissing ? window.meuLight : window.meuTypeStyle)->trigger();  // the skin there is
        const QStringList marksBefore = marked(window);
        const QByteArray savedBefore = bytesOf(settingFile());
        const QString sheetBefore = window.styleSheet();
        prompter.clear();
        missing->trigger();
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(prompter.shown[0].text, message);
        EXPECT_EQ(prompter.shown[0].title, AppInfo::kAppTitle);
        EXPECT_EQ(marked(window), marksBefore);
        EXPECT_EQ(bytesOf(settingFile()), savedBefore);
        EXPECT_EQ(window.styleSheet(), sheetBefore);
    }
}

// ---- quick tips ------------------------------------------------------------

TEST_F(LookWindows, StartShowsTheTipsOnlyWhenTheFileAsksAndTheMenuThenOnlyRaisesThem)
{
    const std::pair<const char*, bool> cases[] = {
        {"START= T ", true}, {"START=t", false}, {nullptr, false}};
    for (const auto& [startFlag, shown] : cases) {
        SCOPED_TRACE(startFlag ? startFlag : "no tip file");
        QFile::remove(tipFile());
        if (startFlag)
            writeLines(tipFile(), {"[TIP]", startFlag, "CURRENT=2", "1=第一条", "2=第二条"});
        auto started = start();
        auto* tips = started->findChild<FrmHelp*>();
        ASSERT_EQ(tips != nullptr, shown);
        EXPECT_EQ(QFile::exists(tipFile()), startFlag != nullptr);
        if (!tips)
            continue;
        EXPECT_TRUE(tips->isVisible());
        EXPECT_EQ(tips->tip_text->text(), "第二条");
        EXPECT_TRUE(tips->show_tip->isChecked());
        // From the menu while open: the same window, no further tip.
        started->meuHowToUse->trigger();
        EXPECT_EQ(started->findChildren<FrmHelp*>(), QList<FrmHelp*>{tips});
        EXPECT_EQ(entry("CURRENT"), "1");
    }
}

TEST_F(LookWindows, TipsShowCurrentAndWrapAfterTheLast)
{
    writeTips({"START=T", "CURRENT=3"});
    auto tips = openTips();
    EXPECT_EQ(tips->tip_text->text(), "续借改日期");
    EXPECT_EQ(entry("CURRENT"), "1");
    const std::pair<QString, QString> steps[] = {
        {kFirstTip, "2"}, {"还书看罚款", "3"}, {"续借改日期", "1"}};
    for (const auto& [shown, next] : steps) {
        QTest::mouseClick(tips->Next_Tip_Button, Qt::LeftButton);
        EXPECT_EQ(tips->tip_text->text(), shown);
        EXPECT_EQ(entry("CURRENT"), next);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(LookWindows, CurrentNamingNoTipShowsUnknownAndStartsAgainAtOne)
{
    const struct {
        std::optional<QStringList> head;  // nullopt: no tip file at all
        QStringList boxes;
        QString afterNext;
    } cases[] = {
        {std::nullopt, {}, "unknown"},  // the first step starts a file holding CURRENT=1
        {QStringList{}, {}, kFirstTip},
        {QStringList{"CURRENT=9"}, {}, kFirstTip},
        {QStringList{"CURRENT=abc"}, {}, kFirstTip},
        {QStringList{"CURRENT="}, {"非法条目> TIP/CURRENT"}, kFirstTip},  // present but empty
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.head ? c.head->join(' ').toStdString() : "no tip file");
        prompter.clear();
        QFile::remove(tipFile());
        if (c.head)
            writeTips(*c.head);
        auto tips = openTips();
        EXPECT_EQ(tips->tip_text->text(), "unknown");
        EXPECT_FALSE(tips->show_tip->isChecked());
        EXPECT_EQ(entry("CURRENT"), "1");
        EXPECT_EQ(prompter.texts(), c.boxes);
        tips->Next_Tip_Button_Click();
        EXPECT_EQ(tips->tip_text->text(), c.afterNext);
    }
}

TEST_F(LookWindows, StartBoxShowsTheFlagAndExitOrEnterSaveItButTheCloseBoxDoesNot)
{
    enum How { Click, Enter, CloseBox };
    const struct {
        const char* before;
        bool ticked;
        How how;
        QString after;
    } cases[] = {
        {"START=  T  ", true, Click, "F"},  // blanks around the flag do not count
        {"START=t", false, Enter, "T"},     // case does
        {"START=TRUE", false, CloseBox, "TRUE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        writeTips({c.before, "CURRENT=1"});
        auto tips = openTips();
        EXPECT_EQ(tips->show_tip->isChecked(), c.ticked);
        tips->show_tip->setChecked(!c.ticked);
        if (c.how == Click)
            QTest::mouseClick(tips->Quick_Tip_OK_Button, Qt::LeftButton);
        else if (c.how == Enter)
            QTest::keyClick(tips->show_tip, Qt::Key_Return);  // the default button
        else
            tips->close();
        EXPECT_EQ(entry("START"), c.after);
        EXPECT_FALSE(tips->isVisible());
    }
}

// ---- about box -------------------------------------------------------------

TEST_F(LookWindows, AboutShowsLinksOnlyWithTheSystemLookAsAtItsLoad)
{
    for (const bool system : {true, false}) {
        SCOPED_TRACE(system ? "system look" : "skin");
        window.meuWinStyle->setChecked(system);
        opened.clear();
        auto about = openAbout();
        EXPECT_EQ(about->Label5->isVisible(), system);
        EXPECT_EQ(about->Label6->isVisible(), system);
        EXPECT_EQ(about->Label2->isVisible(), !system);
        EXPECT_EQ(about->Label4->isVisible(), !system);

        // Any mouse button on a link opens its address; skinned text does nothing.
        QTest::mousePress(system ? about->Label5 : about->Label2, Qt::LeftButton);
        QTest::mousePress(system ? about->Label6 : about->Label4, Qt::RightButton);
        QTest::mouseClick(about->Picture1, Qt::LeftButton);
        QList<QUrl> expected{QUrl(MakerLinks::kHomePage)};
        if (system)
            expected = {QUrl(MakerLinks::kSoftwarePage), QUrl(MakerLinks::kSkinPage), expected[0]};
        EXPECT_EQ(opened, expected);

        // A later change of style does not change an open About box.
        window.meuWinStyle->setChecked(!system);
        EXPECT_EQ(about->Label5->isVisible(), system);
        QTest::mouseClick(about->Command2, Qt::LeftButton);
        EXPECT_FALSE(about->isVisible());
    }
}

TEST_F(LookWindows, AboutLinksLightUpUnderTheMouseAndOpenFromTheKeyboard)
{
    auto about = openAbout();
    const QColor initial = about->Label6->palette().color(QPalette::WindowText);
    moveOver(about->Label5, about->Label5->rect().center());
    EXPECT_TRUE(lit(about->Label5));
    EXPECT_EQ(about->Label6->palette().color(QPalette::WindowText), initial);
    EXPECT_FALSE(about->Label6->font().underline());

    // The first link stays lit until the mouse passes over the background.
    moveOver(about->Label6, about->Label6->rect().center());
    EXPECT_TRUE(lit(about->Label6));
    EXPECT_TRUE(lit(about->Label5));
    moveOver(about.get(), QPoint(about->width() - 5, about->height() - 5));
    EXPECT_TRUE(lit(about->Label5, false));
    EXPECT_TRUE(lit(about->Label6, false));

    about->Label6->setFocus();
    QTest::keyClick(about->Label6, Qt::Key_Return);
    about->Picture1->setFocus();
    QTest::keyClick(about->Picture1, Qt::Key_Space);
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(MakerLinks::kSkinPage), QUrl(MakerLinks::kHomePage)}));
}
