#pragma once

#include <QString>
#include <optional>

// Where a library on a PostgreSQL server lives. The password is never kept in
// a file of ours: libpq reads its own password file (~/.pgpass or PGPASSFILE)
// when `password` is empty; otherwise the program asks once at start.
struct ServerSettings {
    QString host;  // a host name, an address or a socket folder
    int port = 5432;
    QString dbname;
    QString user;
    QString sslmode = QStringLiteral("prefer");
    QString password;

    // How messages name the server: user@host:port/dbname.
    QString describe() const;

    // The [library] section of dat/library.ini: nullopt when the file is not
    // there or names another engine; *error is set (and nullopt returned)
    // when the file names the server but leaves out what is needed or holds
    // a port that is not one.
    static std::optional<ServerSettings> fromIni(const QString& path, QString* error);
    // libpq's words, as typed after --server: "host=… port=… dbname=… user=…
    // sslmode=…" (values without blanks, or in single quotes). nullopt and
    // *error on a word we do not know or a missing dbname.
    static std::optional<ServerSettings> fromWords(const QString& words, QString* error);
    // What each of our connections sets for its session (libpq's `options`
    // word): no JIT compiling, which the desk's short statements never repay
    // and which adds up to a tenth of a second to a large list's reading.
    static QString sessionOptions() { return QStringLiteral("-c jit=off"); }
    // Writes the [library] section (never the password).
    bool writeIni(const QString& path) const;
};
