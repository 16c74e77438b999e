#include "history/HistoryServerUrl.h"

#include "lang/LangQString.h"

#include <QSqlDatabase>
#include <QUrl>
#include <QUrlQuery>

namespace {

constexpr const char* NOT_URL = "###%1 is no address of a PostgreSQL server (postgresql://USER@HOST:PORT/DATABASE)"
                                "##%1 ist keine Adresse eines PostgreSQL-Servers (postgresql://BENUTZER@HOST:PORT/"
                                "DATENBANK)##%1 není adresa serveru PostgreSQL (postgresql://UŽIVATEL@HOST:PORT/"
                                "DATABÁZE)";
constexpr const char* PASSWORD = "###The address of the history server must not hold a password: put it in "
                                 "~/.pgpass or PGPASSWORD.##Die Adresse des Historienservers darf kein Passwort "
                                 "enthalten: tragen Sie es in ~/.pgpass oder PGPASSWORD ein.##Adresa serveru "
                                 "historie nesmí obsahovat heslo: uložte ho do ~/.pgpass nebo PGPASSWORD.";
constexpr const char* BAD_PARAMETER = "###The parameter %1 of the history server's address cannot be passed on."
                                      "##Der Parameter %1 der Adresse des Historienservers kann nicht weitergegeben "
                                      "werden.##Parametr %1 adresy serveru historie nelze předat.";
constexpr const char* SCHEMES[] = { "postgresql", "postgres" };

// A value in libpq's quotes; the driver turns ';' into the separator of its options.
QString Quoted(QString value)
{
    value.replace('\\', "\\\\").replace('\'', "\\'");
    return "'" + value + "'";
}

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool HistoryServerUrl::IsServerUrl(const QString& text)
{
    for (const char* scheme : SCHEMES)
        if (text.startsWith(QString(scheme) + "://", Qt::CaseInsensitive))
            return true;
    return false;
}

std::optional<HistoryServerUrl> HistoryServerUrl::Parse(const QString& text, QString* error)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!IsServerUrl(text) || !url.isValid()) {
        Fail(error, LangQString(NOT_URL).arg(text));
        return std::nullopt;
    }
    if (!url.password().isEmpty()) {
        Fail(error, LangQString(PASSWORD));
        return std::nullopt;
    }
    HistoryServerUrl server;
    server.user = url.userName();
    server.host = url.host();
    server.port = url.port(0);
    server.database = url.path().mid(1);
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key.isEmpty() || key.contains(';') || key.contains('=') || key.contains(' ') || value.contains(';')) {
            Fail(error, LangQString(BAD_PARAMETER).arg(key));
            return std::nullopt;
        }
        server.parameters.emplace_back(key, value);
    }
    return server;
}

QString HistoryServerUrl::Text() const
{
    const auto encoded = [](const QString& part) { return QString::fromUtf8(QUrl::toPercentEncoding(part)); };
    QString text = QString(SCHEMES[0]) + "://";
    if (!user.isEmpty())
        text += encoded(user) + "@";
    text += host.contains(':') ? "[" + host + "]" : host;
    if (port > 0)
        text += ":" + QString::number(port);
    text += "/" + encoded(database);
    QStringList query;
    for (const auto& [key, value] : parameters)
        query << encoded(key) + "=" + encoded(value);
    return query.isEmpty() ? text : text + "?" + query.join('&');
}

void HistoryServerUrl::Apply(QSqlDatabase& db) const
{
    db.setUserName(user);
    db.setHostName(host);
    db.setPort(port > 0 ? port : -1);
    db.setDatabaseName(database);
    QStringList options;
    bool timeout = false;
    for (const auto& [key, value] : parameters) {
        options << key + "=" + Quoted(value);
        timeout = timeout || key == "connect_timeout";
    }
    if (!timeout)
        options << QString("connect_timeout=%1").arg(CONNECT_TIMEOUT_S);
    db.setConnectOptions(options.join(';'));
}
