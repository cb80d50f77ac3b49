#include "core/logic/ServerSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kSection = QStringLiteral("library/");

bool validPort(int port)
{
    return port > 0 && port < 65536;
}

}  // namespace

QString ServerSettings::describe() const
{
    const QString where = host.isEmpty() ? QStringLiteral("localhost") : host;
    return QStringLiteral("%1@%2:%3/%4").arg(user.isEmpty() ? QStringLiteral("(默认用户)") : user, where,
                                           QString::number(port), dbname);
}

std::optional<ServerSettings> ServerSettings::fromIni(const QString& path, QString* error)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        *error = QStringLiteral("无法读取 %1").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    if (ini.value(kSection + QStringLiteral("engine")).toString().compare(QLatin1String("postgresql"),
                                                                           Qt::CaseInsensitive) != 0)
        return std::nullopt;
    ServerSettings settings;
    settings.host = ini.value(kSection + QStringLiteral("host")).toString();
    settings.dbname = ini.value(kSection + QStringLiteral("dbname")).toString();
    settings.user = ini.value(kSection + QStringLiteral("user")).toString();
    settings.sslmode = ini.value(kSection + QStringLiteral("sslmode"), settings.sslmode).toString();
    bool ok = true;
    const QVariant port = ini.value(kSection + QStringLiteral("port"));
    if (port.isValid())
        settings.port = port.toString().toInt(&ok);
    if (!ok || !validPort(settings.port)) {
        *error = QStringLiteral("%1 中的端口 \"%2\" 不是有效的端口号")
                     .arg(QDir::toNativeSeparators(path), port.toString());
        return std::nullopt;
    }
    if (settings.dbname.isEmpty()) {
        *error = QStringLiteral("%1 中没有写明数据库名 (dbname)").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    return settings;
}

std::optional<ServerSettings> ServerSettings::fromWords(const QString& words, QString* error)
{
    ServerSettings settings;
    qsizetype i = 0;
    const qsizetype n = words.size();
    while (i < n) {
        while (i < n && words[i].isSpace())
            ++i;
        if (i >= n)
            break;
        const qsizetype equals = words.indexOf(QLatin1Char('='), i);
        if (equals < 0) {
            *error = QStringLiteral("无法理解服务器参数 \"%1\"").arg(words.mid(i));
            return std::nullopt;
        }
        const QString key = words.mid(i, equals - i).trimmed();
        i = equals + 1;
        QString value;
        if (i < n && words[i] == QLatin1Char('\'')) {
            for (++i; i < n && words[i] != QLatin1Char('\''); ++i) {
                if (words[i] == QLatin1Char('\\') && i + 1 < n)
                    ++i;
                value.append(words[i]);
            }
            ++i;
        } else {
            while (i < n && !words[i].isSpace())
                value.append(words[i++]);
        }
        bool ok = true;
        if (key == QLatin1String("host"))
            settings.host = value;
        else if (key == QLatin1String("port"))
            settings.port = value.toInt(&ok);
        else if (key == QLatin1String("dbname"))
            settings.dbname = value;
        else if (key == QLatin1String("user"))
            settings.user = value;
        else if (key == QLatin1String("sslmode"))
            settings.sslmode = value;
        else
            ok = false;
        if (!ok || !validPort(settings.port)) {
            *error = QStringLiteral("无法理解服务器参数 %1=%2 (可用: host port dbname user sslmode)").arg(key, value);
            return std::nullopt;
        }
    }
    if (settings.dbname.isEmpty()) {
        *error = QStringLiteral("服务器参数中没有数据库名 (dbname=…)");
        return std::nullopt;
    }
    return settings;
}

bool ServerSettings::writeIni(const QString& path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(kSection + QStringLiteral("engine"), QStringLiteral("postgresql"));
    ini.setValue(kSection + QStringLiteral("host"), host);
    ini.setValue(kSection + QStringLiteral("port"), port);
    ini.setValue(kSection + QStringLiteral("dbname"), dbname);
    ini.setValue(kSection + QStringLiteral("user"), user);
    ini.setValue(kSection + QStringLiteral("sslmode"), sslmode);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
