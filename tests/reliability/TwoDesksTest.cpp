#include <gtest/gtest.h>

#include <QDate>

#include "TempLibrary.h"
#include "WorkerProcess.h"

namespace {

// A desk's answer: the outcome word and when the operation ran.
struct Answer {
    QString outcome;
    QString text;
    qint64 started = 0;
    qint64 ended = 0;
};

Answer parse(const QString& line)
{
    QStringList words = line.split(' ');
    Answer answer;
    if (words.size() >= 3) {
        answer.ended = words.takeLast().toLongLong();
        answer.started = words.takeLast().toLongLong();
    }
    answer.outcome = words.value(0);
    answer.text = line;
    return answer;
}

// Two desks, each a process of its own, on one library file; every round
// gives both the same operation at the same moment.
class TwoDesks : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        for (int i = 0; i < rounds; ++i)
            library.addBook(book(i), QString("书%1").arg(i), "A");
        library.addReader("001", "张三");
        library.addReader("002", "李四");
        library.setRules(10000, 0.1);
        for (WorkerProcess* desk : {&first, &second, &holder})
            ASSERT_EQ(desk->nextLine(), "ready") << desk->errors().toStdString();
    }

    // A race proves something only where the desks really worked at once:
    // both operations in progress at one moment, as the desks' own clocks
    // tell (the holder lets go after 40 ms, and a desk kept from the
    // processor longer may start after the other has finished), in at least
    // 80 of every 100 rounds.
    void TearDown() override
    {
        std::printf("two desks, %s: %d rounds, %d overlapped\n",
                    ::testing::UnitTest::GetInstance()->current_test_info()->name(), rounds, overlapping);
        EXPECT_GE(overlapping * 100, rounds * 80) << overlapping << " of " << rounds << " rounds overlapped";
    }

    static QString book(int i) { return QString("B%1").arg(i, 4, 10, QChar('0')); }

    // A third program holds the file's write lock while both desks get their
    // command, so that both are at work when it lets go; returns the two answers.
    std::pair<Answer, Answer> race(const QString& firstCommand, const QString& secondCommand)
    {
        holder.send("hold 40");
        EXPECT_EQ(holder.nextLine(), "held");
        first.send(firstCommand);
        second.send(secondCommand);
        const Answer a = parse(first.nextLine());
        const Answer b = parse(second.nextLine());
        EXPECT_TRUE(holder.nextLine().startsWith("released"));
        if (a.started < b.ended && b.started < a.ended)
            ++overlapping;
        return {a, b};
    }

    // One desk must win; the other must see the winner's work. A busy answer
    // is fair only after a real wait: no operation here holds the file that long.
    void expectOneWinner(const std::pair<Answer, Answer>& answers, const QString& win, const QString& lose)
    {
        QStringList outcomes;
        for (const Answer& answer : {answers.first, answers.second}) {
            const bool waitedLong = answer.ended - answer.started > 4'000'000'000LL;
            outcomes << (answer.outcome == "busy" && waitedLong ? lose : answer.outcome);
            if (answer.outcome != win && answer.outcome != lose)
                ADD_FAILURE() << answer.text.toStdString();
        }
        outcomes.sort();
        QStringList wanted{win, lose};
        wanted.sort();
        EXPECT_EQ(outcomes, wanted) << answers.first.text.toStdString() << " / " << answers.second.text.toStdString();
    }

    TempLibrary library;
    const int rounds = countFromEnvironment("SHELFMARK_DESK_ROUNDS", 100);  // rounds per race
    // The program directory: its library is the file, or on the tests' server.
    WorkerProcess first{DESK_WORKER, {"serve", library.dir()}};
    WorkerProcess second{DESK_WORKER, {"serve", library.dir()}};
    WorkerProcess holder{DESK_WORKER, {"serve", library.dir()}};
    int overlapping = 0;
};

TEST_F(TwoDesks, LendingOneBookAtOnceStoresOneLoan)
{
    for (int i = 0; i < rounds; ++i)
        expectOneWinner(race("lend 001 " + book(i) + " 2026-03-20", "lend 002 " + book(i) + " 2026-03-20"),
                        "Lent", "AlreadyLent");
    EXPECT_EQ(library.scalar("SELECT count(*) FROM lentInfo").toInt(), rounds);
    EXPECT_EQ(library.scalar("SELECT count(DISTINCT 书籍编号) FROM lentInfo").toInt(), rounds);
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookInfo WHERE 是否借出 = 1").toInt(), rounds);
}

// The last place of a reader's quota: one desk lends, the other is told the
// quota is full, as a desk alone would be, never the store's own words.
TEST_F(TwoDesks, TwoLendsForTheLastPlaceOfAQuotaLendOnce)
{
    for (int i = 0; i < rounds; ++i)
        library.addBook(book(rounds + i), QString("书%1").arg(rounds + i), "A");
    for (int i = 0; i < rounds; ++i) {
        library.setRules(i + 1, 0.1);
        expectOneWinner(race("lend 001 " + book(i) + " 2026-03-20", "lend 001 " + book(rounds + i) + " 2026-03-20"),
                        "Lent", "Refused:您的书已经借满,不能再借!");
    }
    EXPECT_EQ(library.scalar("SELECT count(*) FROM lentInfo WHERE 读者编号 = '001'").toInt(), rounds);
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookInfo WHERE 是否借出 = 1").toInt(), rounds);
}

TEST_F(TwoDesks, ReturningOneLoanAtOnceClosesItOnce)
{
    for (int i = 0; i < rounds; ++i)
        library.addLoan("001", book(i), "2026-03-01");
    library.exec("UPDATE bookInfo SET 是否借出 = 1");
    for (qint64 loan = 1; loan <= rounds; ++loan)
        expectOneWinner(race(QString("return %1").arg(loan), QString("return %1").arg(loan)), "Closed",
                        "NotOutstanding");
    EXPECT_EQ(library.scalar("SELECT count(*) FROM lentInfo WHERE 还书日期 = '2026-03-20' AND 超出天数 = 2"
                  " AND 罚款金额 = 0.2").toInt(), rounds);
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookInfo WHERE 是否借出 = 1").toInt(), 0);
}

// Two renewals of one loan are both fair: they run one after the other, and
// the loan keeps one of the two dates, still outstanding, still one row.
TEST_F(TwoDesks, RenewingOneLoanAtOnceKeepsOneWholeLoan)
{
    library.addLoan("001", book(0), "2026-03-01");
    library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE rowid = 1");
    for (int i = 0; i < rounds; ++i) {
        const QString a = QDate(2026, 3, 1).addDays(i).toString(Qt::ISODate);
        const QString b = QDate(2026, 6, 1).addDays(i).toString(Qt::ISODate);
        const auto [first, second] = race("renew 1 " + a, "renew 1 " + b);
        EXPECT_EQ(first.outcome + " " + second.outcome, "Renewed Renewed") << first.text.toStdString();
        const QString stored = library.scalar("SELECT 借书日期 FROM lentInfo").toString();
        EXPECT_TRUE(stored == a || stored == b) << stored.toStdString();
    }
    EXPECT_EQ(library.scalar("SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL").toInt(), 1);
}

}  // namespace
