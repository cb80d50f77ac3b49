#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QRegularExpression>
#include <QStringDecoder>

#include "Probes.h"
#include "core/logic/TextFile.h"
#include "core/ui/SkinControl.h"

namespace {

QString dataFile(const QString& relative) { return QDir(QStringLiteral(SHELFMARK_DATA_DIR)).filePath(relative); }

// The lines of a shipped text file: strict GB18030, every line ended by CR LF.
QStringList gb18030Lines(const QString& relative)
{
    const QByteArray bytes = bytesOf(dataFile(relative));  // "<missing>" fails the line-end check
    EXPECT_TRUE(bytes.endsWith("\r\n") && bytes.count('\n') == bytes.count("\r\n")
                && bytes.count('\r') == bytes.count("\r\n")) << relative.toStdString();
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    EXPECT_FALSE(decoder.hasError()) << relative.toStdString();
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

QStringList g_warnings;
void collectWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings.append(message);
}

// A window like the desk (a menu, a desk input box) drawn with the skin: the
// inside of the desk box away from its text and border. The warnings given
// while drawing are left in g_warnings.
QColor drawnDeskInput(SkinControl& skin)
{
    QMainWindow window;
    window.menuBar()->addMenu("系统设置")->addAction("界面风格");
    window.setCentralWidget(new QWidget);
    auto* deskInput = new QLineEdit(window.centralWidget());
    deskInput->setObjectName("txtBookID");
    deskInput->setGeometry(20, 20, 200, 24);
    window.resize(640, 480);
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
    skin.apply(&window);
    const QImage image = window.grab().toImage();
    qInstallMessageHandler(previous);
    return image.pixelColor(deskInput->mapTo(&window, QPoint(deskInput->width() - 8, 12)));
}

}  // namespace

// (That each skin shows, in its own colours: LookWindows.)
TEST(ShippedSkins, ParseCleanlyAndKeepTheDeskInputsPaleCyan)
{
    for (const char* skinFile : {"style/type-style.skn", "style/light-hearted.skn"}) {
        SCOPED_TRACE(skinFile);
        SkinControl skin;
        ASSERT_TRUE(skin.load(dataFile(skinFile)));

        // Every picture the skin names is carried by the program.
        static const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
        for (auto it = url.globalMatch(skin.styleSheet()); it.hasNext();) {
            const QString picture = it.next().captured(1).trimmed();
            EXPECT_FALSE(QPixmap(picture).isNull()) << picture.toStdString();
        }

        const QColor deskInput = drawnDeskInput(skin);
        EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(deskInput.name(), QColor(192, 255, 255).name());  // the desk's input boxes stay pale cyan
    }
}

TEST(ShippedTipFile, StartsShowingAtStartAndHoldsTenOrMoreNumberedTips)
{
    const QStringList lines = gb18030Lines("QUICKTIP.INI");
    ASSERT_GE(lines.size(), 13);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"[TIP]", "START=T", "CURRENT=1"}));
    // Tips numbered from 1 without gaps, each one line of at most 999 bytes.
    for (qsizetype i = 3; i < lines.size(); ++i) {
        const QString prefix = QString::number(i - 2) + QLatin1Char('=');
        EXPECT_TRUE(lines[i].startsWith(prefix)) << lines[i].toStdString();
        EXPECT_GT(lines[i].size(), prefix.size()) << lines[i].toStdString();
        EXPECT_LE(TextFile::encode(lines[i].mid(prefix.size())).size(), 999) << i;
    }
}

TEST(ShippedHelpText, CoversEveryWindow)
{
    const QString text = gb18030Lines("readme.txt").join(QLatin1Char('\n'));
    for (const char* topic :
         {"登录", "更改我的帐号", "正常借书", "续借图书", "还  书", "罚款", "添加新书", "书库管理",
          "图书类别", "书库查询", "借阅查询", "读者查询", "读者管理", "基本设置", "界面风格",
          "经典传奇", "轻松一刻", "每日小技巧", "关于"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
}
