#include "QuerySection.h"

#include <sqlite3.h>

#include <QList>

#include "RawStatement.h"
#include "SideBySide.h"
#include "queries/logic/QueryBuilder.h"
#include "core/logic/KeyedResultModel.h"

namespace QuerySection {

namespace {

// What a grid shows first: the model reads this many rows when a query runs.
constexpr int kFirstScreen = 256;

// The same statement (with the key our grid reads) through the engine alone: prepared, bound, its first
// screen of rows read cell by cell.
void rawFirstScreen(sqlite3* db, const KeyedStatement& statement)
{
    RawStatement query(db, KeyedText(statement).toUtf8().constData());
    for (int i = 0; i < statement.values.size(); ++i)
        query.text(i + 1, statement.values[i].toString());
    for (int row = 0; row < kFirstScreen && query.step(); ++row)
        for (int c = 0; c < query.columns(); ++c)
            query.textAt(c);
}

void oursFirstScreen(const KeyedStatement& statement)
{
    KeyedResultModel model(QStringLiteral("查询"));
    model.run(statement);
    for (int row = 0; row < model.rowCount(); ++row)
        for (int c = 0; c < model.columnCount(); ++c)
            model.data(model.index(row, c));
}

// A reader's name as the library has it, for the exact name search.
QString someReaderName(sqlite3* db)
{
    RawStatement name(db, "SELECT 读者姓名 FROM readerInfo WHERE rowid = (SELECT max(rowid) / 2 FROM readerInfo)");
    return name.step() ? QString::fromUtf8(name.textAt(0)) : QString();
}

}  // namespace

void run(SideBySide& bench, sqlite3* db, int runs)
{
    bench.section(QStringLiteral("Book query, fuzzy, first screen (target: ≤ 50 ms)"));
    const struct {
        const char* what;
        BookCriteria criteria;
    } books[] = {
        {"number 1 character \"7\"", {.bookId = "7"}},
        {"number 2 characters \"B9\"", {.bookId = "B9"}},
        {"number \"0012\"", {.bookId = "0012"}},
        {"number \"99999\" (few)", {.bookId = "99999"}},
        {"title 1 character \"学\"", {.bookName = "学"}},
        {"title 1 character \"鉴\" (few)", {.bookName = "鉴"}},
        {"title 2 characters \"程序\"", {.bookName = "程序"}},
        {"title 2 characters \"学版\" (none)", {.bookName = "学版"}},
        {"title 4 characters \"数据结构\"", {.bookName = "数据结构"}},
        {"title Latin \"python\"", {.bookName = "python"}},
        {"title Latin \"SQL\"", {.bookName = "SQL"}},
        {"publisher 2 characters \"苏州\"", {.publisher = "苏州"}},
        {"publisher 4 characters \"人民文学\"", {.publisher = "人民文学"}},
        {"publisher 2 characters \"社出\" (none)", {.publisher = "社出"}},
        {"title \"史\" and publisher \"中华\"", {.bookName = "史", .publisher = "中华"}},
        {"title marks only \"（\"", {.bookName = "（"}},
        {"title marks only \"！\" (none)", {.bookName = "！"}},
        {"category \"C\"", {.categoryCode = "C"}},
        {"category \"Z\" (none)", {.categoryCode = "Z"}},
        {"registration day", {.registered = QDate::currentDate().addDays(-3000)}},
    };
    for (const auto& c : books) {
        bench.compare(QString::fromUtf8(c.what), runs, {{}, 50.0},
                      [&](int) { oursFirstScreen(BuildBookQuery(c.criteria, true)); },
                      [&](int) { rawFirstScreen(db, BuildBookQuery(c.criteria, true)); });
    }

    bench.section(QStringLiteral("Loan query, first screen of each criterion (target: ≤ 100 ms)"));
    const QString name = someReaderName(db);
    const struct {
        const char* what;
        LendCriteria criteria;
        bool fuzzy;
    } loans[] = {
        {"none (every loan)", {}, false},
        {"book number exact", {.bookId = "B0123456"}, false},
        {"book number fuzzy \"B01234\"", {.bookId = "B01234"}, true},
        {"book number fuzzy \"9\"", {.bookId = "9"}, true},
        {"title exact \"数据结构教程\"", {.bookName = "数据结构教程"}, false},
        {"title fuzzy \"程序\"", {.bookName = "程序"}, true},
        {"title fuzzy \"鉴\"", {.bookName = "鉴"}, true},
        {"reader number exact", {.readerId = "050000"}, false},
        {"reader number fuzzy \"0500\"", {.readerId = "0500"}, true},
        {"reader name exact", {.readerName = name}, false},
        {"reader name fuzzy \"欧阳\"", {.readerName = "欧阳"}, true},
        {"reader name fuzzy \"张\"", {.readerName = "张"}, true},
        {"title fuzzy \"史\" and reader name fuzzy \"欧阳\"", {.bookName = "史", .readerName = "欧阳"}, true},
        {"all four fuzzy", {.bookId = "B0", .bookName = "学", .readerId = "0", .readerName = "王"}, true},
        {"title fuzzy marks only \"（\"", {.bookName = "（"}, true},
        {"title fuzzy marks only \"！\" (none)", {.bookName = "！"}, true},
    };
    for (const auto& c : loans) {
        bench.compare(QString::fromUtf8(c.what), runs, {{}, 100.0},
                      [&](int) { oursFirstScreen(BuildLendQuery(c.criteria, c.fuzzy)); },
                      [&](int) { rawFirstScreen(db, BuildLendQuery(c.criteria, c.fuzzy)); });
    }
}

}  // namespace QuerySection
