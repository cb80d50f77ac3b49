#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>

#include <sys/resource.h>

#include <csignal>

#include "BadInputs.h"
#include "MainWindowTest.h"
#include "WorkerProcess.h"
#include "app/FrmLogon.h"
#include "catalogue/ui/FrmAddnew.h"
#include "core/logic/AccountFile.h"
#include "look/logic/TipFile.h"

namespace {

// A disk that fills up (unless `full` is false): no file of this process may
// grow beyond `bytes` while the object lives (the kernel refuses the write, as
// on a full disk).
struct FullDisk {
    explicit FullDisk(rlim_t bytes, bool full = true)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit{full ? bytes : m_old.rlim_cur, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &m_old); }
    rlimit m_old{};
};

// The desk and the catalogue on a small library; 001 holds B002.
struct FileFaults : MainWindowTest {
    void SetUp() override
    {
        addBasics();
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "边城", "A", true);
        library.addLoan("001", "B002", "2026-03-01");
        openMain();
    }

    void enter(const char* name, const QString& text)
    {
        get<QLineEdit>(name)->setText(text);
        QTest::keyClick(get(name), Qt::Key_Return);
    }
    // Reader 001 and the book entered at the desk, then the button pressed; the messages shown.
    QString atDesk(const char* readerBox, const char* bookBox, const char* book, const char* button)
    {
        enter(readerBox, "001");
        enter(bookBox, book);
        prompter.clear();
        get<QPushButton>(button)->click();
        return shown();
    }
    QString lend() { return atDesk("txtReaderID", "txtBookID", "B001", "cmdLendBook"); }
    QString takeBack() { return atDesk("txtReadIDReturn", "txtBookIDReturn", "B002", "cmdReturn"); }
    // Registers a book with a long title in the new-book window.
    QString registerBook()
    {
        auto* addNew = open<FrmAddnew>(window.meuAddNewBook);
        if (!addNew)
            return {};
        addNew->txtBookID->setText("N001");
        addNew->txtBookName->setText(QString(5000, QChar(0x4E66)));
        addNew->cboType->setCurrentIndex(0);
        addNew->txtBookPrice->setText("12.5");
        prompter.clear();
        addNew->cmdSave->click();
        const QString shown = this->shown();
        addNew->close();
        return shown;
    }
};

// A style the clerk picks is kept in setting.ini, the tips' start flag in
// the tip file. When the file cannot be written (read-only, the work file
// blocked, the disk full, a folder in its place) it is kept as it was: the
// setting silently, the tips with the stop box "读取时出错"; the work file does
// not stay, and with the fault gone the choice is kept.
TEST_F(FileFaults, ASettingOrTipThatCannotBeWrittenKeepsTheFileAsItWas)
{
    const QString setting = library.path("setting.ini"), tips = library.path("QUICKTIP.INI");
    const QByteArray settings = "LoadStyle=1\r\nOther=x\r\n", held = "[TIP]\r\nSTART=T\r\nCURRENT=1\r\n1=第一条\r\n";
    const QStringList tipBox{"非法条目> TIP/START|读取时出错|with an icon"};
    QDir(library.dir()).mkpath("style");
    putBytes(library.path("style/light-hearted.skn"), "QWidget { }\r\n");
    enum Fault { ReadOnly, WorkFileBlocked, DiskFull, NotAFile };
    const struct { QString file; Fault fault; QByteArray kept; QStringList shown; } cases[] = {
        {setting, ReadOnly, settings, {}}, {setting, WorkFileBlocked, settings, {}}, {setting, DiskFull, settings, {}},
        {tips, ReadOnly, held, tipBox},    {tips, DiskFull, held, tipBox},           {tips, NotAFile, "<missing>", tipBox},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("%1, fault %2").arg(c.file).arg(c.fault).toStdString());
        putBytes(c.file, c.fault == NotAFile ? QByteArray() : c.kept);
        if (c.fault == NotAFile)
            QDir(library.dir()).mkdir("QUICKTIP.INI");
        if (c.fault == ReadOnly)
            QFile::setPermissions(c.file, QFile::ReadOwner | QFile::ReadGroup);
        if (c.fault == WorkFileBlocked)
            QDir(library.dir()).mkdir("temp.ini");
        prompter.clear();
        {
            FullDisk full(0, c.fault == DiskFull);
            if (c.file == setting)
                window.meuLight->trigger();
            else
                TipFile(library.dir(), prompter).saveStartFlag(false);
        }
        EXPECT_EQ(bytesOf(c.file), c.kept);
        EXPECT_EQ(prompter.boxes(), c.shown);
        EXPECT_EQ(QFileInfo(library.path("temp.ini")).isDir(), c.fault == WorkFileBlocked);  // the work file
        EXPECT_FALSE(QFileInfo(library.path("temp.ini")).isFile());
        QDir(library.dir()).rmdir("temp.ini");
        QDir(library.dir()).rmdir("QUICKTIP.INI");
        QFile::setPermissions(c.file, QFile::ReadOwner | QFile::WriteOwner);
    }
    window.meuLight->trigger();
    EXPECT_EQ(bytesOf(setting), "LoadStyle=2\r\nOther=x\r\n");
}

// The account file on a full disk: the change is refused with the file named,
// and the old account stays, in the file and in force.
TEST_F(FileFaults, AnAccountChangeOnAFullDiskKeepsTheOldAccount)
{
    QDir(library.dir()).mkpath("dat");
    const QString file = library.path("dat/userdata.dat");
    ASSERT_TRUE(AccountFile::write(file, {"desk", "739"}));
    const QByteArray held = bytesOf(file);
    FrmLogon signIn(prompter, library.folders());
    signIn.Form_Load();
    prompter.clear();
    prompter.inputAnswers.append({"739", "clerk", "secret"});
    {
        FullDisk full(0);
        signIn.meuAddUser->trigger();
    }
    EXPECT_EQ(prompter.texts().last(), "文件 " + QDir::toNativeSeparators(file) + " 不能写入,帐号没有更改!");
    EXPECT_EQ(bytesOf(file), held);
    EXPECT_EQ(signIn.accountName() + "/" + signIn.accountPassword(), "desk/739");
}

// A disk that fills up in the middle of a write: the clerk is told, nothing
// is half written, and once there is room again the same work goes through.
TEST_F(FileFaults, AFullDiskInTheMiddleOfAWriteWritesNothing)
{
    const struct { const char* what; QString (FileFaults::*act)(); const char* done; } writes[] = {
        {"lend", &FileFaults::lend, "借出完毕!"}, {"return", &FileFaults::takeBack, "归还完毕!"},
        {"register", &FileFaults::registerBook, "新书添加完毕"},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.what);
        library.scalar("PRAGMA wal_checkpoint(TRUNCATE)");
        const QString before = storeDump();
        QString shown;
        {
            // Room for the log's header and one page: the write fails part way.
            FullDisk full(static_cast<rlim_t>(QFileInfo(library.databasePath() + "-wal").size() + 32 + 4096 + 24 + 100));
            shown = (this->*write.act)();
        }
        EXPECT_TRUE(shown.contains("没有写入任何内容")) << shown.toStdString();
        EXPECT_TRUE(shown.contains("磁盘")) << shown.toStdString();
        EXPECT_TRUE(storeDump() == before);
        EXPECT_EQ(library.scalar("PRAGMA integrity_check").toString(), "ok");
        EXPECT_EQ((this->*write.act)(), write.done);
    }
}

// Another program holds the library's write lock: look-ups go on, a write
// waits (5 s in the program, cut short here), then says the file is busy and
// writes nothing.
TEST_F(FileFaults, ALockedLibraryWaitsThenSaysItIsBusy)
{
    EXPECT_EQ(library.scalar("PRAGMA busy_timeout").toInt(), 5000);
    library.scalar("PRAGMA busy_timeout = 400");
    WorkerProcess other(DESK_WORKER, {"serve", library.databasePath()});
    ASSERT_EQ(other.nextLine(), "ready");
    other.send("hold 1500");
    ASSERT_EQ(other.nextLine(), "held");
    const QString before = storeDump();
    QElapsedTimer waited;
    waited.start();
    const QString shown = lend();
    EXPECT_GE(waited.elapsed(), 350);
    EXPECT_EQ(get<QLineEdit>("txtReaderName")->text(), "张三");  // the look-up went through
    EXPECT_TRUE(shown.startsWith("借出图书失败!\n数据库正被另一处(其它借还台或程序)使用,请稍后再试。没有写入任何内容。")) << shown.toStdString();
    EXPECT_TRUE(other.nextLine().startsWith("released"));
    EXPECT_TRUE(storeDump() == before);
    EXPECT_EQ(lend(), "借出完毕!");
}

// A library file that is not a library, or a damaged one: at start the
// program names the file and the reason; a damage found later is reported
// at the desk, and the program goes on.
TEST_F(FileFaults, ADamagedLibraryIsReportedNeverACrash)
{
    const QString path = library.databasePath();
    Database::close();
    const QByteArray good = bytesOf(path);
    QString error;
    const struct { const char* what; QByteArray bytes; } files[] = {
        {"text", "这不是数据库\r\n"}, {"nothing", ""}, {"half", good.left(good.size() / 2)},
        {"pages overwritten", good.left(2 * 4096) + QByteArray(good.size() - 2 * 4096, '\x5a')},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        QFile::remove(path + "-wal");
        QFile::remove(path + "-shm");
        putBytes(path, file.bytes);
        if (!Database::open(path, &error)) {
            EXPECT_TRUE(error.startsWith("无法打开数据库文件 " + QDir::toNativeSeparators(path))) << error.toStdString();
            std::printf("damaged library (%s): refused at start: %s\n", file.what, qPrintable(error.section('\n', 1)));
            continue;
        }
        // Opened: the damage shows at the first look-up that reads it.
        prompter.clear();
        enter("txtReaderID", "001");
        enter("txtBookID", "B001");
        const QString shown = this->shown();
        EXPECT_TRUE(shown.contains("已损坏")) << shown.toStdString();
        std::printf("damaged library (%s): at the desk: %s\n", file.what, qPrintable(QString(shown).replace('\n', ' ')));
        Database::close();
    }
    putBytes(path, good);
    ASSERT_TRUE(Database::open(path, &error)) << error.toStdString();
}

}  // namespace
