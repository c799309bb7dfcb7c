#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class Clock;
class QNetworkAccessManager;
class QNetworkReply;

// Logs the unit's default web user in before the browser opens the unit's
// pages: a GET of the login page, then a POST of the login form, each given
// about twenty seconds. Replies are not read and no HTTP status is judged:
// the requests only have to have been made. A request the HTTP client cannot
// make (no such host, the connection refused or cut) is a failure with the
// client's own description.
class UnitWebLogin {
public:
    UnitWebLogin(Clock& clock, QNetworkAccessManager& http);
    ~UnitWebLogin();
    UnitWebLogin(const UnitWebLogin&) = delete;
    UnitWebLogin& operator=(const UnitWebLogin&) = delete;

    static QUrl loginUrl(const QString& unitIp);
    static QUrl defaultPageUrl(const QString& unitIp);
    // The form of the units' default web user.
    static QByteArray loginForm();

    // Runs both requests; nullopt when they were made, else why not. Stops
    // early, quietly (nullopt), once abandoned() holds.
    std::optional<QString> run(const QString& unitIp, const std::function<bool()>& abandoned);

private:
    // The request started, or a description of why the client would not.
    std::optional<QString> start(bool post, const QString& unitIp);
    // Up to 200 turns of 100 ms while the request runs, then 300 ms more.
    void waitForReply(const std::function<bool()>& abandoned);
    std::optional<QString> failureOf(const QNetworkReply* reply) const;

    Clock& m_clock;
    QNetworkAccessManager& m_http;
    QPointer<QNetworkReply> m_reply;
    // A request that outlived its wait still runs; it goes with this object.
    QList<QPointer<QNetworkReply>> m_started;
};
