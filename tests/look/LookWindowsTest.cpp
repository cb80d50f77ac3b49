#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "FixedClock.h"
#include "OpenWindows.h"
#include "Probes.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/ProfileFile.h"
#include "core/logic/TextFile.h"
#include "app/FrmLogon.h"
#include "app/Frmmain.h"
#include "look/logic/MakerLinks.h"
#include "look/ui/FrmAbout.h"
#include "look/ui/FrmHelp.h"
#include "look/ui/clsToolTip.h"

namespace {

// Two small skins told apart by their text, as read from their one-line files.
const QString kTypeSheet = "QMainWindow { background-color: rgb(90, 40, 20); }\r\n";
const QString kLightSheet = "QMainWindow { background-color: rgb(230, 245, 255); }\r\n";
const QString kFirstTip = "借书先输读者编号";

// The style items, the tips and the About box, around a main window that has
// not been loaded; start() gives one after its load steps.
struct LookWindows : ::testing::Test {
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;
    Frmmain window{prompter, clock, library.folders()};

    QString settingFile() const { return library.path(AppInfo::kSettingFile); }
    QString tipFile() const { return library.path(AppInfo::kTipFile); }
    // Both skin files beside the program, or neither.
    void setSkins(bool present)
    {
        QDir(library.path("style")).removeRecursively();
        QDir(library.dir()).mkpath("style");
        if (present) {
            // Files are written as lines in the old code page, each ended by CR LF.
            ASSERT_TRUE(TextFile::writeLines(library.path(AppInfo::kTypeStyleFile), {kTypeSheet.trimmed()}));
            ASSERT_TRUE(TextFile::writeLines(library.path(AppInfo::kLightStyleFile), {kLightSheet.trimmed()}));
        }
    }
    std::unique_ptr<Frmmain> start()
    {
        auto started = std::make_unique<Frmmain>(prompter, clock, library.folders());
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
    // The skin files the program ships with, beside the program.
    void useShippedSkins()
    {
        setSkins(false);
        for (const QString& skin : {AppInfo::kTypeStyleFile, AppInfo::kLightStyleFile})
            ASSERT_TRUE(QFile::copy(QDir(SHELFMARK_DATA_DIR).filePath(skin), library.path(skin)));
    }
    // Closes the About box if open and opens it again from the menu.
    static FrmAbout* reopenAbout(Frmmain& main)
    {
        if (auto* open = openWindow<FrmAbout>())
            open->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.meuAbout_Click();
        return openWindow<FrmAbout>();
    }
    // What the window shows now, drawn as it would be on the screen.
    static QImage shown(QWidget* window) { return window->grab().toImage(); }

    QString entry(const QString& key) { return ReadTipEntry(tipFile(), "TIP", key, prompter); }
};

}  // namespace

// ---- window styles ---------------------------------------------------------

TEST_F(LookWindows, StartMarksTheSavedStyleAndSkinsOnlyWhenItsFileIsThere)
{
    // The style file (nullptr: none), whether the skin files are there, the
    // style marked and the sheet of the sign-in, the main window and a window opened later.
    const struct { const char* file; bool skins; QString marked, sheet; } cases[] = {
        {nullptr, true, "Windows默认", ""},
        {"LoadStyle=1", true, "经典传奇", kTypeSheet},
        {"LoadStyle= 2abc", true, "轻松一刻", kLightSheet},  // the leading number counts
        {"LoadStyle=1", false, "经典传奇", ""},  // file missing: marked, no skin
        {"LoadStyle=5", true, "Windows默认", ""},  // names no style: the design marks
        {"LoadStyle=1.5", true, "Windows默认", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no style file");
        setSkins(c.skins);
        QFile::remove(settingFile());
        if (c.file)
            ASSERT_TRUE(TextFile::writeLines(settingFile(), {c.file}));
        FrmLogon signIn(prompter, library.folders());
        signIn.Form_Load();
        EXPECT_EQ(signIn.styleSheet(), c.sheet);
        auto started = start();
        EXPECT_EQ(marked(*started), QStringList{c.marked});
        EXPECT_EQ(started->styleSheet(), c.sheet);
        EXPECT_EQ(reopenAbout(*started)->styleSheet(), c.sheet);
        EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();
    }
}

TEST_F(LookWindows, EachChoiceMarksSkinsAndSavesAndLaterWindowsTakeIt)
{
    setSkins(true);
    const struct { QAction* item; QString sheet; QByteArray saved; } steps[] = {
        // No style file yet: the first choice creates it with the one line,
        // even when it is the style in use.
        {window.meuWinStyle, "", "LoadStyle=0\r\n"},
        {window.meuTypeStyle, kTypeSheet, "LoadStyle=1\r\n"},
        {window.meuLight, kLightSheet, "LoadStyle=2\r\n"},
        {window.meuWinStyle, "", "LoadStyle=0\r\n"},
    };
    const auto state = [this] { return marked(window) << bytesOf(settingFile()) << window.styleSheet(); };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item->text().toStdString());
        step.item->trigger();  // as from the menu
        EXPECT_EQ(state(), QStringList() << step.item->text() << step.saved << step.sheet);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());

    // A skin file gone: its own message, and marks, skin and saved style stay.
    setSkins(false);
    const QStringList before = state();
    for (const auto& [item, message] :
         {std::pair{window.meuTypeStyle, "文件 .\\style\\type-style.skn 不存在!"},
          std::pair{window.meuLight, "文件 \\style\\light-hearted.skn 不存在!"}}) {
        prompter.clear();
        item->trigger();
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8(message));
        EXPECT_EQ(prompter.shown[0].title, AppInfo::kAppTitle);
        EXPECT_EQ(state(), before);
    }
}

// With the tips and the About box open, each style choice re-draws the main
// window only (the skins we ship style every widget, so a window inside the
// main window would take them at once); an About box opened afterwards is
// drawn in the new style.
TEST_F(LookWindows, AStyleChoiceRedrawsTheMainWindowOnlyAndLaterWindowsTakeIt)
{
    useShippedSkins();
    auto main = start();  // no style file: the system look
    main->show();
    main->meuHowToUse->trigger();
    main->meuAbout->trigger();
    auto* tips = openWindow<FrmHelp>();
    auto* about = openWindow<FrmAbout>();
    ASSERT_TRUE(tips && about);
    const QImage tipsLook = shown(tips);
    QImage aboutLook = shown(about);
    // The About box's background at its top edge, as each style draws it.
    const struct { QAction* choice; QColor background; } steps[] = {
        {main->meuTypeStyle, QColor(0xef, 0xe3, 0xc6)},
        {main->meuLight, QColor(0xf8, 0xfb, 0xff)},
        {main->meuWinStyle, aboutLook.pixelColor(4, 0)},
    };
    QImage mainLook = shown(main.get());
    for (const auto& step : steps) {
        SCOPED_TRACE(step.choice->text().toStdString());
        step.choice->trigger();
        EXPECT_TRUE(shown(main.get()) != mainLook);
        mainLook = shown(main.get());
        EXPECT_TRUE(shown(tips) == tipsLook && shown(about) == aboutLook);
        about = reopenAbout(*main);
        ASSERT_NE(about, nullptr);
        aboutLook = shown(about);
        EXPECT_EQ(aboutLook.pixelColor(4, 0).name(), step.background.name());
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

// Every window a menu opens, and the edit window 书库管理 opens: once, without
// a parent (so no sheet of the main window reaches it), with its title,
// wearing the whole skin chosen, its window background included (the
// gradient of 轻松一刻): at its edges it shows the same pixels as a dialog of
// its size under that skin. A grid grows with its window, inside it; the
// number of the book being edited looks like a box that cannot be typed
// into, not like the desk's cyan input.
TEST_F(LookWindows, EverySecondaryWindowWearsTheSkinsWindowBackground)
{
    useShippedSkins();
    library.addBasics();
    library.addBook("B001", "红楼梦", "A");
    auto main = start();
    main->show();
    const auto edges = [](QWidget* w) {  // the colours at three corners
        const QImage i = w->grab().toImage();
        return i.pixelColor(1, 1).name() + i.pixelColor(1, i.height() - 2).name() + i.pixelColor(i.width() - 2, 1).name();
    };
    const auto inside = [](QWidget* box) {  // away from its text and border
        const QImage i = box->grab().toImage();
        return i.pixelColor(i.width() - 6, i.height() / 2);
    };
    const auto opened = [](const char* name) {
        QWidgetList named = QApplication::topLevelWidgets();
        named.removeIf([name](QWidget* top) { return top->objectName() != name || !top->isVisible(); });
        return named;
    };
    const struct { QAction* item; const char* name; const char* title; } menus[] = {
        {main->meuAddNewBook, "FrmAddnew", "添加新书"},       {main->mnuShelfmark, "FrmShelfmark", "书库管理"},
        {main->mnuSetBook, "FrmSetBook", "设置图书类别"},     {main->mnuBookQuery, "FrmBookQuery", "书库查询"},
        {main->mnuLendQuery, "FrmLendQuery", "借阅查询"},     {main->meuReaderSet, "FrmReader", "读者资料管理"},
        {main->mnuSetBasic, "FrmBasicSet", "基本设置"},
    };
    for (QAction* style : {main->meuTypeStyle, main->meuLight}) {
        style->trigger();
        QDialog skinned, plain;
        skinned.setStyleSheet(main->styleSheet());
        for (const auto& menu : menus) {
            menu.item->trigger();
            menu.item->trigger();
            QWidgetList windows = opened(menu.name);
            ASSERT_EQ(windows.size(), 1) << menu.name;
            EXPECT_EQ(windows[0]->windowTitle(), QString::fromUtf8(menu.title));
            if (auto* list = windows[0]->findChild<QTableView*>("booksGrid"); menu.item == main->mnuShelfmark) {
                list->setCurrentIndex(list->model()->index(0, 0));
                windows[0]->findChild<QPushButton*>("cmdModify")->click();
                windows << opened("FrmUpdateBook");
                ASSERT_EQ(windows.size(), 2);
                const QColor number = inside(windows[1]->findChild<QLineEdit*>("txtBookID"));
                EXPECT_NE(number, QColor(192, 255, 255));
                EXPECT_NE(number, inside(windows[1]->findChild<QLineEdit*>("txtBookName")));
            }
            for (QWidget* shown : windows) {
                SCOPED_TRACE((style->text() + " " + shown->objectName()).toStdString());
                EXPECT_EQ(shown->parentWidget(), nullptr);
                skinned.resize(shown->size());
                plain.resize(shown->size());
                EXPECT_EQ(edges(shown), edges(&skinned));
                EXPECT_NE(edges(shown), edges(&plain));  // the skin shows
                if (auto* grid = shown->findChild<QTableView*>()) {
                    const QSize margin = shown->size() - grid->size();
                    shown->resize(shown->size() + QSize(160, 120));
                    EXPECT_EQ(shown->size() - grid->size(), margin) << "grid follows";
                    EXPECT_TRUE(shown->rect().contains(grid->geometry()));
                }
            }
            for (QWidget* shown : windows)
                closeNow(shown);
        }
    }
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();
}

// ---- quick tips ------------------------------------------------------------

TEST_F(LookWindows, StartShowsTheTipsOnlyWhenTheFileAsksAndTheMenuThenOnlyRaisesThem)
{
    const QStringList tipLines{"CURRENT=2", "1=第一条", "2=第二条"};
    ASSERT_TRUE(TextFile::writeLines(tipFile(), QStringList{"[TIP]", "START=t"} + tipLines));  // case counts
    auto unasked = start();
    EXPECT_EQ(openWindow<FrmHelp>(), nullptr);
    unasked.reset();

    ASSERT_TRUE(TextFile::writeLines(tipFile(), QStringList{"[TIP]", "START= T "} + tipLines));
    auto started = start();
    auto* tips = openWindow<FrmHelp>();
    ASSERT_NE(tips, nullptr);  // only a shown window counts
    EXPECT_EQ(tips->tip_text->text(), "第二条\n");
    // From the menu while open: the same window, no further tip.
    started->meuHowToUse->trigger();
    EXPECT_EQ(openWindows<FrmHelp>(), QList<FrmHelp*>{tips});
    EXPECT_EQ(entry("CURRENT"), "1");
}

// A tips window's life. Each row: the head lines of a tip file with three tips
// (nullopt: no tip file), whether the start box is ticked at load, the tip
// shown and the CURRENT left behind at load and after each "下一个", then how
// the window is left with the box turned over, and the START found after.
TEST_F(LookWindows, TipsStepOnAndWrapAndOnlyExitOrEnterSaveTheStartBox)
{
    enum How { Click, Enter, CloseBox };
    const struct { std::optional<QStringList> head; bool ticked; std::vector<std::pair<QString, QString>> steps;
                   How how; QString start; } cases[] = {
        {QStringList{"START=  T  ", "CURRENT=3"}, true,  // blanks around the flag do not count
         {{"续借改日期", "1"}, {kFirstTip, "2"}, {"还书看罚款", "3"}, {"续借改日期", "1"}}, Click, "F"},
        {QStringList{"START=t"}, false, {{"unknown", "1"}, {kFirstTip, "2"}}, Enter, "T"},  // case does
        {QStringList{"START=TRUE", "CURRENT=9"}, false, {{"unknown", "1"}, {kFirstTip, "2"}},
         CloseBox, "TRUE"},
        // The first step starts a file holding CURRENT=1.
        {std::nullopt, false, {{"unknown", "1"}, {"unknown", "1"}}, Click, "T"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.head ? c.head->join(' ').toStdString() : "no tip file");
        QFile::remove(tipFile());
        if (c.head)
            ASSERT_TRUE(TextFile::writeLines(tipFile(), QStringList{"[TIP]"} + *c.head
                                                            + QStringList{"1=" + kFirstTip, "2=还书看罚款", "3=续借改日期"}));
        FrmHelp tips(prompter, window.windowStyler(), library.dir());
        tips.Form_Load();
        tips.show();
        EXPECT_EQ(tips.show_tip->isChecked(), c.ticked);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            if (i > 0)
                QTest::mouseClick(tips.Next_Tip_Button, Qt::LeftButton);
            EXPECT_EQ(tips.tip_text->text(), c.steps[i].first + "\n") << i;  // a line break after it
            EXPECT_EQ(entry("CURRENT"), c.steps[i].second) << i;
        }
        tips.show_tip->setChecked(!c.ticked);
        c.how == Click   ? QTest::mouseClick(tips.Quick_Tip_OK_Button, Qt::LeftButton)
        : c.how == Enter ? QTest::keyClick(tips.show_tip, Qt::Key_Return)  // the default button
                         : (void)tips.close();
        EXPECT_EQ(entry("START"), c.start);
        EXPECT_FALSE(tips.isVisible());
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

// ---- sign-in balloon ------------------------------------------------------

// The mouse resting on ">>" brings up its balloon (where it points:
// BalloonTip); it goes when the mouse moves on to another button.
TEST_F(LookWindows, SignInBalloonShowsOverTheArrowWhenTheMouseRestsOnIt)
{
    FrmLogon signIn(prompter, library.folders());
    signIn.Form_Load();
    signIn.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&signIn));
    const clsToolTip* tip = signIn.balloon();
    ASSERT_TRUE(tip && tip->tipWindow());
    const BalloonWindow* bubble = tip->tipWindow();
    EXPECT_FALSE(bubble->isVisible());

    QTest::mouseMove(signIn.cmdOK);
    QTest::mouseMove(signIn.cmdSignIn);
    ASSERT_TRUE(QTest::qWaitFor([bubble] { return bubble->isVisible(); }, 5000));
    EXPECT_EQ(bubble->title() + "|" + bubble->text(), "提示|点击此按钮更改您的帐号!");
    EXPECT_EQ(bubble->icon(), BalloonWindow::kInformation);

    QTest::mouseMove(signIn.cmdCancel);
    EXPECT_FALSE(bubble->isVisible());
}

// ---- about box -------------------------------------------------------------

TEST_F(LookWindows, AboutShowsLinksOnlyWithTheSystemLookAsAtItsLoad)
{
    for (const bool system : {true, false}) {
        SCOPED_TRACE(system ? "system look" : "skin");
        window.meuWinStyle->setChecked(system);
        QList<QUrl> opened;
        FrmAbout about(window.windowStyler(), nullptr,
                       [&opened](const QUrl& url) { opened.append(url); });
        about.Form_Load();
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        EXPECT_EQ(QList<bool>({about.lblSiteLink->isVisible(), about.lblSkinLink->isVisible(),
                               about.lblSiteAddress->isVisible(), about.lblSkinAddress->isVisible()}),
                  QList<bool>({system, system, !system, !system}));

        // Any mouse button on a link, or Enter on it, opens its address;
        // skinned text does nothing. The picture opens the home page.
        QTest::mousePress(system ? about.lblSiteLink : about.lblSiteAddress, Qt::LeftButton);
        QTest::mousePress(system ? about.lblSkinLink : about.lblSkinAddress, Qt::RightButton);
        QTest::keyClick(system ? about.lblSiteLink : about.lblSiteAddress, Qt::Key_Return);
        QTest::mouseClick(about.picLogo, Qt::LeftButton);
        EXPECT_EQ(opened, (system ? QList<QUrl>{QUrl(MakerLinks::kSoftwarePage), QUrl(MakerLinks::kSkinPage),
                                                QUrl(MakerLinks::kSoftwarePage), QUrl(MakerLinks::kHomePage)}
                                  : QList<QUrl>{QUrl(MakerLinks::kHomePage)}));

        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
    }
}
