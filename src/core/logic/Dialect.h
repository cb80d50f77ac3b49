#pragma once

#include <QList>
#include <QPair>
#include <QVariant>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <limits>

#include "core/logic/StoreError.h"

class QSqlError;

// What must be said differently to the two engines a library may live on: an
// SQLite file (the default) or a PostgreSQL server. Each engine's words are
// written once, in its own file (SqliteDialect.cpp, PostgresDialect.cpp); the
// logic asks the open library's dialect (Database::dialect()) for them and
// never asks which engine it is.
//
// Both engines keep the same six tables with the same Chinese column names,
// compare their texts with A-Z folded and nothing else (SQLite's NOCASE), keep
// dates as ISO text and yes/no as 0/1, and give each row a number that orders
// the table: SQLite's own rowid, and on the server a hidden identity column
// of that very name.
class Dialect {
public:
    // Books' texts the fuzzy-search index holds.
    enum class BookText { Number, Title, Publisher };

    // What narrows a fuzzy book search down through the index: a table to
    // join (none when the index lies on bookInfo itself), the condition, and
    // its values in the order of its "?" marks. Empty when the texts hold
    // nothing the index can find.
    struct IndexedBooks {
        QString table;
        QString condition;
        QVariantList values;
        bool isEmpty() const { return condition.isEmpty(); }
    };

    // A page of a grid's statement, and what each of its "?" marks takes in
    // turn: the statement's values, or the key of the last row shown.
    struct Page {
        enum class Mark { Values, LastKey };
        QString text;
        QList<Mark> marks;
        bool isEmpty() const { return text.isEmpty(); }
        // What the marks are bound to, in order; a null key is the first page's.
        QVariantList bound(const QVariantList& values, const QVariant& lastKey) const
        {
            const QVariant key = lastKey.isNull() ? QVariant(std::numeric_limits<qint64>::min()) : lastKey;
            QVariantList all;
            for (Mark mark : marks) {
                if (mark == Mark::Values)
                    all << values;
                else
                    all << key;
            }
            return all;
        }
    };

    virtual ~Dialect() = default;

    // The engine's name for messages ("SQLite", "PostgreSQL").
    virtual QString engineName() const = 0;

    // Whether a statement's rows may be read one by one as they come (forward
    // only) while other statements run on the same connection. The server's
    // driver reads rows one by one only while no other statement runs, so
    // there every result is read whole when it runs.
    virtual bool streamsRows() const = 0;

    // -- The library's layout (LibrarySchema runs these; only our tool does).
    // The six tables and the lending rules' statement's helpers, in order.
    virtual QStringList tableStatements() const = 0;
    // The indexes of the desk's look-ups and the queries' joins.
    virtual QStringList indexStatements() const = 0;
    // The fuzzy-search index, empty or over the books already there.
    virtual QStringList searchIndexStatements() const = 0;
    // Takes the fuzzy-search index away (nothing when there is none).
    virtual QStringList dropSearchIndexStatements() const = 0;
    // Makes again what keeps the index up to date as this version writes it,
    // the words already there kept where the engine can.
    virtual QStringList renewSearchStatements() const = 0;
    // Many books added at once have their words written in bulk (see
    // SearchWordsInBulk) rather than by the engine row by row: what stops
    // and starts again the row-by-row upkeep of an index of this version,
    // and the statement that adds one book's words (:row, :number, :title,
    // :publisher, :numberPairs, :titlePairs, :publisherPairs). All empty
    // where the engine keeps the index itself.
    virtual QStringList pauseSearchUpkeepStatements() const = 0;
    virtual QStringList resumeSearchUpkeepStatements() const = 0;
    virtual QString searchWordsStatement() const = 0;
    // What stamps the library as ours, with the version of its layout.
    virtual QStringList stampStatements() const = 0;
    // What brings a library made by an earlier version up to this one's
    // helpers (run by `shelfmark-db upgrade`; each may run again).
    virtual QStringList upgradeStatements() const = 0;
    // Whether the open library has the fuzzy-search index, and whether that
    // index holds marks and symbols as words (see SearchText).
    virtual bool searchIndexed() const = 0;
    virtual bool searchMarksIndexed() const = 0;
    // bookInfo's own indexes (name, statement that makes it again), not the
    // ones behind its keys.
    virtual QString bookIndexesStatement() const = 0;

    // -- Transactions: what starts a write transaction that holds the
    // library's write lock from its start, so that what it reads before it
    // writes cannot change under it from another desk.
    virtual QStringList beginWrite() const = 0;

    // -- Conditions on texts.
    // The two texts are the same, A-Z folded.
    virtual QString sameText(const QString& left, const QString& right) const = 0;
    // `text` holds the LIKE pattern `pattern` (escaped with '\'), A-Z folded.
    virtual QString textLike(const QString& text, const QString& pattern) const = 0;
    // A grid's statement (its key first, see KeyedText) as the page of at
    // most `rows` rows whose keys follow the last key shown, in key order.
    virtual Page pageOf(const QString& keyed, const QString& key, int rows) const = 0;
    // What orders a grid's rows by their key ("" where the table's own order
    // is already that of its key).
    virtual QString rowOrder(const QString& key) const = 0;
    // What orders rows by a text column as sameText() compares it, A-Z
    // folded, the way the column's own indexes keep it.
    virtual QString foldedOrder(const QString& column) const = 0;
    // Where a range of lend dates' loans are read from to count them by the
    // loan's book or reader number (`column`, 书籍编号 or 读者编号): "lentInfo",
    // or the loans through an index in that column's order, which the engine
    // reads whole rather than sort the range's loans.
    virtual QString loansCountedBy(const QString& column) const = 0;

    // The fuzzy-search index's condition for texts found anywhere in the
    // books' columns; `marks` says whether the index holds marks as words.
    virtual IndexedBooks indexedBooks(const QList<QPair<BookText, QString>>& texts) const = 0;

    // -- Errors: what the refusal means for the clerk.
    virtual StoreError::Cause causeOf(const QSqlError& error) const = 0;
};

// The two engines' dialects, one object each for the program's life.
namespace Dialects {
const Dialect& sqlite();
const Dialect& postgres();
}  // namespace Dialects
