#include "core/catalogue/CatalogueUpdate.h"
#include "core/catalogue/UpdateFetcher.h"
#include "support/TestData.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::CatalogueUpdate::Problem;
namespace update = vbu::CatalogueUpdate;

class TestCatalogueUpdate : public QObject
{
    Q_OBJECT

private slots:
    void baseUrl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("base"); // empty: refused
        QTest::addColumn<QString>("version");
        QTest::newRow("host") << u"http://updates.example.org"_s << u"http://updates.example.org"_s
                              << u"http://updates.example.org/version.txt"_s;
        QTest::newRow("trailing slash") << u"http://updates.example.org/"_s << u"http://updates.example.org"_s
                                        << u"http://updates.example.org/version.txt"_s;
        QTest::newRow("path, slashes, port")
            << u"https://127.0.0.1:8443/vbu/lists//"_s << u"https://127.0.0.1:8443/vbu/lists"_s
            << u"https://127.0.0.1:8443/vbu/lists/version.txt"_s;
        QTest::newRow("encoded path") << u"http://h/a%20b"_s << u"http://h/a%20b"_s << u"http://h/a%20b/version.txt"_s;
        QTest::newRow("blanks around") << u"  http://h/x  "_s << u"http://h/x"_s << u"http://h/x/version.txt"_s;
        QTest::newRow("upper-case scheme") << u"HTTP://h"_s << u"http://h"_s << u"http://h/version.txt"_s;
        QTest::newRow("empty") << QString() << QString() << QString();
        QTest::newRow("no scheme") << u"updates.example.org"_s << QString() << QString();
        QTest::newRow("ftp") << u"ftp://h/lists"_s << QString() << QString();
        QTest::newRow("file") << u"file:///srv/lists"_s << QString() << QString();
        QTest::newRow("no host") << u"http:///lists"_s << QString() << QString();
        QTest::newRow("query") << u"http://h/lists?x=1"_s << QString() << QString();
        QTest::newRow("fragment") << u"http://h/lists#top"_s << QString() << QString();
        QTest::newRow("bad port") << u"http://h:99999"_s << QString() << QString();
    }

    void baseUrl()
    {
        QFETCH(QString, text);
        QFETCH(QString, base);
        QFETCH(QString, version);
        const std::optional<QUrl> url = update::parseBaseUrl(text);
        QCOMPARE(url.has_value(), !base.isEmpty());
        if (!url)
            return;
        QCOMPARE(url->toString(QUrl::FullyEncoded), base);
        QCOMPARE(update::documentUrl(*url, u"version.txt"_s).toString(QUrl::FullyEncoded), version);

        qputenv(update::urlVariable, text.toUtf8());
        QCOMPARE(update::baseUrlFromEnvironment(), url);
        qunsetenv(update::urlVariable);
        QCOMPARE(update::baseUrlFromEnvironment(), std::nullopt);
    }

    void versionBodies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Problem>("problem");
        QTest::newRow("plain") << QByteArray("1.3") << Problem::None;
        QTest::newRow("with line end") << QByteArray("1.3\r\n") << Problem::None;
        QTest::newRow("tab and Latin-1") << QByteArray("1.3\tb\xe9ta") << Problem::None;
        QTest::newRow("single blank") << QByteArray(" ") << Problem::None;
        QTest::newRow("255 bytes") << QByteArray(255, '9') << Problem::None;
        QTest::newRow("empty") << QByteArray("") << Problem::Empty;
        QTest::newRow("256 bytes") << QByteArray(256, '9') << Problem::TooLong;
        QTest::newRow("NUL") << QByteArray("1.\0003", 4) << Problem::Binary;
        QTest::newRow("escape") << QByteArray("1.3\x1b[0m") << Problem::Binary;
        QTest::newRow("DEL") << QByteArray("1.3\x7f") << Problem::Binary;
        QTest::newRow("long and binary") << QByteArray(300, '\0') << Problem::TooLong;
    }

    void versionBodies()
    {
        QFETCH(QByteArray, body);
        QFETCH(Problem, problem);
        QCOMPARE(update::checkVersion(body), problem);
        QCOMPARE(update::describe(problem).isEmpty(), problem == Problem::None);
    }

    void catalogueBodies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Problem>("problem");
        QTest::newRow("shipped list") << vbu::test::readAll(vbu::test::binDir() + u"/commands.dat"_s) << Problem::None;
        QTest::newRow("smallest") << QByteArray("{G}\r\n[S]\r\nc") << Problem::None;
        QTest::newRow("LF only, quotes") << QByteArray("//2\n{G}\n[S]\n\"say a, b\"\n") << Problem::None;
        QTest::newRow("empty") << QByteArray() << Problem::Empty;
        QTest::newRow("NUL in a command") << QByteArray("{G}\r\n[S]\r\nc\0d", 13) << Problem::Binary;
        QTest::newRow("web page") << QByteArray("<html><body>{x}</body></html>") << Problem::NoGroup;
        QTest::newRow("version only") << QByteArray("//1.4\r\n") << Problem::NoGroup;
        QTest::newRow("group only") << QByteArray("{G}\r\n") << Problem::NoSection;
        QTest::newRow("no command") << QByteArray("{G}\r\n[S]\r\n") << Problem::NoCommand;
        QTest::newRow("command before a section") << QByteArray("{G}\r\nc\r\n[S]\r\nd") << Problem::SkippedRecords;
        QTest::newRow("repeated group") << QByteArray("{G}\r\n[S]\r\nc\r\n{G}\r\n") << Problem::SkippedRecords;
        QTest::newRow("one-character section") << QByteArray("{G}\r\n[S]\r\nc\r\n[\r\n") << Problem::SkippedRecords;
    }

    void catalogueBodies()
    {
        QFETCH(QByteArray, body);
        QFETCH(Problem, problem);
        QCOMPARE(update::checkCatalogue(body), problem);
    }

    void saveWritesTheBodyAndALineEnd()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"commands.dat"_s);
        vbu::test::writeAll(path, "//1.3\r\n{Old}\r\n[S]\r\nold\r\n");
        QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QString error;
        QVERIFY(update::save(path, "//1.4\r\n{New}\r\n[S]\r\nnew", &error));
        QCOMPARE(vbu::test::readAll(path), QByteArray("//1.4\r\n{New}\r\n[S]\r\nnew\r\n"));
        // The replacement keeps the old file's permissions.
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
        QCOMPARE(QFile(path).permissions() & others, QFileDevice::ReadGroup);
        // A new file, too.
        QVERIFY(update::save(dir.filePath(u"fresh.dat"_s), "x", &error));
        QCOMPARE(vbu::test::readAll(dir.filePath(u"fresh.dat"_s)), QByteArray("x\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{u"commands.dat"_s, u"fresh.dat"_s}));
    }

    void saveFailureKeepsTheOldFile()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!update::save(dir.filePath(u"missing/commands.dat"_s), "x", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath(u"missing"_s)));
        // A folder where the file should be: the rename cannot replace it.
        QVERIFY(QDir(dir.path()).mkdir(u"commands.dat"_s));
        error.clear();
        QVERIFY(!update::save(dir.filePath(u"commands.dat"_s), "x", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(dir.filePath(u"commands.dat"_s)).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    void fetcherTimeoutFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("timeout");
        QTest::newRow("unset") << QByteArray() << 15000;
        QTest::newRow("set") << QByteArray("250") << 250;
        QTest::newRow("not a number") << QByteArray("soon") << 15000;
        QTest::newRow("huge") << QByteArray("99999999") << 600000;
    }

    void fetcherTimeoutFromTheEnvironment()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, timeout);
        if (value.isNull())
            qunsetenv(vbu::UpdateFetcher::timeoutVariable);
        else
            qputenv(vbu::UpdateFetcher::timeoutVariable, value);
        vbu::UpdateFetcher fetcher;
        qunsetenv(vbu::UpdateFetcher::timeoutVariable);
        QCOMPARE(fetcher.timeout(), timeout);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueUpdate)
#include "tst_catalogueupdate.moc"
