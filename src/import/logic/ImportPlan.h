#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "catalogue/logic/Books.h"
#include "core/logic/Csv.h"
#include "import/logic/ImportKind.h"
#include "readers/logic/Reader.h"

// One row of the file and what becomes of it.
struct ImportRow {
    int line = 0;          // its place among the file's records, the heading being 1
    QStringList cells;     // as the file has them
    QStringList problems;  // why it is skipped; none when it is imported

    bool good() const { return problems.isEmpty(); }
};

// A file of books or readers, its columns matched to fields, and every row
// checked as the new-book and reader windows would check it, against the
// library as it stands. Nothing here writes: ImportRun does.
class ImportPlan {
public:
    ImportPlan(ImportKind::Kind kind, const Csv::Table& table, const QDate& today);

    ImportKind::Kind kind() const { return m_kind; }
    Csv::Encoding encoding() const { return m_encoding; }
    QStringList headings() const { return m_headings; }
    // The field each column fills ("" for a column left out). A heading that
    // is a field's name (the table's column name) fills that field.
    QStringList mapping() const { return m_mapping; }
    // Lets the column fill the field ("" leaves it out); a column that filled
    // the field before is left out. Check again afterwards.
    void mapColumn(int column, const QString& field);

    // Checks every row against the mapping and the store. Throws StoreError.
    void check();
    const QList<ImportRow>& rows() const { return m_rows; }
    int goodCount() const;
    // A row found bad while importing (its number taken meanwhile).
    void addProblem(int row, const QString& problem);

    // The row as the new-book window saves it: 不详 for an empty publisher,
    // author and pages, today for an empty registration date.
    Books::BookDetails bookOf(const ImportRow& row) const;
    Reader readerOf(const ImportRow& row) const;

    // The skipped rows, for fixing and importing again: the file's headings
    // and "问题", then each skipped row with its problems.
    QList<QStringList> skippedRecords() const;

    // What becomes of the row, as the preview and the command say it.
    static QString verdict(const ImportRow& row);

private:
    QString cell(const ImportRow& row, const QString& field) const;
    QStringList bookProblems(const ImportRow& row) const;
    QStringList readerProblems(const ImportRow& row) const;
    void markRepeatedNumbers();

    ImportKind::Kind m_kind;
    Csv::Encoding m_encoding;
    QDate m_today;
    QStringList m_headings;
    QStringList m_mapping;
    QList<ImportRow> m_rows;
    QHash<QString, QString> m_categoryCodes;  // folded code -> code written
};
