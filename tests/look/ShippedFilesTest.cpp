#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTableView>

#include "ScriptedPrompter.h"
#include "core/logic/ProfileFile.h"
#include "core/logic/TextFile.h"
#include "look/ui/SkinControl.h"

namespace {

const QString kDataDir = QStringLiteral(SHELFMARK_DATA_DIR);

QString dataFile(const QString& relative)
{
    return QDir(kDataDir).filePath(relative);
}

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text of a file in the old code page, or nullopt when a byte sequence
// is not valid GB18030.
std::optional<QString> strictGb18030(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Every line end is CR LF and the file ends with one.
bool endsEveryLineWithCrLf(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
    }
    return bytes.endsWith("\r\n");
}

// A window with every kind of widget the program's windows use.
struct Specimen {
    QMainWindow window;
    QLineEdit* plain = nullptr;
    QLineEdit* readOnly = nullptr;
    QLineEdit* deskInput = nullptr;

    Specimen()
    {
        window.menuBar()->addMenu(QStringLiteral("系统设置"))->addAction(QStringLiteral("界面风格"));
        auto* tabs = new QTabWidget;
        auto* page = new QWidget;
        tabs->addTab(page, QStringLiteral("正常借书"));
        tabs->addTab(new QWidget, QStringLiteral("还  书"));
        auto* grid = new QGridLayout(page);
        plain = new QLineEdit;
        readOnly = new QLineEdit;
        readOnly->setReadOnly(true);
        deskInput = new QLineEdit;
        deskInput->setObjectName(QStringLiteral("txtBookID"));
        auto* group = new QGroupBox(QStringLiteral("读者信息"));
        auto* groupLayout = new QGridLayout(group);
        groupLayout->addWidget(new QLabel(QStringLiteral("读者姓名:")), 0, 0);
        groupLayout->addWidget(plain, 0, 1);
        groupLayout->addWidget(readOnly, 1, 1);
        groupLayout->addWidget(deskInput, 2, 1);
        grid->addWidget(group, 0, 0);
        auto* date = new QDateEdit(QDate(2026, 3, 20));
        date->setCalendarPopup(true);
        grid->addWidget(date, 1, 0);
        grid->addWidget(new QCalendarWidget, 1, 1);
        auto* combo = new QComboBox;
        combo->addItems({QStringLiteral("A-文学"), QStringLiteral("B-历史")});
        grid->addWidget(combo, 2, 0);
        grid->addWidget(new QSpinBox, 2, 1);
        grid->addWidget(new QCheckBox(QStringLiteral("执行模糊查询")), 3, 0);
        auto* button = new QPushButton(QStringLiteral("借出当前图书"));
        button->setDefault(true);
        grid->addWidget(button, 3, 1);
        auto* disabled = new QPushButton(QStringLiteral("归还图书"));
        disabled->setEnabled(false);
        grid->addWidget(disabled, 4, 1);
        auto* model = new QStandardItemModel(3, 2, &window);
        model->setHorizontalHeaderLabels({QStringLiteral("书籍编号"), QStringLiteral("书籍名称")});
        auto* table = new QTableView;
        table->setModel(model);
        grid->addWidget(table, 5, 0, 1, 2);
        window.setCentralWidget(tabs);
        window.resize(640, 600);
    }

    QImage picture() { return window.grab().toImage(); }
    // The colour inside a box, away from its text and border.
    QColor inside(QLineEdit* box)
    {
        const QImage image = picture();
        const QPoint at = box->mapTo(&window, QPoint(box->width() - 8, box->height() / 2));
        return image.pixelColor(at);
    }
};

// Collects the toolkit's warnings while a skin is in use.
QStringList g_warnings;
void collectWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings.append(message);
}

const QStringList kSkins = {QStringLiteral("style/type-style.skn"),
                            QStringLiteral("style/light-hearted.skn")};

}  // namespace

TEST(ShippedSkins, ParseCleanlyAndNameOnlyPicturesTheProgramCarries)
{
    for (const QString& skinFile : kSkins) {
        SkinControl skin;
        ASSERT_TRUE(skin.load(dataFile(skinFile))) << skinFile.toStdString();
        ASSERT_FALSE(skin.styleSheet().isEmpty());

        static const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
        auto it = url.globalMatch(skin.styleSheet());
        while (it.hasNext()) {
            const QString picture = it.next().captured(1).trimmed();
            EXPECT_FALSE(QPixmap(picture).isNull()) << skinFile.toStdString() << ": "
                                                    << picture.toStdString();
        }

        Specimen specimen;
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
        skin.apply(&specimen.window);
        specimen.picture();
        qInstallMessageHandler(previous);
        EXPECT_TRUE(g_warnings.isEmpty()) << skinFile.toStdString() << ": "
                                          << g_warnings.join(QLatin1Char('\n')).toStdString();
    }
}

TEST(ShippedSkins, DifferFromEachOtherAndFromTheSystemLookAndKeepTheDeskInputsPaleCyan)
{
    Specimen systemLook;
    const QImage plainPicture = systemLook.picture();
    const QColor systemBackground = plainPicture.pixelColor(4, plainPicture.height() - 4);

    QList<QColor> backgrounds;
    for (const QString& skinFile : kSkins) {
        SkinControl skin;
        ASSERT_TRUE(skin.load(dataFile(skinFile)));
        Specimen specimen;
        skin.apply(&specimen.window);
        const QImage picture = specimen.picture();
        backgrounds.append(picture.pixelColor(4, picture.height() - 4));
        EXPECT_NE(backgrounds.last().name(), systemBackground.name()) << skinFile.toStdString();

        // The desk's input boxes stay pale cyan under every skin, and a
        // read-only box is told apart from one the clerk types into.
        EXPECT_EQ(specimen.inside(specimen.deskInput).name(), QColor(192, 255, 255).name())
            << skinFile.toStdString();
        EXPECT_NE(specimen.inside(specimen.readOnly).name(), specimen.inside(specimen.plain).name())
            << skinFile.toStdString();
    }
    EXPECT_NE(backgrounds[0].name(), backgrounds[1].name());
}

TEST(ShippedTipFile, IsGb18030WithCrLfAndShowsItsTipsAtStart)
{
    const QByteArray bytes = bytesOf(dataFile(QStringLiteral("QUICKTIP.INI")));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(endsEveryLineWithCrLf(bytes));
    const auto text = strictGb18030(bytes);
    ASSERT_TRUE(text.has_value());
    const QStringList lines = text->split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{QStringLiteral("[TIP]"), QStringLiteral("START=T"),
                           QStringLiteral("CURRENT=1")}));

    // Tips numbered from 1 without gaps, each one line the reader returns whole.
    ScriptedPrompter prompter;
    const QString file = dataFile(QStringLiteral("QUICKTIP.INI"));
    int count = 0;
    while (true) {
        const QString tip = ReadTipEntry(file, QStringLiteral("TIP"),
                                         QString::number(count + 1), prompter);
        if (tip == QLatin1String("unknown"))
            break;
        ++count;
        EXPECT_LT(TextFile::encode(tip).size(), 999) << count;
        EXPECT_TRUE(text->contains(QString::number(count) + QLatin1Char('=') + tip)) << count;
    }
    EXPECT_GE(count, 10);
    EXPECT_EQ(lines.size(), 3 + count + 1);  // and nothing after the last tip but the line end
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST(ShippedHelpText, IsGb18030WithCrLfAndCoversEveryWindow)
{
    const QByteArray bytes = bytesOf(dataFile(QStringLiteral("readme.txt")));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(endsEveryLineWithCrLf(bytes));
    const auto text = strictGb18030(bytes);
    ASSERT_TRUE(text.has_value());
    for (const char* topic :
         {"登录", "更改我的帐号", "正常借书", "续借图书", "还  书", "罚款", "添加新书", "书库管理",
          "图书类别", "书库查询", "借阅查询", "读者查询", "读者管理", "基本设置", "界面风格",
          "经典传奇", "轻松一刻", "每日小技巧", "关于"})
        EXPECT_TRUE(text->contains(QString::fromUtf8(topic))) << topic;
}
