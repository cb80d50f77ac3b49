#include "ServerSection.h"

#include <libpq-fe.h>

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <stdexcept>

#include "SideBySide.h"
#include "circulation/logic/BookLookup.h"
#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "circulation/logic/DeskStatements.h"
#include "circulation/logic/Lending.h"
#include "circulation/logic/LoanClosing.h"
#include "circulation/logic/LoanLookup.h"
#include "circulation/logic/Renewal.h"
#include "circulation/logic/ReaderLookup.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/KeyedResultModel.h"
#include "core/logic/KeyedStatement.h"
#include "core/logic/Sql.h"
#include "queries/logic/QueryBuilder.h"

namespace ServerSection {

namespace {

// libpq alone: one connection, statements prepared once by name, every cell
// of every row read as a grid would.
class RawServer {
public:
    explicit RawServer(const ServerSettings& server)
    {
        // The session the program's own connections have.
        const QByteArray words = QStringLiteral("host='%1' port=%2 dbname='%3' user='%4' sslmode=%5 options='%6'")
                                     .arg(server.host)
                                     .arg(server.port)
                                     .arg(server.dbname, server.user, server.sslmode, ServerSettings::sessionOptions())
                                     .toUtf8();
        m_db = PQconnectdb(words.constData());
        if (PQstatus(m_db) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(m_db));
    }
    ~RawServer() { PQfinish(m_db); }
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    // Prepares a statement of ours: named values (:reader) or "?" marks
    // become $1, $2… (a name used twice is the same one), in order of first use.
    QStringList prepare(const QByteArray& name, const QString& statement)
    {
        QStringList order;
        QString text = statement;
        static const QRegularExpression named(QStringLiteral(":([A-Za-z_][A-Za-z0-9_]*)|\\?"));
        qsizetype at = 0;
        QRegularExpressionMatch match;
        int marks = 0;
        while ((match = named.match(text, at)).hasMatch()) {
            const QString key = match.captured(1).isEmpty() ? QString::number(marks++) : match.captured(1);
            if (!order.contains(key))
                order << key;
            const QString number = QLatin1Char('$') + QString::number(order.indexOf(key) + 1);
            text.replace(match.capturedStart(), match.capturedLength(), number);
            at = match.capturedStart() + number.size();
        }
        check(PQprepare(m_db, name.constData(), text.toUtf8().constData(), int(order.size()), nullptr), name);
        return order;
    }
    // Runs a prepared statement with its values as text; returns its rows.
    int run(const QByteArray& name, const QList<QByteArray>& values)
    {
        QList<const char*> pointers;
        for (const QByteArray& value : values)
            pointers << (value.isNull() ? nullptr : value.constData());
        PGresult* result = PQexecPrepared(m_db, name.constData(), int(pointers.size()), pointers.constData(), nullptr,
                                          nullptr, 0);
        const int rows = readAll(result, name);
        return rows;
    }
    // The cell of the first row a prepared statement gives (empty when none).
    QByteArray value(const QByteArray& name, const QList<QByteArray>& values, int column)
    {
        QList<const char*> pointers;
        for (const QByteArray& v : values)
            pointers << v.constData();
        PGresult* result = PQexecPrepared(m_db, name.constData(), int(pointers.size()), pointers.constData(), nullptr,
                                          nullptr, 0);
        const QByteArray cell = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0
                                    ? QByteArray(PQgetvalue(result, 0, column))
                                    : QByteArray();
        check(result, name);
        return cell;
    }
    void exec(const char* statement) { check(PQexec(m_db, statement), statement); }
    // Every row of a statement, each cell read, one row at a time as it
    // comes (as SQLite's stepping reads them); returns how many.
    qint64 readEveryRow(const QString& statement)
    {
        const QByteArray text = statement.toUtf8();
        if (!PQsendQuery(m_db, text.constData()) || !PQsetSingleRowMode(m_db))
            throw std::runtime_error(PQerrorMessage(m_db));
        qint64 rows = 0;
        while (PGresult* result = PQgetResult(m_db)) {
            if (PQresultStatus(result) == PGRES_SINGLE_TUPLE) {
                for (int c = 0; c < PQnfields(result); ++c)
                    PQgetvalue(result, 0, c);
                ++rows;
                PQclear(result);
            } else {
                check(result, text);
            }
        }
        return rows;
    }
    QList<QByteArray> column(const char* statement)
    {
        PGresult* result = PQexec(m_db, statement);
        QList<QByteArray> values;
        if (PQresultStatus(result) == PGRES_TUPLES_OK)
            for (int row = 0; row < PQntuples(result); ++row)
                values << QByteArray(PQgetvalue(result, row, 0));
        check(result, statement);
        return values;
    }

private:
    int readAll(PGresult* result, const QByteArray& what)
    {
        const int rows = PQresultStatus(result) == PGRES_TUPLES_OK ? PQntuples(result) : 0;
        for (int row = 0; row < rows; ++row)
            for (int c = 0; c < PQnfields(result); ++c)
                PQgetvalue(result, row, c);
        check(result, what);
        return rows;
    }
    void check(PGresult* result, const QByteArray& what)
    {
        const ExecStatusType status = PQresultStatus(result);
        const QByteArray error = PQresultErrorMessage(result);
        PQclear(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw std::runtime_error((what + ": " + error).toStdString());
    }

    PGconn* m_db = nullptr;
};

// Desk keys picked at random from the library.
struct Keys {
    QList<QByteArray> books, readers, shelfBooks;
    QList<QPair<QByteArray, QByteArray>> loans;  // outstanding: row id and lend date
};

Keys pickKeys(RawServer& raw, int writeRuns)
{
    Keys keys;
    keys.books = raw.column("SELECT 书籍编号 FROM bookInfo ORDER BY random() LIMIT 1000");
    keys.readers = raw.column("SELECT 读者编号 FROM readerInfo ORDER BY random() LIMIT 1000");
    keys.shelfBooks = raw.column(QStringLiteral("SELECT 书籍编号 FROM bookInfo WHERE 是否借出 = 0 ORDER BY random()"
                                                " LIMIT %1").arg(2 * writeRuns + 10).toUtf8().constData());
    const QList<QByteArray> loans = raw.column(
        "SELECT rowid || ' ' || 借书日期 FROM lentInfo WHERE 还书日期 IS NULL AND 借书日期 IS NOT NULL LIMIT 1000");
    for (const QByteArray& loan : loans)
        keys.loans.append({loan.split(' ').value(0), loan.split(' ').value(1)});
    return keys;
}

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

void desk(SideBySide& bench, RawServer& raw, const Keys& keys, int runs, int writeRuns, const QDate& today)
{
    const auto at = [](const QList<QByteArray>& list, int i) { return list.at(i % list.size()); };
    raw.prepare("book", DeskStatements::bookLookup());
    raw.prepare("reader", DeskStatements::readerName());
    raw.prepare("list", DeskStatements::borrowedList());
    raw.prepare("count", DeskStatements::borrowedCount());
    raw.prepare("rules", DeskStatements::rules());
    bench.section(QStringLiteral("Server desk (targets: look-ups ≤ 3× libpq; lend, return, renew ≤ 1.5× libpq)"));
    bench.compare(QStringLiteral("book look-up (书籍编号 + Enter)"), runs, {3.0, {}},
                  [&](int i) { BookLookup::find(QString::fromUtf8(at(keys.books, i))); },
                  [&](int i) { raw.run("book", {at(keys.books, i + 1)}); });
    bench.compare(QStringLiteral("reader look-up (读者编号 + Enter)"), runs, {3.0, {}},
                  [&](int i) { ReaderLookup::findName(QString::fromUtf8(at(keys.readers, i))); },
                  [&](int i) { raw.run("reader", {at(keys.readers, i + 1)}); });
    BorrowedListModel model;
    bench.compare(
        QStringLiteral("borrowed list with count and quota"), runs, {3.0, {}},
        [&](int i) {
            model.load(QString::fromUtf8(at(keys.readers, i)));
            for (int row = 0; row < model.rowCount(); ++row)
                for (int column = 0; column < model.columnCount(); ++column)
                    model.data(model.index(row, column));
            BorrowedList::summaryOf(model.rowCount());
        },
        [&](int i) {
            raw.run("list", {at(keys.readers, i + 1)});
            raw.run("rules", {});
        });

    if (keys.shelfBooks.size() < 2 * writeRuns || keys.loans.isEmpty()) {
        bench.note(QStringLiteral("  (too few books on the shelf to time lending)"));
        return;
    }
    const QList<QByteArray> lastLoan = raw.column("SELECT coalesce(max(rowid), 0) FROM lentInfo");
    const QList<QByteArray> oldQuota = raw.column("SELECT 借出册数 FROM basicSet");
    raw.exec(QStringLiteral("UPDATE basicSet SET 借出册数 = %1").arg(2 * writeRuns + 10000).toUtf8().constData());
    const QStringList insertOrder = raw.prepare("insert", DeskStatements::lendInsert());
    raw.prepare("mark", DeskStatements::lendMark());
    raw.prepare("loan", DeskStatements::loanLookup());
    const QStringList closeOrder = raw.prepare("closeLoan", DeskStatements::closeLoan());
    raw.prepare("closeBook", DeskStatements::closeBook());
    const QStringList renewOrder = raw.prepare("renew", DeskStatements::renew());
    const QByteArray lock = utf8(Database::dialect().beginWrite().value(1));
    const QString reader = QString::fromUtf8(keys.readers.first());
    const QByteArray date = utf8(today.toString(Qt::ISODate));
    const auto book = [&](int i, int side) { return keys.shelfBooks.at(2 * i + side); };
    const auto inOrder = [](const QStringList& order, const QHash<QString, QByteArray>& values) {
        QList<QByteArray> list;
        for (const QString& name : order)
            list << values.value(name);
        return list;
    };
    bench.compare(
        QStringLiteral("lend (one transaction)"), writeRuns, {1.5, {}},
        [&](int i) { Lending::lend(reader, QString::fromUtf8(book(i, 0)), today); },
        [&](int i) {
            raw.exec("BEGIN");
            raw.exec(lock.constData());
            raw.run("reader", {keys.readers.first()});
            raw.run("count", {keys.readers.first()});
            raw.run("rules", {});
            raw.run("book", {book(i, 1)});
            raw.run("insert", inOrder(insertOrder, {{"reader", keys.readers.first()}, {"book", book(i, 1)}, {"date", date}}));
            raw.run("mark", {book(i, 1)});
            raw.exec("COMMIT");
        });
    bench.compare(
        QStringLiteral("return: look-up and close"), writeRuns, {1.5, {}},
        [&](int i) {
            const LoanOnDesk loan = LoanLookup::find(QString::fromUtf8(book(i, 0)), today);
            LoanClosing::close(loan.loanId, loan.returnDate, loan.overdueDays, loan.fine);
        },
        [&](int i) {
            const QByteArray found = raw.value("loan", {book(i, 1)}, 6);
            raw.run("rules", {});
            raw.exec("BEGIN");
            raw.exec(lock.constData());
            raw.run("closeBook", {found});
            raw.run("closeLoan", inOrder(closeOrder, {{"returned", date}, {"overdue", "0"}, {"fine", "0"},
                                                      {"loan", found}}));
            raw.exec("COMMIT");
        });
    const auto loan = [&](int i) { return keys.loans.at(i % keys.loans.size()); };
    bench.compare(
        QStringLiteral("renew (one transaction)"), writeRuns, {1.5, {}},
        [&](int i) { Renewal::renew(loan(2 * i).first.toLongLong(), Sql::toDate(QString::fromUtf8(loan(2 * i).second))); },
        [&](int i) {
            raw.exec("BEGIN");
            raw.exec(lock.constData());
            raw.run("renew", inOrder(renewOrder, {{"date", loan(2 * i + 1).second}, {"loan", loan(2 * i + 1).first}}));
            raw.exec("COMMIT");
        });
    raw.exec(("DELETE FROM lentInfo WHERE rowid > " + lastLoan.value(0)).constData());
    raw.exec(("UPDATE basicSet SET 借出册数 = " + oldQuota.value(0)).constData());
}

// What a grid shows first: through our model, and its first page alone.
void oursFirstScreen(const KeyedStatement& statement)
{
    KeyedResultModel model(QStringLiteral("查询"));
    model.run(statement);
    for (int row = 0; row < model.rowCount(); ++row)
        for (int c = 0; c < model.columnCount(); ++c)
            model.data(model.index(row, c));
}

void rawFirstScreen(RawServer& raw, const KeyedStatement& statement, int n)
{
    const QByteArray name = "screen" + QByteArray::number(n);
    const Dialect::Page page =
        Database::dialect().pageOf(KeyedText(statement), statement.key, KeyedResultModel::kPageRows);
    static QHash<QByteArray, bool> prepared;
    if (!prepared.value(name)) {
        raw.prepare(name, page.text);
        prepared.insert(name, true);
    }
    QList<QByteArray> values;
    for (const QVariant& value : page.bound(statement.values, QVariant()))
        values << value.toString().toUtf8();
    raw.run(name, values);
}

void queries(SideBySide& bench, RawServer& raw, int runs)
{
    int n = 0;
    bench.section(QStringLiteral("Server book query, fuzzy, first screen (target: ≤ 50 ms)"));
    const struct { const char* what; BookCriteria criteria; } books[] = {
        {"number 1 character \"7\"", {.bookId = "7"}},
        {"number 2 characters \"B9\"", {.bookId = "B9"}},
        {"title 1 character \"学\"", {.bookName = "学"}},
        {"title 1 character \"鉴\" (few)", {.bookName = "鉴"}},
        {"title 2 characters \"程序\"", {.bookName = "程序"}},
        {"title 2 characters \"学版\" (none)", {.bookName = "学版"}},
        {"title 4 characters \"数据结构\"", {.bookName = "数据结构"}},
        {"title Latin \"python\"", {.bookName = "python"}},
        {"publisher 2 characters \"苏州\"", {.publisher = "苏州"}},
        {"publisher 4 characters \"人民文学\"", {.publisher = "人民文学"}},
        {"category \"C\"", {.categoryCode = "C"}},
    };
    for (const auto& c : books) {
        const KeyedStatement statement = BuildBookQuery(c.criteria, true);
        const int mine = n++;
        bench.compare(QString::fromUtf8(c.what), runs, {{}, 50.0}, [&](int) { oursFirstScreen(statement); },
                      [&](int) { rawFirstScreen(raw, statement, mine); });
    }
    bench.section(QStringLiteral("Server loan query, first screen (target: ≤ 100 ms)"));
    const struct { const char* what; LendCriteria criteria; bool fuzzy; } loans[] = {
        {"none (every loan)", {}, false},
        {"book number fuzzy \"B01234\"", {.bookId = "B01234"}, true},
        {"title fuzzy \"程序\"", {.bookName = "程序"}, true},
        {"title fuzzy \"鉴\"", {.bookName = "鉴"}, true},
        {"reader number exact", {.readerId = "050000"}, false},
        {"reader number fuzzy \"0500\"", {.readerId = "0500"}, true},
        {"reader name fuzzy \"欧阳\"", {.readerName = "欧阳"}, true},
        {"reader name fuzzy \"张\"", {.readerName = "张"}, true},
    };
    for (const auto& c : loans) {
        const KeyedStatement statement = BuildLendQuery(c.criteria, c.fuzzy);
        const int mine = n++;
        bench.compare(QString::fromUtf8(c.what), runs, {{}, 100.0}, [&](int) { oursFirstScreen(statement); },
                      [&](int) { rawFirstScreen(raw, statement, mine); });
    }
}

}  // namespace

qint64 readEveryRow(const ServerSettings& server, const QString& statement)
{
    RawServer raw(server);
    return raw.readEveryRow(statement);
}

void run(SideBySide& bench, const ServerSettings& server, int runs, int writeRuns, const QDate& today)
{
    RawServer raw(server);
    const Keys keys = pickKeys(raw, writeRuns);
    if (keys.books.isEmpty() || keys.readers.isEmpty()) {
        bench.note(QStringLiteral("  (the library has no books or no readers)"));
        return;
    }
    desk(bench, raw, keys, runs, writeRuns, today);
    queries(bench, raw, std::max(3, runs / 100));
}

}  // namespace ServerSection
