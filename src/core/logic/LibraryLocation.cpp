#include "core/logic/LibraryLocation.h"

#include <QDir>

#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/Prompter.h"

namespace LibraryLocation {

namespace {

// The password the clerk typed at start; never written anywhere.
QString s_password;

// libpq's words when the server asks for a password and none was given.
bool wantsPassword(const QString& error)
{
    return error.contains(QLatin1String("no password supplied"));
}

}  // namespace

std::optional<ServerSettings> server(const QString& dataDir, QString* error)
{
    return ServerSettings::fromIni(QDir(dataDir).filePath(kServerFile), error);
}

bool prepare(const QString& dataDir, Prompter& prompter, QString* error)
{
    QString reason;
    std::optional<ServerSettings> settings = server(dataDir, &reason);
    if (!settings) {
        if (error)
            *error = reason;
        return reason.isEmpty();
    }
    settings->password = s_password;
    if (!Database::openServer(*settings, &reason) && wantsPassword(reason)) {
        const QString typed = prompter.secret(
            QStringLiteral("请输入数据库服务器 %1 的密码:").arg(settings->describe()), AppInfo::kAppTitle);
        if (typed.isEmpty()) {
            reason = QStringLiteral("无法连接数据库服务器 %1\n没有输入密码").arg(settings->describe());
        } else {
            settings->password = typed;
            reason.clear();
            if (Database::openServer(*settings, &reason))
                s_password = typed;
        }
    }
    Database::close();
    if (error)
        *error = reason;
    return reason.isEmpty();
}

bool open(const QString& dataDir, QString* error)
{
    QString reason;
    std::optional<ServerSettings> settings = server(dataDir, &reason);
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    if (!settings)
        return Database::open(QDir(dataDir).filePath(AppInfo::kDatabaseFile), error);
    settings->password = s_password;
    return Database::openServer(*settings, error);
}

void forget()
{
    s_password.clear();
}

}  // namespace LibraryLocation
