#pragma once

#include <QSqlQueryModel>

struct QueryStatement;

// The rows of one query window's last search. Rows are read from the store as
// the grid scrolls to them, never all at once and never counted up front.
// Dates read in the short form yyyy/M/d (empty while there is none); the
// lent-out flag reads "是" or "否".
class QueryResultModel : public QSqlQueryModel {
    Q_OBJECT
public:
    explicit QueryResultModel(QObject* parent = nullptr);

    // Runs the statement on the shared connection and shows its first rows.
    // Throws StoreError; the old rows stay when the store refuses.
    void run(const QueryStatement& statement);

    // The position of a column by its name, or -1.
    int columnOf(const QString& name) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    // Reads which columns hold dates or the lent-out flag, by their names.
    void queryChange() override;

private:
    enum class Kind { Plain, Date, Flag };

    QList<Kind> m_kinds;
};
