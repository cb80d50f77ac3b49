#include "LibraryRun.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <optional>

#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/ServerSettings.h"
#include "core/logic/StoreError.h"

namespace LibraryRun {

bool open(const QString& dir, const QString& serverWords, QString* error)
{
    const QString ini = QDir(dir).filePath(QStringLiteral("dat/library.ini"));
    std::optional<ServerSettings> server;
    if (!serverWords.isEmpty())
        server = ServerSettings::fromWords(serverWords, error);
    else if (QFileInfo::exists(ini))
        server = ServerSettings::fromIni(ini, error);
    else
        return Database::open(QDir(dir).filePath(AppInfo::kDatabaseFile), error);
    return server && Database::openServer(*server, error);
}

int run(const QString& dir, const QString& serverWords, QTextStream& err, const std::function<int()>& work)
{
    QString error;
    if (!open(dir, serverWords, &error)) {
        err << error << '\n';
        return 1;
    }
    int code = 1;
    try {
        code = work();
    } catch (const StoreError& e) {
        err << e.message() << '\n';
    }
    Database::close();
    return code;
}

}  // namespace LibraryRun
