#include "SearchIndex.h"

#include <sqlite3.h>

#include <QString>

#include "RawStatement.h"
#include "core/logic/SearchText.h"

namespace SearchIndex {

namespace {

using Words = QString (*)(const QString&);

// words(text) for SQL: NULL stays NULL, as the triggers keep it.
template <Words words>
void sqlWords(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const QByteArray result = words(QString::fromUtf8(text, sqlite3_value_bytes(arguments[0]))).toUtf8();
    sqlite3_result_text(context, result.constData(), int(result.size()), SQLITE_TRANSIENT);
}

void define(sqlite3* db, const char* name, void (*function)(sqlite3_context*, int, sqlite3_value**))
{
    if (sqlite3_create_function_v2(db, name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, function, nullptr,
                                   nullptr, nullptr)
        != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

}  // namespace

void rewrite(sqlite3* db)
{
    define(db, "shelfmark_spaced", sqlWords<SearchText::spaced>);
    define(db, "shelfmark_pairs", sqlWords<SearchText::pairs>);
    rawExec(db, "INSERT INTO bookSearch (bookSearch) VALUES ('delete-all')");
    rawExec(db,
            "INSERT INTO bookSearch (rowid, number, title, publisher, numberPairs, titlePairs, publisherPairs)"
            " SELECT rowid, shelfmark_spaced(书籍编号), shelfmark_spaced(书籍名称), shelfmark_spaced(出版社),"
            " shelfmark_pairs(书籍编号), shelfmark_pairs(书籍名称), shelfmark_pairs(出版社) FROM bookInfo");
}

}  // namespace SearchIndex
