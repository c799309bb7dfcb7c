#include "wizard/UnitWebLogin.h"

#include "net/Clock.h"
#include "session/modTrmTypes.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

namespace {
constexpr int kTurns = 200;
constexpr qint32 kTurnMs = 100;
constexpr qint32 kSettleMs = 300;

// A host the client can look for: a dotted address or a DNS name. Anything
// else ("Error!" after the unit refused its address) is no URL to try.
bool isHostName(const QString& host)
{
    static const QRegularExpression name(QStringLiteral(R"(^[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)"
                                                        R"((\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)*$)"));
    return host.size() <= 253 && name.match(host).hasMatch();
}
} // namespace

UnitWebLogin::UnitWebLogin(Clock& clock, QNetworkAccessManager& http)
    : m_clock(clock)
    , m_http(http)
{ }

UnitWebLogin::~UnitWebLogin()
{
    for (const QPointer<QNetworkReply>& reply : m_started) {
        if (reply) {
            reply->abort();
            reply->deleteLater();
        }
    }
}

QUrl UnitWebLogin::loginUrl(const QString& unitIp)
{
    return QUrl(QStringLiteral("http://") + unitIp + QStringLiteral("/login.asp"), QUrl::StrictMode);
}

QUrl UnitWebLogin::defaultPageUrl(const QString& unitIp)
{
    return QUrl(QStringLiteral("http://") + unitIp + QStringLiteral("/default.asp"), QUrl::StrictMode);
}

QByteArray UnitWebLogin::loginForm()
{
    return QByteArrayLiteral("username=username&password=zelvanok");
}

std::optional<QString> UnitWebLogin::run(const QString& unitIp, const std::function<bool()>& abandoned)
{
    if (std::optional<QString> refused = start(false, unitIp))
        return refused;
    waitForReply(abandoned);
    if (abandoned())
        return std::nullopt;
    if (std::optional<QString> failed = failureOf(m_reply))
        return failed;

    if (std::optional<QString> refused = start(true, unitIp))
        return refused;
    waitForReply(abandoned);
    if (abandoned())
        return std::nullopt;
    return failureOf(m_reply);
}

std::optional<QString> UnitWebLogin::start(bool post, const QString& unitIp)
{
    const QUrl url = loginUrl(unitIp);
    if (!url.isValid() || !isHostName(unitIp))
        return QStringLiteral("URL is malformed");
    QNetworkRequest request(url);
    // The unit answers at once or not at all; the wait below decides how long.
    request.setTransferTimeout(0);
    // Exactly the two requests: where the unit sends the browser after the
    // login is the browser's to follow.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (post) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
        m_reply = m_http.post(request, loginForm());
    } else {
        m_reply = m_http.get(request);
    }
    m_started << m_reply;
    return std::nullopt;
}

void UnitWebLogin::waitForReply(const std::function<bool()>& abandoned)
{
    // The first request is not stopped when its time is up; the second one
    // then goes out beside it.
    for (int c = 0; c < kTurns && m_reply && m_reply->isRunning() && !abandoned(); ++c) {
        m_clock.waitForEvents(m_clock.monotonicMs());
        modTrmTypes::WaitMs(m_clock, kTurnMs);
    }
    if (!abandoned())
        modTrmTypes::WaitMs(m_clock, kSettleMs);
}

std::optional<QString> UnitWebLogin::failureOf(const QNetworkReply* reply) const
{
    // Only what kept the request from being made counts; an answer of any
    // HTTP status, or none yet, does not.
    if (!reply || reply->isRunning())
        return std::nullopt;
    const QNetworkReply::NetworkError e = reply->error();
    if (e == QNetworkReply::NoError || e >= QNetworkReply::ContentAccessDenied)
        return std::nullopt;
    return reply->errorString();
}
