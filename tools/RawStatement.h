#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <string>

// One statement on a raw SQLite connection, prepared once and reused: what
// the bulk writer of the demo library and the benchmark's side of the engine
// alone are made of. Binds by position (1-based); throws on any error.
class RawStatement {
public:
    RawStatement(sqlite3* db, const char* sql) : m_db(db)
    {
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr) != SQLITE_OK)
            fail(sql);
    }
    ~RawStatement() { sqlite3_finalize(m_statement); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    RawStatement& text(int i, const QByteArray& utf8)
    {
        check(sqlite3_bind_text(m_statement, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
        return *this;
    }
    RawStatement& text(int i, const QString& value) { return text(i, value.toUtf8()); }
    // The position of a named placeholder such as ":book" (0 when the statement has none).
    int at(const char* name) const { return sqlite3_bind_parameter_index(m_statement, name); }
    RawStatement& integer(int i, qint64 value)
    {
        check(sqlite3_bind_int64(m_statement, i, value));
        return *this;
    }
    RawStatement& real(int i, double value)
    {
        check(sqlite3_bind_double(m_statement, i, value));
        return *this;
    }
    RawStatement& null(int i)
    {
        check(sqlite3_bind_null(m_statement, i));
        return *this;
    }
    // True while a row is there to read.
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail(sqlite3_sql(m_statement));
        return false;
    }
    // Runs a statement that returns no rows, then makes it ready for the next values.
    void run()
    {
        step();
        reset();
    }
    void reset() { sqlite3_reset(m_statement); }
    int columns() const { return sqlite3_column_count(m_statement); }
    qint64 integerAt(int column) const { return sqlite3_column_int64(m_statement, column); }
    const char* textAt(int column) const
    {
        return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    }
    sqlite3_stmt* handle() const { return m_statement; }

private:
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            fail(sqlite3_sql(m_statement));
    }
    [[noreturn]] void fail(const char* sql)
    {
        throw std::runtime_error(std::string(sqlite3_errmsg(m_db)) + " in: " + (sql ? sql : ""));
    }
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// Runs statements that take no values and return no rows.
inline void rawExec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "";
        sqlite3_free(error);
        throw std::runtime_error(text + " in: " + sql);
    }
}
