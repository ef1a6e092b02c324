#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkReply;

namespace vbu {

// One HTTP GET at a time for the update check, waited for in a local event loop: the caller gets
// the whole body back, while windows keep painting and a Cancel button can still be pressed.
// A transfer ends by itself with its answer, a failure, the time-out, or cancel().
//
// Ok means whole only as far as the transfer can tell: a body sent without a length ends with
// the connection, and the network layer reads a reset there as that same end (as it does, at
// times, a chunked body broken off inside a chunk). What the body holds must show the rest, as
// CatalogueUpdate::checkCatalogue does for the catalogue.
//
//   UpdateFetcher fetcher;                       // time-out from VBU_UPDATE_TIMEOUT_MS, else 15 s
//   UpdateFetcher::Result r = fetcher.fetch(url);
//   if (r.ok()) use(r.body); else report(r.error);
class UpdateFetcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpdateFetcher)

public:
    static constexpr int defaultTimeoutMs = 15000;
    // Milliseconds; overrides the default when it holds a positive number.
    static constexpr char timeoutVariable[] = "VBU_UPDATE_TIMEOUT_MS";
    // A catalogue of the largest size the reader takes stays well below this.
    static constexpr qint64 maxBodySize = 4 * 1024 * 1024;
    // Redirections followed for one document; each must keep the scheme.
    static constexpr int maxRedirects = 5;

    struct Result
    {
        enum class Status {
            Ok,
            Cancelled,
            TimedOut,
            ConnectionFailed, // no answer: refused, unknown host, TLS handshake, broken off early
            HttpStatus,       // an answer other than 2xx
            RedirectLoop,
            TooManyRedirects,
            RedirectScheme, // a redirection to another scheme (https to http, or the reverse)
            TooLarge,
            Incomplete // fewer bytes than the server announced
        };
        Status status = Status::Cancelled;
        QByteArray body;  // the whole body, with Ok only
        QString error;    // one sentence for the user, unless Ok
        int httpCode = 0; // the last status the server sent, 0 before any
        bool ok() const { return status == Status::Ok; }
    };

    explicit UpdateFetcher(QObject *parent = nullptr);
    ~UpdateFetcher() override;

    int timeout() const { return m_timeout; }
    void setTimeout(int milliseconds);

    // GET of url, following up to maxRedirects same-scheme redirections; the time-out counts
    // for the whole of it. Not re-entrant: a call while another runs is Cancelled at once.
    Result fetch(const QUrl &url);
    bool isFetching() const { return m_busy; }

public slots:
    // Ends the running transfer as Cancelled; nothing when none runs.
    void cancel();

private:
    // One request, without following a redirection: its target comes back in location.
    Result get(const QUrl &url, QUrl *location);
    Result finish(const QUrl &url, QUrl *location);
    void fail(Result::Status status, const QString &error);
    void checkLength();
    void take();

    QNetworkAccessManager m_manager;
    int m_timeout;
    bool m_busy = false;
    // The request under way, and what has come of it so far.
    QNetworkReply *m_reply = nullptr;
    QByteArray m_body;
    std::optional<Result> m_failure;
};

} // namespace vbu
