#include <gtest/gtest.h>

#include <QMap>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QThread>

#include "TempLibrary.h"
#include "WorkerProcess.h"
#include "core/logic/Database.h"

namespace {

// Kills per run; SHELFMARK_CRASH_KILLS sets a longer run by hand.
int killsPerRun()
{
    const int asked = qEnvironmentVariableIntValue("SHELFMARK_CRASH_KILLS");
    return asked > 0 ? asked : 150;
}

// Every loan as "reader|book|lend date|return date|overdue|fine", by row id.
using Loans = QMap<qint64, QStringList>;

// What a run of kills found. A fault is a sentence naming what broke.
struct CrashRun {
    int kills = 0;
    int operationsDone = 0;
    int killedMidOperation = 0;  // a "b" line without its "d": the kill hit an operation
    QStringList faults;
};

class Crash : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        for (int i = 1; i <= 12; ++i)
            library.addBook(QString("B%1").arg(i, 3, 10, QChar('0')), QString("书%1").arg(i), "A");
        for (const char* reader : {"001", "002", "003", "004"})
            library.addReader(reader, QString("读者") + reader);
        library.setRules(1000, 0.5);
    }

    Loans loans()
    {
        Loans result;
        QSqlQuery query(Database::connection());
        query.exec("SELECT rowid, 读者编号, 书籍编号, 借书日期, ifnull(还书日期, ''), ifnull(超出天数, ''),"
                   " ifnull(罚款金额, '') FROM lentInfo");
        while (query.next()) {
            QStringList fields;
            for (int i = 1; i <= 6; ++i)
                fields << query.value(i).toString();
            result.insert(query.value(0).toLongLong(), fields);
        }
        return result;
    }

    // The store's own check and the desk's rules, each a fault when broken.
    QStringList invariantFaults()
    {
        const struct { const char* fault; const char* count; } rules[] = {
            {"integrity_check is not ok", "SELECT count(*) FROM pragma_integrity_check WHERE integrity_check <> 'ok'"},
            {"a book's lent flag disagrees with its outstanding loans",
             "SELECT count(*) FROM bookInfo b WHERE b.是否借出 <> EXISTS (SELECT 1 FROM lentInfo l"
             " WHERE l.书籍编号 = b.书籍编号 AND l.还书日期 IS NULL)"},
            {"a book has two outstanding loans",
             "SELECT count(*) FROM (SELECT 书籍编号 FROM lentInfo WHERE 还书日期 IS NULL GROUP BY 书籍编号"
             " HAVING count(*) > 1)"},
            {"a returned loan lacks its overdue days or fine",
             "SELECT count(*) FROM lentInfo WHERE 还书日期 IS NOT NULL AND (超出天数 IS NULL OR 罚款金额 IS NULL)"},
        };
        QStringList faults;
        for (const auto& rule : rules)
            if (library.scalar(rule.count).toInt() != 0)
                faults << rule.fault;
        return faults;
    }

    // Applies one operation the worker began ("b ...") to the expected loans;
    // a lend needs the row id the worker reported, or the next free one.
    static void apply(Loans& expected, const QStringList& begun, qint64 newLoan)
    {
        const QString op = begun.value(1);
        if (op == "L")
            expected.insert(newLoan, {begun.value(2), begun.value(3), begun.value(4), "", "", ""});
        else if (op == "N" && expected.contains(begun.value(2).toLongLong()))
            expected[begun.value(2).toLongLong()][2] = begun.value(3);
        else if (op == "R" && expected.contains(begun.value(2).toLongLong())) {
            QStringList& loan = expected[begun.value(2).toLongLong()];
            loan[3] = "2026-03-20";
            loan[4] = begun.value(3);
            loan[5] = "0.5";
        }
    }

    // Runs the worker, kills it at a random moment, and checks what is left.
    void killOnce(const QString& worker, quint32 seed, CrashRun& run)
    {
        Loans expected = loans();
        Database::close();
        WorkerProcess desk(worker, {"crash", library.databasePath(), QString::number(seed)});
        if (desk.nextLine() != "ready") {
            run.faults << "the desk did not start: " + desk.errors();
            return;
        }
        QThread::usleep(QRandomGenerator::global()->bounded(60000));
        if (!desk.kill())
            run.faults << "the desk stopped by itself: " + desk.errors();
        ++run.kills;

        QStringList begun;
        for (const QString& line : desk.allLines()) {
            const QStringList words = line.split(' ');
            if (words.value(0) == "b") {
                begun = words;
            } else if (words.value(0) == "d") {
                if (words.value(1) != "X")
                    apply(expected, begun, words.value(2).toLongLong());
                ++run.operationsDone;
                begun.clear();
            }
        }
        if (!begun.isEmpty())
            ++run.killedMidOperation;
        QString error;
        if (!Database::open(library.databasePath(), &error)) {
            run.faults << "the library does not open: " + error;
            return;
        }
        run.faults << invariantFaults();
        checkOperations(expected, begun, run);
    }

    // Every operation reported done is there; the one the kill interrupted is
    // there wholly or not at all.
    void checkOperations(Loans expected, const QStringList& begun, CrashRun& run)
    {
        const Loans actual = loans();
        if (actual == expected)
            return;
        if (!begun.isEmpty()) {
            apply(expected, begun, actual.isEmpty() ? 0 : actual.lastKey());
            if (actual == expected)
                return;
        }
        run.faults << "the loans are not those reported done (last begun: " + begun.join(' ') + ")";
    }

    CrashRun killRepeatedly(const QString& worker, int kills)
    {
        CrashRun run;
        for (int i = 0; i < kills && run.faults.isEmpty(); ++i)
            killOnce(worker, static_cast<quint32>(i + 1), run);
        return run;
    }

    TempLibrary library;
};

TEST_F(Crash, AKilledDeskLeavesEveryReportedOperationAndNoHalfOfAnother)
{
    const CrashRun run = killRepeatedly(DESK_WORKER, killsPerRun());
    EXPECT_EQ(run.faults.join("; "), "") << "after " << run.kills << " kills";
    std::printf("crash: %d kills survived, %d operations reported done, %d kills within an operation\n",
                run.kills, run.operationsDone, run.killedMidOperation);
    // The kills must land while the desk works, or they prove nothing.
    EXPECT_GT(run.operationsDone, run.kills / 4);
    EXPECT_GT(run.killedMidOperation, run.kills / 4);
}

// The control: the same desk without transactions must be caught.
TEST_F(Crash, WithoutTransactionsTheCheckFindsHalfWrittenLoans)
{
    const CrashRun run = killRepeatedly(DESK_WORKER_UNSAFE, killsPerRun());
    std::printf("crash control: caught after %d kills: %s\n", run.kills, qPrintable(run.faults.join("; ")));
    EXPECT_FALSE(run.faults.isEmpty()) << run.kills << " kills without a fault";
}

}  // namespace
