#include "UpdateServer.h"
#include "core/catalogue/Detect.h"
#include "core/catalogue/UpdateFetcher.h"
#include "gui/app/ToolWindowSwitch.h"
#include "gui/catalogue/CommandsWindow.h"
#include "gui/catalogue/UpdateWaitDialog.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using vbu::CommandsWindow;
using vbu::Prompter;
using vbu::UpdateFetcher;
using vbu::test::UpdateServer;
using Route = UpdateServer::Route;

namespace {

const QByteArray local = "//1.3\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n";
const QByteArray remote =
    "//1.4\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n[Shotgun]\r\nimpulse 2\r\n{Moves}\r\n[Jump]\r\n+jump";

const QString offerText =
    u"Your version is older than the one currently available.\r\nWould you like to download the new version?"_s;

struct Fixture
{
    explicit Fixture(const QByteArray &catalogue = local, const QString &folder = {})
    {
        const QString dir = folder.isEmpty() ? h.dir.path() : h.path(folder);
        QDir().mkpath(dir);
        h.window->setCataloguePath(dir + u"/commands.dat"_s);
        vbu::test::writeAll(h.window->cataloguePath(), catalogue);
        server.listen();
    }
    // Serves url's base; the window reads the variable when it loads.
    CommandsWindow *open(const QString &base)
    {
        qputenv("VBU_UPDATE_URL", base.toUtf8());
        h.window->mnuCommandList_Click();
        return qobject_cast<CommandsWindow *>(h.window->commandListSwitch().window());
    }
    CommandsWindow *open() { return open(server.url().toString()); }
    QByteArray file() const { return vbu::test::readAll(h.window->cataloguePath()); }
    QList<Prompter::Message> messages() const
    {
        QList<Prompter::Message> out;
        for (const auto &a : h.prompter.asked)
            out.append(a.message);
        return out;
    }

    vbu::test::MainWindowHarness h;
    UpdateServer server;
};

void compareMessage(const Prompter::Message &m, const QString &title, const QString &text, Prompter::Icon icon,
                    Prompter::Buttons buttons = Prompter::Ok, Prompter::Button defaultButton = Prompter::Ok)
{
    QCOMPARE(m.title, title);
    QCOMPARE(m.text, text);
    QCOMPARE(m.icon, icon);
    QCOMPARE(m.buttons, buttons);
    QCOMPARE(m.defaultButton, defaultButton);
}

Route stream()
{
    return Route{Route::Stream, 200, {}, {}, false, {}};
}

} // namespace

Q_DECLARE_METATYPE(Route)

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        vbu::Detect::setOverride([] { return true; });
        // No test here waits this long; a broken one fails instead of hanging.
        qputenv("VBU_UPDATE_TIMEOUT_MS", "5000");
    }

    void cleanup()
    {
        vbu::Detect::setOverride({});
        qunsetenv("VBU_UPDATE_URL");
        qunsetenv("VBU_UPDATE_TIMEOUT_MS");
    }

    void offeredOnlyWithAServer_data()
    {
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("unset") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray("") << false;
        QTest::newRow("not a url") << QByteArray("update server") << false;
        QTest::newRow("ftp") << QByteArray("ftp://127.0.0.1/lists") << false;
        QTest::newRow("http") << QByteArray("http://127.0.0.1:8080") << true;
        QTest::newRow("https with path and slash") << QByteArray("https://updates.example.org/vbu/") << true;
    }

    void offeredOnlyWithAServer()
    {
        QFETCH(QByteArray, url);
        QFETCH(bool, enabled);
        Fixture f;
        if (url.isNull())
            qunsetenv("VBU_UPDATE_URL");
        else
            qputenv("VBU_UPDATE_URL", url);
        f.h.window->mnuCommandList_Click();
        auto *w = qobject_cast<CommandsWindow *>(f.h.window->commandListSwitch().window());
        QCOMPARE(w->mnuCheck()->isEnabled(), enabled);
        if (!enabled) {
            // Even called directly while off, it neither asks nor sends anything.
            w->mnuCheck()->trigger();
            w->mnuCheck_Click();
            QVERIFY(f.h.prompter.asked.isEmpty());
        }
    }

    void versionsCompareAsWholeStrings_data()
    {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("current");
        QTest::newRow("same") << local << QByteArray("1.3") << true;
        QTest::newRow("older on the server") << local << QByteArray("1.2") << false;
        QTest::newRow("newer on the server") << local << QByteArray("1.4") << false;
        QTest::newRow("line end from the server") << local << QByteArray("1.3\r\n") << false;
        QTest::newRow("case") << QByteArray("//v1.3\r\n{A}\r\n") << QByteArray("V1.3") << false;
        QTest::newRow("no version line") << QByteArray("{A}\r\n[S]\r\nx\r\n") << QByteArray("1.0") << false;
        QTest::newRow("high bytes") << QByteArray("//1.3\xe9\r\n") << QByteArray("1.3\xe9") << true;
    }

    void versionsCompareAsWholeStrings()
    {
        QFETCH(QByteArray, catalogue);
        QFETCH(QByteArray, version);
        QFETCH(bool, current);
        Fixture f(catalogue);
        f.server.answer("/version.txt", version);
        CommandsWindow *w = f.open();
        f.h.prompter.answerMessage(current ? Prompter::Ok : Prompter::No);
        w->mnuCheck()->trigger();

        QCOMPARE(f.h.prompter.asked.size(), 1);
        if (current)
            compareMessage(f.h.prompter.last().message, u"Current Version Installed"_s,
                           u"Your command list is current and does not need to be updated."_s,
                           Prompter::Icon::Information);
        else
            compareMessage(f.h.prompter.last().message, u"Update Available!"_s, offerText, Prompter::Icon::Exclamation,
                           Prompter::Yes | Prompter::No, Prompter::Yes);
        QCOMPARE(f.server.requests, QByteArrayList{"/version.txt"});
        QCOMPARE(f.file(), catalogue);
        QVERIFY(w->mnuCheck()->isEnabled());
    }

    void yesReplacesTheFileAndLeavesTheWindowAsLoaded()
    {
        Fixture f;
        f.server.answer("/lists/version.txt", "1.4");
        f.server.answer("/lists/commands.dat", remote);
        // The trailing slash of the variable is dropped.
        CommandsWindow *w = f.open(f.server.url(u"/lists/"_s).toString());
        f.h.prompter.answerMessage(Prompter::Yes);
        f.h.prompter.answerMessage(Prompter::Ok);
        w->mnuCheck()->trigger();

        QCOMPARE(f.server.requests, (QByteArrayList{"/lists/version.txt", "/lists/commands.dat"}));
        const auto asked = f.messages();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.at(0).title, u"Update Available!"_s);
        compareMessage(asked.at(1), u"Kelmforge Update Util"_s, u"Update Completed Successfully!"_s,
                       Prompter::Icon::Information);
        QCOMPARE(f.file(), remote + "\r\n");
        QCOMPARE(QDir(f.h.dir.path()).entryList(QDir::Files), QStringList{u"commands.dat"_s});
        // Not reloaded: a second check still compares with 1.3 and offers again.
        QCOMPARE(w->windowTitle(), u"Command List - v1.3"_s);
        QCOMPARE(w->CatalogueVersion(), u"1.3"_s);
        QCOMPARE(w->TreeView1()->topLevelItemCount(), 1);
        f.h.prompter.answerMessage(Prompter::No);
        w->mnuCheck()->trigger();
        QCOMPARE(f.h.prompter.last().message.title, u"Update Available!"_s);
        QCOMPARE(f.h.prompter.unexpected, 0);
        // The next opening reads the new list.
        f.h.window->mnuCommandList_Click();
        w = f.open(f.server.url(u"/lists"_s).toString());
        QCOMPARE(w->windowTitle(), u"Command List - v1.4"_s);
        QCOMPARE(w->TreeView1()->topLevelItemCount(), 2);
    }

    void notConnectedStopsBeforeAnyTransfer()
    {
        Fixture f;
        vbu::Detect::setOverride([] { return false; });
        f.server.answer("/version.txt", "1.4");
        CommandsWindow *w = f.open();
        f.h.prompter.answerMessage(Prompter::Ok);
        w->mnuCheck()->trigger();
        QCOMPARE(f.h.prompter.asked.size(), 1);
        compareMessage(f.h.prompter.last().message, u"Error: Not Connected"_s,
                       u"You must connect to the internet before checking for updates."_s, Prompter::Icon::Critical);
        QVERIFY(f.server.requests.isEmpty());
    }

    void followsRedirectsThatKeepTheScheme()
    {
        Fixture f;
        f.server.route("/old/version.txt", Route{Route::Answer, 301, {}, {"Location: /new/version.txt"}, true, {}});
        f.server.route(
            "/new/version.txt",
            Route{Route::Answer, 302, {}, {"Location: " + f.server.url(u"/version.txt"_s).toEncoded()}, true, {}});
        f.server.answer("/version.txt", "1.3");
        CommandsWindow *w = f.open(f.server.url(u"/old"_s).toString());
        f.h.prompter.answerMessage(Prompter::Ok);
        w->mnuCheck()->trigger();
        QCOMPARE(f.server.requests, (QByteArrayList{"/old/version.txt", "/new/version.txt", "/version.txt"}));
        QCOMPARE(f.h.prompter.last().message.title, u"Current Version Installed"_s);
    }

    // Every failure is reported with what went wrong and leaves commands.dat as it was.
    void failuresLeaveTheFileAlone_data()
    {
        QTest::addColumn<QString>("base");       // "" for the test server
        QTest::addColumn<QByteArray>("timeout"); // milliseconds, "" for the fixture's
        QTest::addColumn<Route>("version");
        QTest::addColumn<Route>("list"); // status 0: the download is not offered
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("says");

        const Route none{Route::Answer, 0, {}, {}, true, {}};
        const Route newer{Route::Answer, 200, "1.4", {}, true, {}};
        const Route hold{Route::Hold, 200, {}, {}, true, {}};
        const QString download = u"Error: Download Failed"_s;
        const QString invalid = u"Error: Invalid Update"_s;
        auto answer = [](const QByteArray &body, int status = 200) {
            return Route{Route::Answer, status, body, {}, true, {}};
        };
        auto announced = [](qint64 length, const QByteArray &body) {
            return Route{Route::Answer, 200, body, {"Content-Length: " + QByteArray::number(length)}, false, {}};
        };

        QTest::newRow("version 404") << QString() << QByteArray() << answer("gone", 404) << none << download
                                     << u"status 404 (Not Found)"_s;
        QTest::newRow("version time-out")
            << QString() << QByteArray("150") << hold << none << download << u"did not answer within 0.15 seconds"_s;
        QTest::newRow("refused") << u"http://127.0.0.1:%1"_s.arg(UpdateServer::deadPort()) << QByteArray() << none
                                 << none << download << u"Connection refused"_s;
        QTest::newRow("redirect loop") << QString() << QByteArray()
                                       << Route{Route::Answer, 302, {}, {"Location: /version.txt"}, true, {}} << none
                                       << download << u"go round in a circle"_s;
        QTest::newRow("too many redirects")
            << QString() << QByteArray() << Route{Route::Answer, 302, {}, {"Location: /hop1"}, true, {}} << none
            << download << u"on more than 5 times"_s;
        QTest::newRow("redirect to https")
            << QString() << QByteArray() << Route{Route::Answer, 301, {}, {"Location: https://127.0.0.1:1/v"}, true, {}}
            << none << download << u"which leaves http"_s;
        QTest::newRow("version streams past the limit")
            << QString() << QByteArray() << stream() << none << download << u"larger than 4 MiB"_s;
        QTest::newRow("version announced past the limit")
            << QString() << QByteArray() << announced(5 * 1024 * 1024, "1.4") << none << download
            << u"larger than 4 MiB"_s;
        QTest::newRow("version binary") << QString() << QByteArray() << answer("1.4\x1b[0m") << none << invalid
                                        << u"do not belong in a text file"_s;
        QTest::newRow("list time-out") << QString() << QByteArray("150") << newer << hold << download
                                       << u"did not answer within 0.15 seconds"_s;
        QTest::newRow("list streams past the limit")
            << QString() << QByteArray() << newer << stream() << download << u"larger than 4 MiB"_s;
        QTest::newRow("list cut short") << QString() << QByteArray() << newer << announced(500, remote) << download
                                        << u"The transfer broke off"_s;
        QTest::newRow("list is a web page")
            << QString() << QByteArray() << newer << answer("<html><body>Moved, see {here}</body></html>") << invalid
            << u"no group"_s;
        QTest::newRow("https to a plain server")
            << u"https"_s << QByteArray() << newer << none << download << u"The connection failed"_s;
    }

    void failuresLeaveTheFileAlone()
    {
        QFETCH(QString, base);
        QFETCH(QByteArray, timeout);
        QFETCH(Route, version);
        QFETCH(Route, list);
        QFETCH(QString, title);
        QFETCH(QString, says);
        Fixture f;
        if (!timeout.isEmpty())
            qputenv("VBU_UPDATE_TIMEOUT_MS", timeout);
        f.server.route("/version.txt", version);
        for (int hop = 1; hop <= 10; ++hop)
            f.server.route("/hop" + QByteArray::number(hop),
                           Route{Route::Answer, 302, {}, {"Location: /hop" + QByteArray::number(hop + 1)}, true, {}});
        const bool offered = list.status != 0;
        if (offered)
            f.server.route("/commands.dat", list);
        if (base == "https"_L1)
            base = f.server.url().toString().replace(u"http:"_s, u"https:"_s);
        CommandsWindow *w = f.open(base.isEmpty() ? f.server.url().toString() : base);
        if (offered)
            f.h.prompter.answerMessage(Prompter::Yes);
        f.h.prompter.answerMessage(Prompter::Ok);
        w->mnuCheck()->trigger();

        const auto asked = f.messages();
        QCOMPARE(asked.size(), offered ? 2 : 1);
        const Prompter::Message &m = asked.constLast();
        QCOMPARE(m.title, title);
        QVERIFY2(m.text.contains(says), qPrintable(m.text));
        QVERIFY2(m.text.endsWith(u"\r\nYour command list was not changed."_s), qPrintable(m.text));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(m.buttons, Prompter::Buttons(Prompter::Ok));
        QCOMPARE(f.h.prompter.unexpected, 0);
        QCOMPARE(f.file(), local);
        QCOMPARE(QDir(f.h.dir.path()).entryList(QDir::Files), QStringList{u"commands.dat"_s});
        QVERIFY(w->mnuCheck()->isEnabled());
        if (QByteArrayView(QTest::currentDataTag()) == "too many redirects")
            QCOMPARE(f.server.requests.size(), 1 + UpdateFetcher::maxRedirects);
        if (version.kind == Route::Stream || list.kind == Route::Stream) {
            // The client hung up long before the server ran out of bytes to send.
            QTRY_VERIFY(f.server.clientLeftStream);
            QVERIFY2(f.server.streamed < UpdateServer::streamCap / 2,
                     QByteArray::number(f.server.streamed).constData());
        }
    }

    // The system's trust decides; the test authority is trusted only in the first row.
    void httpsNeedsATrustedCertificate_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::newRow("trusted") << true;
        QTest::newRow("unknown authority") << false;
    }

    void httpsNeedsATrustedCertificate()
    {
        QFETCH(bool, trusted);
        const QSslConfiguration system = QSslConfiguration::defaultConfiguration();
        const auto restore = qScopeGuard([&] { QSslConfiguration::setDefaultConfiguration(system); });
        if (trusted) {
            QSslConfiguration config = system;
            config.addCaCertificates(QSslCertificate::fromPath(vbu::test::dataPath(u"catalogue/tls/ca.pem"_s)));
            QSslConfiguration::setDefaultConfiguration(config);
        }
        Fixture f;
        UpdateServer secure(true);
        QVERIFY(secure.listen());
        secure.answer("/version.txt", "1.4");
        secure.answer("/commands.dat", remote);
        CommandsWindow *w = f.open(secure.url().toString());
        if (trusted)
            f.h.prompter.answerMessage(Prompter::Yes);
        f.h.prompter.answerMessage(Prompter::Ok);
        w->mnuCheck()->trigger();

        QCOMPARE(f.h.prompter.unexpected, 0);
        const Prompter::Message &m = f.h.prompter.last().message;
        if (trusted) {
            QCOMPARE(m.title, u"Kelmforge Update Util"_s);
            QCOMPARE(secure.requests, (QByteArrayList{"/version.txt", "/commands.dat"}));
            QCOMPARE(f.file(), remote + "\r\n");
        } else {
            QCOMPARE(m.title, u"Error: Download Failed"_s);
            QVERIFY2(m.text.contains(u"certificate"_s, Qt::CaseInsensitive), qPrintable(m.text));
            QVERIFY(secure.requests.isEmpty());
            QCOMPARE(f.file(), local);
        }
    }

    void cancelEndsTheWaitQuietly()
    {
        Fixture f;
        QPointer<vbu::UpdateWaitDialog> box;
        QString shown;
        bool modal = false;
        f.server.route("/version.txt",
                       Route{Route::Hold, 200, {}, {}, true, [&] {
                                 box = f.h.window->commandListSwitch().window()->findChild<vbu::UpdateWaitDialog *>(
                                     u"dlgUpdateWait"_s);
                                 QVERIFY(box);
                                 shown = box->lblStatus()->text();
                                 modal = box->isVisible() && box->isModal();
                                 box->cmdCancel()->click();
                             }});
        qputenv("VBU_UPDATE_TIMEOUT_MS", "600000");
        CommandsWindow *w = f.open();
        w->mnuCheck()->trigger();
        QCOMPARE(shown, u"Checking for list updates..."_s);
        QVERIFY(modal);
        QVERIFY(!box);
        QVERIFY(f.h.prompter.asked.isEmpty());
        QCOMPARE(f.file(), local);
        QVERIFY(w->mnuCheck()->isEnabled());
    }

    void unwritableCatalogueIsReported()
    {
        // The folder goes away while the window is open.
        Fixture f(local, u"program"_s);
        f.server.answer("/version.txt", "1.4");
        f.server.answer("/commands.dat", remote);
        CommandsWindow *w = f.open();
        QVERIFY(QDir(f.h.dir.path()).rename(u"program"_s, u"moved"_s));
        f.h.prompter.answerMessage(Prompter::Yes);
        f.h.prompter.answerMessage(Prompter::Ok);
        w->mnuCheck()->trigger();
        const Prompter::Message &m = f.h.prompter.last().message;
        QCOMPARE(m.title, u"Error: Update Not Saved"_s);
        QVERIFY2(m.text.startsWith(u"The new command list could not be written to "_s + w->cataloguePath()),
                 qPrintable(m.text));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(vbu::test::readAll(f.h.path(u"moved/commands.dat"_s)), local);
        QVERIFY(!QDir(f.h.path(u"program"_s)).exists());
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
