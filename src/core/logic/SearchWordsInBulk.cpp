#include "core/logic/SearchWordsInBulk.h"

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/SearchText.h"
#include "core/logic/Sql.h"

SearchWordsInBulk::SearchWordsInBulk(const QString& action) : m_action(action)
{
    const Dialect& dialect = Database::dialect();
    const QStringList pause = dialect.pauseSearchUpkeepStatements();
    if (pause.isEmpty() || !dialect.searchMarksIndexed())
        return;
    QSqlQuery last = Sql::run(QStringLiteral("SELECT max(rowid) FROM bookInfo"), {}, m_action);
    m_lastRow = last.next() ? last.value(0).toLongLong() : 0;
    last.finish();
    for (const QString& statement : pause)
        Sql::execute(statement, m_action);
    m_paused = true;
}

void SearchWordsInBulk::finish()
{
    if (!m_paused)
        return;
    struct Book {
        qint64 row;
        QString number, title, publisher;
    };
    QList<Book> books;
    {
        // New rows get numbers past the last one there was.
        QSqlQuery added = Sql::run(QStringLiteral("SELECT rowid, 书籍编号, 书籍名称, 出版社 FROM bookInfo"
                                                  " WHERE rowid > :last ORDER BY rowid"),
                                   {{QStringLiteral("last"), m_lastRow}}, m_action);
        while (added.next())
            books.append({added.value(0).toLongLong(), added.value(1).toString(), added.value(2).toString(),
                          added.value(3).toString()});
    }
    const QString words = Database::dialect().searchWordsStatement();
    for (const Book& book : std::as_const(books))
        Sql::changeKept(words,
                        {{QStringLiteral("row"), book.row},
                         {QStringLiteral("number"), SearchText::spaced(book.number)},
                         {QStringLiteral("title"), SearchText::spaced(book.title)},
                         {QStringLiteral("publisher"), SearchText::spaced(book.publisher)},
                         {QStringLiteral("numberPairs"), SearchText::pairs(book.number)},
                         {QStringLiteral("titlePairs"), SearchText::pairs(book.title)},
                         {QStringLiteral("publisherPairs"), SearchText::pairs(book.publisher)}},
                        m_action);
    for (const QString& statement : Database::dialect().resumeSearchUpkeepStatements())
        Sql::execute(statement, m_action);
    m_paused = false;
}
