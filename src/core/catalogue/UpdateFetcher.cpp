#include "core/catalogue/UpdateFetcher.h"

#include "core/app/AppInfo.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// The reply is read as it comes, so no more than this waits unread at any time.
constexpr qint64 readChunk = 64 * 1024;
constexpr int maxTimeoutMs = 10 * 60 * 1000;

QString tooLarge()
{
    return u"The answer is larger than %1 MiB."_s.arg(UpdateFetcher::maxBodySize / (1024 * 1024));
}

QString secondsText(int milliseconds)
{
    return milliseconds == 1000 ? u"1 second"_s : u"%1 seconds"_s.arg(milliseconds / 1000.0);
}

bool isRedirection(int code)
{
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

} // namespace

UpdateFetcher::UpdateFetcher(QObject *parent) : QObject(parent), m_timeout(defaultTimeoutMs)
{
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue(timeoutVariable, &ok);
    if (ok)
        setTimeout(fromEnvironment);
}

UpdateFetcher::~UpdateFetcher() = default;

void UpdateFetcher::setTimeout(int milliseconds)
{
    if (milliseconds > 0)
        m_timeout = qMin(milliseconds, maxTimeoutMs);
}

// Redirections are followed here rather than by the network access manager: each hop is a
// request of its own, so the scheme, loops and the count are checked before anything is sent.
UpdateFetcher::Result UpdateFetcher::fetch(const QUrl &url)
{
    if (m_busy)
        return Result{Result::Status::Cancelled, {}, u"Another transfer is under way."_s, 0};
    m_busy = true;
    m_failure.reset();
    const auto done = qScopeGuard([this] {
        m_busy = false;
        m_failure.reset();
    });

    // Runs only inside get()'s wait, where a request is under way.
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this] {
        fail(Result::Status::TimedOut, u"The server did not answer within "_s + secondsText(m_timeout) + u'.');
    });
    timer.start(m_timeout);

    QList<QUrl> visited{url};
    for (;;) {
        QUrl target;
        Result result = get(visited.constLast(), &target);
        if (target.isEmpty())
            return result;
        if (target.scheme() != url.scheme())
            return Result{Result::Status::RedirectScheme,
                          {},
                          u"The server sent the request on to "_s + target.toDisplayString() + u", which leaves "_s +
                              url.scheme() + u"; such redirections are not followed."_s,
                          result.httpCode};
        if (visited.contains(target))
            return Result{Result::Status::RedirectLoop,
                          {},
                          u"The server's redirections go round in a circle."_s,
                          result.httpCode};
        if (visited.size() > maxRedirects)
            return Result{Result::Status::TooManyRedirects,
                          {},
                          u"The server sent the request on more than %1 times."_s.arg(maxRedirects),
                          result.httpCode};
        visited.append(target);
    }
}

UpdateFetcher::Result UpdateFetcher::get(const QUrl &url, QUrl *location)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    // The bodies are small text; asking for them unpacked keeps the size limit a limit on bytes.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setHeader(QNetworkRequest::UserAgentHeader, QString(u"vbu/"_s + AppInfo::versionText()));

    QEventLoop loop;
    const std::unique_ptr<QNetworkReply> reply(m_manager.get(request));
    m_reply = reply.get();
    m_body.clear();
    const auto done = qScopeGuard([this] {
        m_reply = nullptr;
        m_body.clear();
    });
    reply->setReadBufferSize(readChunk);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &UpdateFetcher::checkLength);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateFetcher::take);
    connect(m_reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    if (!reply->isFinished()) {
        // The loop was ended from outside, the application closing.
        disconnect(m_reply, nullptr, this, nullptr);
        reply->abort();
        if (!m_failure)
            m_failure = Result{Result::Status::Cancelled, {}, u"The transfer was cancelled."_s, 0};
    }
    return finish(url, location);
}

UpdateFetcher::Result UpdateFetcher::finish(const QUrl &url, QUrl *location)
{
    if (!m_failure)
        take();
    if (m_failure)
        return *m_failure;

    const QVariant code = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    Result result{Result::Status::Ok, {}, {}, code.toInt()};
    const QNetworkReply::NetworkError error = m_reply->error();
    if (!code.isValid()) {
        result.status = Result::Status::ConnectionFailed;
        result.error = u"The connection failed: "_s + m_reply->errorString() + u'.';
    } else if (isRedirection(result.httpCode) && m_reply->hasRawHeader("Location")) {
        *location = url.resolved(QUrl::fromEncoded(m_reply->rawHeader("Location")));
    } else if (result.httpCode < 200 || result.httpCode > 299) {
        result.status = Result::Status::HttpStatus;
        const QString reason =
            QString::fromLatin1(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
        result.error = u"The server answered with status %1"_s.arg(result.httpCode) +
                       (reason.isEmpty() ? QString() : u" ("_s + reason + u')') + u'.';
    } else if (error != QNetworkReply::NoError) {
        result.status = Result::Status::ConnectionFailed;
        result.error = u"The transfer broke off: "_s + m_reply->errorString() + u'.';
    } else if (const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
               length.isValid() && length.toLongLong() != m_body.size()) {
        result.status = Result::Status::Incomplete;
        result.error =
            u"The answer ended after %1 of the %2 bytes announced."_s.arg(m_body.size()).arg(length.toLongLong());
    } else {
        result.body = std::move(m_body);
    }
    return result;
}

void UpdateFetcher::cancel()
{
    fail(Result::Status::Cancelled, u"The transfer was cancelled."_s);
}

void UpdateFetcher::fail(Result::Status status, const QString &error)
{
    if (!m_reply || m_failure || m_reply->isFinished())
        return;
    m_failure = Result{status, {}, error, m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()};
    // Ends the request at once and, through finished(), the wait.
    m_reply->abort();
}

void UpdateFetcher::checkLength()
{
    // An announced size over the limit is refused before a byte of the body is read.
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > maxBodySize)
        fail(Result::Status::TooLarge, tooLarge());
}

void UpdateFetcher::take()
{
    while (!m_failure && m_reply->bytesAvailable() > 0) {
        m_body.append(m_reply->read(readChunk));
        if (m_body.size() > maxBodySize)
            fail(Result::Status::TooLarge, tooLarge());
    }
}

} // namespace vbu

#include "moc_UpdateFetcher.cpp"
