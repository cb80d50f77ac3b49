#pragma once

#include <QString>

// The fuzzy-search words (see SearchText) of many books added at once,
// written in one sweep after the books rather than by the engine's trigger
// for each row: the trigger spaces and pairs the texts in SQL, which costs
// most of the time of adding a book. Used inside the caller's transaction,
// so that a failure or a rollback leaves the trigger and the words as they
// were; another desk sees the trigger gone never, as the transaction holds
// the write lock. Where the engine keeps the index itself (the server), or
// the library's index is of an earlier version, it changes nothing.
class SearchWordsInBulk {
public:
    // Notes the last book there is and stops the row-by-row upkeep. Throws StoreError.
    explicit SearchWordsInBulk(const QString& action);
    SearchWordsInBulk(const SearchWordsInBulk&) = delete;
    SearchWordsInBulk& operator=(const SearchWordsInBulk&) = delete;

    // Writes the words of every book added since, and starts the row-by-row
    // upkeep again. Throws StoreError.
    void finish();

private:
    QString m_action;
    bool m_paused = false;
    qint64 m_lastRow = 0;
};
