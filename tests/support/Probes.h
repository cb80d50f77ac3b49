#pragma once

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>

#include "core/logic/Database.h"

// Small probes the tests share: files, grids, boxes and the store as text.

// The bytes of a file, or "<missing>" when it cannot be read.
inline QByteArray bytesOf(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes the file afresh with these bytes; null bytes leave no file at all.
inline void putBytes(const QString& fileName, const QByteArray& bytes)
{
    QFile::remove(fileName);
    QFile file(fileName);
    if (!bytes.isNull())
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << fileName.toStdString();
}

// A program run to its end (two minutes at most): its exit code (-1 when it
// crashed or did not end) and what it printed, to standard output and as errors.
struct Ran {
    int exitCode;
    QString out, err;
};
inline Ran runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ended = process.waitForFinished(120000);
    EXPECT_TRUE(ended) << program.toStdString() << " did not end";
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// A PDF file's text as pdftotext reads it; with `layout`, its lines as laid out.
inline QString pdfText(const QString& pdf, bool layout = false)
{
    return runProgram(QStringLiteral("pdftotext"), layout ? QStringList{"-layout", pdf, "-"} : QStringList{pdf, "-"}).out;
}

// Every row of a query on the shared connection, cells joined by "|" (a null
// as ""), rows by `rowSeparator`.
inline QString storeRows(const QString& select, const QString& rowSeparator = QStringLiteral(","))
{
    QSqlQuery query(Database::connection());
    EXPECT_TRUE(query.exec(select)) << select.toStdString();
    QStringList rows;
    while (query.next()) {
        QStringList cells;
        for (int i = 0; i < query.record().count(); ++i)
            cells << (query.value(i).isNull() ? QString() : query.value(i).toString());
        rows << cells.join('|');
    }
    return rows.join(rowSeparator);
}

// Every row of a statement over a library file, read on a connection of the
// test's own (not the shared one), cells joined by "|".
inline QStringList fileRows(const QString& file, const QString& statement)
{
    const QString name = QStringLiteral("probe");
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open()) << file.toStdString();
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(statement)) << statement.toStdString() << ": " << query.lastError().text().toStdString();
        while (query.next()) {
            QStringList cells;
            for (int i = 0; i < query.record().count(); ++i)
                cells << query.value(i).toString();
            rows << cells.join(QLatin1Char('|'));
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

// The rows of a model, the first `columns` cells (all when negative) joined by "|".
inline QStringList modelRows(const QAbstractItemModel* model, int columns = -1)
{
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < (columns < 0 ? model->columnCount() : columns); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join('|');
    }
    return rows;
}
inline QString gridRows(const QTableView* grid, int columns = -1)
{
    return modelRows(grid->model(), columns).join(',');
}

// What a grid shows: its visible headings, then each fetched row, cells
// joined by "|", in the order the clerk sees them.
inline QStringList visibleRows(const QTableView* grid)
{
    const QHeaderView* header = grid->horizontalHeader();
    const auto cells = [&](int row) {
        QStringList shown;
        for (int visual = 0; visual < header->count(); ++visual)
            if (const int logical = header->logicalIndex(visual); !header->isSectionHidden(logical))
                shown << (row < 0 ? grid->model()->headerData(logical, Qt::Horizontal)
                                  : grid->model()->index(row, logical).data()).toString();
        return shown.join('|');
    };
    QStringList lines{cells(-1)};
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        lines << cells(row);
    return lines;
}

// The texts of boxes, labels or combo boxes, joined by "|".
inline QString textsOf(std::initializer_list<QWidget*> widgets)
{
    QStringList texts;
    for (QWidget* w : widgets)
        texts << w->property(qobject_cast<QComboBox*>(w) ? "currentText" : "text").toString();
    return texts.join('|');
}

// Types text key by key, Chinese included, as an input method hands it
// over: a character outside the basic plane is one key.
inline void typeText(QWidget* box, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString key = text.mid(i, units);
        i += units - 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, key);
        QApplication::sendEvent(box, &release);
    }
}

// Empties the box (Ctrl+A, Delete), then types the text; a text no keyboard
// types (control characters, line breaks) or too long to type is pasted, as
// a clerk would paste it.
inline void enterText(QWidget* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    const bool typeable = text.size() <= 100 && std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control;
    });
    if (typeable)
        return typeText(box, text);
    auto* line = qobject_cast<QLineEdit*>(box);
    line = line ? line : box->findChild<QLineEdit*>();
    ASSERT_TRUE(line);
    line->insert(text);  // what pasting does
}

// The text with A-Z made a-z and nothing else changed: texts compare so in
// the store.
inline QString folded(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return result;
}

// Whether a column's text meets a criterion typed into a search box, written
// out plainly: an empty criterion meets every text; exact is equal, fuzzy
// contains it.
inline bool matchesCriterion(const QString& column, const QString& typed, bool fuzzy)
{
    if (typed.isEmpty())
        return true;
    return fuzzy ? folded(column).contains(folded(typed)) : folded(column) == folded(typed);
}

// Closes a window and lets it go at once.
inline void closeNow(QWidget* window)
{
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
