#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>

#include "DeskFixture.h"
#include "circulation/ui/LendTab.h"
#include "core/logic/AppState.h"

namespace {

using DeskWindow = DeskFixture;

struct Box {
    const char* name;
    const char* caption;
    bool input;
};

// Every box of the desk with the caption that names it.
const Box kBoxes[] = {
    {"txtBookID", "书籍编号:", true},          {"txtBookPrice", "书籍价格:", false},
    {"txtBookName", "书籍名称:", false},       {"txtBookLeibie", "书籍类别:", false},
    {"txtBookConcern", "出版社:", false},      {"txtBookPage", "书籍页码:", false},
    {"txtReaderID", "读者编号:", true},        {"txtReaderName", "读者姓名:", false},
    {"txtReaderIDRenew", "读者编号:", true},   {"txtReaderNameRenew", "读者姓名:", false},
    {"txtBookIDRenew", "书籍编号:", false},    {"txtBookNameRenew", "书籍名称:", false},
    {"txtLendDate", "借书日期:", false},       {"txtReadIDReturn", "读者编号:", true},
    {"txtReaderNameReturn", "读者姓名:", false}, {"txtBookIDReturn", "书籍编号:", true},
    {"txtBookPriceReturn", "书籍价格:", false}, {"txtBookNameReturn", "书籍名称:", false},
    {"txtBookLeibieReturn", "书籍类别:", false}, {"txtBookPageReturn", "书籍页码:", false},
    {"txtLendDateReturn", "借出日期:", false}, {"txtDay", "规定天数:", false},
    {"txtReturnDate", "还书日期:", false},     {"txtFactDay", "实际天数:", false},
    {"txtDayCount", "超出天数:", false},       {"txtFakuan", "罚款金额:", false},
};

QLabel* buddyOf(QWidget* box)
{
    for (QLabel* label : box->window()->findChildren<QLabel*>())
        if (label->buddy() == box)
            return label;
    return nullptr;
}

TEST_F(DeskWindow, EveryBoxIsNamedByItsCaptionAndInputBoxesArePaleCyan)
{
    for (const Box& expected : kBoxes) {
        SCOPED_TRACE(expected.name);
        QLineEdit* box = get(expected.name);
        ASSERT_TRUE(box);
        QLabel* label = buddyOf(box);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), QString::fromUtf8(expected.caption));
        EXPECT_EQ(box->isReadOnly(), !expected.input);
        for (int tab = 0; tab < 3; ++tab)
            if (window->findChild<QTabWidget*>("SSTab1")->widget(tab)->isAncestorOf(box))
                showTab(tab);
        const QColor inside = box->grab().toImage().pixelColor(box->width() - 6, box->height() / 2);
        EXPECT_EQ(inside == QColor(192, 255, 255), expected.input) << inside.name().toStdString();
    }
    EXPECT_EQ(buddyOf(get<QDateEdit>("dtpLendDate"))->text(), "借出日期:");
    EXPECT_EQ(buddyOf(get<QDateEdit>("dtpLendDateChange"))->text(), "借书日期改为:");
    EXPECT_EQ(buddyOf(get<QTableView>("dtgrdLendBook"))->text(), "显示已借图书信息:");
    EXPECT_EQ(buddyOf(get<QLabel>("lblRemain"))->objectName(), "label11");
}

TEST_F(DeskWindow, CaptionsHintsAndStartingStates)
{
    const QTabWidget* tabs = get<QTabWidget>("SSTab1");
    EXPECT_EQ(tabs->tabText(0), "正常借书");
    EXPECT_EQ(tabs->tabText(2), "还  书");
    QStringList buttons;
    for (const char* name : {"cmdLendBook", "cmdReaderInfo", "cmdOK", "cmdReturn"})
        buttons << get<QPushButton>(name)->text();
    EXPECT_EQ(buttons, QStringList({"借出当前图书", "添加新读者", "确  定", "归还图书"}));
    QStringList groups;
    for (const QGroupBox* group : window->findChildren<QGroupBox*>())
        if (!group->title().isEmpty())
            groups << group->title();
    groups.sort();
    QStringList expected = {"图书信息", "读者信息", "所借图书"};
    expected.sort();
    EXPECT_EQ(groups, expected);
    int hints[3] = {0, 0, 0};
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->text() == "<输完按回车>")
            for (int tab = 0; tab < 3; ++tab)
                hints[tab] += tabs->widget(tab)->isAncestorOf(label) ? 1 : 0;
    EXPECT_EQ(hints[0], 2);
    EXPECT_EQ(hints[1], 1);
    EXPECT_EQ(hints[2], 2);
    EXPECT_EQ(caption("label11"), "还允许借出册数:");
    EXPECT_EQ(caption("lblLendCount"), "已借图书册数:");
    EXPECT_EQ(caption("lblRemain"), "");
    EXPECT_TRUE(enabled("cmdLendBook"));
    EXPECT_FALSE(enabled("cmdOK"));
    EXPECT_FALSE(enabled("cmdReturn"));
    for (const char* picker : {"dtpLendDate", "dtpLendDateChange"}) {
        EXPECT_EQ(get<QDateEdit>(picker)->date(), QDate(2026, 3, 20));
        EXPECT_EQ(get<QDateEdit>(picker)->text(), "2026/3/20");
        EXPECT_TRUE(get<QDateEdit>(picker)->calendarPopup());
    }
}

// Every control of every tab lies inside the page and shows its whole caption.
void expectTabsFit(QTabWidget* tabs)
{
    for (int tab = 0; tab < 3; ++tab) {
        tabs->setCurrentIndex(tab);
        QWidget* page = tabs->widget(tab);
        QApplication::processEvents();
        SCOPED_TRACE(tab);
        const QSize needed = page->minimumSizeHint();
        EXPECT_LE(needed.width(), page->width());
        EXPECT_LE(needed.height(), page->height());
        for (QWidget* child : page->findChildren<QWidget*>()) {
            if (!child->isVisibleTo(page) || child->objectName().startsWith("qt_"))
                continue;
            const QRect placed(child->mapTo(page, QPoint(0, 0)), child->size());
            EXPECT_TRUE(page->rect().contains(placed)) << child->metaObject()->className();
            if (qobject_cast<QLabel*>(child) || qobject_cast<QPushButton*>(child))
                EXPECT_GE(child->width(), child->sizeHint().width())
                    << child->property("text").toString().toStdString();
        }
    }
}

TEST_F(DeskWindow, EveryTabFitsTheFixedWindowWithoutClipping)
{
    library.addLoan("001", "B001", "2026-12-28");
    enter("txtReaderID", "001");
    enter("txtBookID", "B002");
    EXPECT_EQ(window->centralWidget()->size(), QSize(673, 434));
    expectTabsFit(get<QTabWidget>("SSTab1"));
    // Again in the desk's Chinese font, at the same size.
    QFont chinese(QStringLiteral("WenQuanYi Micro Hei"));
    chinese.setPointSizeF(QApplication::font().pointSizeF());
    ASSERT_EQ(QFontInfo(chinese).family(), "WenQuanYi Micro Hei");
    window->setFont(chinese);
    expectTabsFit(get<QTabWidget>("SSTab1"));
    EXPECT_EQ(window->centralWidget()->size(), QSize(673, 434));
    // The lend date column shows a whole date.
    const QTableView* grid = get<QTableView>("dtgrdLendBook");
    const int dateWidth = grid->fontMetrics().horizontalAdvance("2026/12/28");
    EXPECT_GT(grid->columnWidth(7), dateWidth);
    EXPECT_LE(grid->horizontalHeader()->length(), grid->viewport()->width());
}

TEST_F(DeskWindow, ReaderLookUpFillsNameListCountAndQuotaAndMovesToTheBookBox)
{
    library.addLoan("001", "B001", "2026-03-02");
    library.addLoan("001", "B002", "2026-03-03", "2026-03-10");  // returned
    enter("txtReaderID", "001");
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(text("txtReaderName"), "张三");
    EXPECT_EQ(caption("lblLendCount"), "已借图书册数:1");
    EXPECT_EQ(caption("lblRemain"), "2");
    EXPECT_EQ(focused(), "txtBookID");
    const QTableView* grid = get<QTableView>("dtgrdLendBook");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    QStringList shown;
    const QHeaderView* header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            shown << grid->model()->headerData(logical, Qt::Horizontal).toString() + "="
                         + grid->model()->index(0, logical).data().toString();
    }
    EXPECT_EQ(shown, QStringList({"读者编号=001", "读者姓名=张三", "书籍编号=B001", "书籍名称=红楼梦",
                                  "书籍类别=文学", "书籍页码=320", "出版社=人民文学出版社",
                                  "借书日期=2026/3/2"}));
}

TEST_F(DeskWindow, ReaderLookUpRefusals)
{
    enter("txtReaderID", "001");
    enter("txtReaderID", "999");
    EXPECT_EQ(prompter.texts(), QStringList({"没有该读者信息!"}));
    EXPECT_EQ(prompter.shown.last().title, "提示");
    EXPECT_EQ(text("txtReaderName"), "");
    EXPECT_EQ(caption("lblRemain"), "3");  // the list and labels keep what they showed
    EXPECT_EQ(focused(), "txtReaderID");
    enter("txtReaderID", "");
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号");
}

TEST_F(DeskWindow, BookLookUpMessagesAndTheLendButton)
{
    // No reader yet: asks for the reader even with a book number typed.
    enter("txtBookID", "B001");
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号");
    EXPECT_EQ(text("txtBookName"), "");
    // A reader number typed but never confirmed is enough.
    QTest::keyClicks(get("txtReaderID"), "001");
    enter("txtBookID", "");
    EXPECT_EQ(prompter.lastText(), "请先输入书籍编号");
    enter("txtBookID", "B004");  // lent
    EXPECT_EQ(prompter.lastText(), "该书已经借出,请选择其它图书!");
    EXPECT_EQ(text("txtBookName"), "边城");
    EXPECT_FALSE(enabled("cmdLendBook"));
    EXPECT_EQ(focused(), "txtBookID");
    enter("txtBookID", "B002");
    EXPECT_EQ(prompter.shown.size(), 3);
    EXPECT_EQ(QStringList({text("txtBookName"), text("txtBookPrice"), text("txtBookLeibie"),
                           text("txtBookConcern"), text("txtBookPage")}),
              QStringList({"史记", "25.00", "历史", "人民文学出版社", "320"}));
    EXPECT_TRUE(enabled("cmdLendBook"));
    EXPECT_EQ(focused(), "cmdLendBook");
    EXPECT_TRUE(get<QPushButton>("cmdLendBook")->autoDefault());
    enter("txtBookID", "B999");
    EXPECT_EQ(prompter.lastText(), "没有该书信息!");
    for (const char* box : {"txtBookName", "txtBookPrice", "txtBookLeibie", "txtBookConcern", "txtBookPage"})
        EXPECT_EQ(text(box), "") << box;
    EXPECT_EQ(text("txtBookID"), "B999");
    EXPECT_TRUE(enabled("cmdLendBook"));
    EXPECT_EQ(loans(), 1);
}

TEST_F(DeskWindow, KeypadEnterActsAndOtherKeysPassThrough)
{
    QLineEdit* reader = get("txtReaderID");
    QTest::keyClick(reader, Qt::Key_Escape);
    QTest::keyClick(reader, Qt::Key_Tab);
    QTest::keyClick(reader, Qt::Key_1);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(reader->text(), "1");
    enter("txtReaderID", "002", Qt::Key_Enter);
    EXPECT_EQ(text("txtReaderName"), "李四");
    EXPECT_EQ(caption("lblLendCount"), "已借图书册数:1");
}

TEST_F(DeskWindow, AddReaderButtonAsksForTheReaderWindowInAddMode)
{
    AppState::ReaderFormMode = 0;
    auto* lendTab = window->findChild<LendTab*>();
    ASSERT_TRUE(lendTab);
    QSignalSpy asked(lendTab, &LendTab::readerWindowRequested);
    QTest::mouseClick(get<QPushButton>("cmdReaderInfo"), Qt::LeftButton);
    EXPECT_EQ(AppState::ReaderFormMode, 1);
    EXPECT_EQ(asked.count(), 1);
}

}  // namespace
