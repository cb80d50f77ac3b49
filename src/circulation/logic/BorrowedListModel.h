#pragma once

#include <QSqlQuery>
#include <QSqlQueryModel>

// One desk grid's own copy of a reader's outstanding loans (each tab keeps
// its own). Its columns are the eight a desk grid shows, in their order; the
// loan's row id stays behind them. Dates read in the short form yyyy/M/d;
// empty columns read empty.
class BorrowedListModel : public QSqlQueryModel {
    Q_OBJECT
public:
    explicit BorrowedListModel(QObject* parent = nullptr);

    // Replaces the rows with the reader's outstanding loans. Throws StoreError;
    // the old rows stay when the store refuses.
    void load(const QString& readerNumber);
    // Empties the list (no query behind it).
    void unload();

    // The lentInfo row id of a listed loan; 0 when the row is not listed.
    qint64 loanIdAt(int row) const;

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // The list's statement twice, each prepared once: the next list runs in
    // the one not shown, so a refused run leaves the shown rows as they were.
    QSqlQuery m_statements[2];
    int m_shown = 0;
};
