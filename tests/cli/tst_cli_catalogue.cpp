#include "support/TestData.h"

#include "cli/Cli.h"
#include "core/app/AppInfo.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList &args)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    vbu::cli::Io io{out, err};
    Run r;
    r.code = vbu::cli::run(args, io);
    r.out = out.data();
    r.err = err.data();
    return r;
}

QByteArray missingMessage()
{
    return "Critical System File could not be found.Please reinstall and try again.\n"
           "If problem persists please contact: " +
           vbu::AppInfo::contactAddress().toUtf8() + '\n';
}

} // namespace

class TestCliCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void output_data();
    void output();
    void missingFile();
    void usage_data();
    void usage();
    void skippedRecordsWarn();
    void shippedFileThroughProgram();

private:
    QTemporaryDir m_dir;
};

void TestCliCatalogue::output_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty file") << QByteArray() << "version \n"_ba;
    QTest::newRow("version only") << "//1.3\r\n"_ba
                                  << "version 1.3\n"_ba;
    QTest::newRow("levels") << "//1.0\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n"_ba
                            << "version 1.0\nWeapons\n  Axe\n    impulse 1\n"_ba;
    QTest::newRow("tree order, not file order") << "{A}\r\n[S]\r\nfirst\r\n{B}\r\nsecond\r\n[T]\r\nthird\r\n"_ba
                                                << "version \nA\n  S\n    first\n    second\nB\n  T\n    third\n"_ba;
    QTest::newRow("bytes written raw") << "//\xe9\r\n{\xe9}\r\n[\xff\x80]\r\n\x01\xfe\r\n"_ba
                                       << "version \xe9\n\xe9\n  \xff\x80\n    \x01\xfe\n"_ba;
}

void TestCliCatalogue::output()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, expected);
    const QString path = m_dir.filePath(u"commands.dat"_s);
    vbu::test::writeAll(path, file);
    const Run r = runCli({u"catalogue"_s, path});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, expected);
    QCOMPARE(r.err, QByteArray());
}

void TestCliCatalogue::missingFile()
{
    const Run r = runCli({u"catalogue"_s, m_dir.filePath(u"absent.dat"_s)});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, missingMessage());
}

void TestCliCatalogue::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("two files") << QStringList{u"catalogue"_s, u"a"_s, u"b"_s};
}

void TestCliCatalogue::usage()
{
    QFETCH(QStringList, args);
    const Run r = runCli(args);
    QCOMPARE(r.code, 2);
    QCOMPARE(r.out, QByteArray());
    QVERIFY(r.err.contains("vbu-cfg catalogue [FILE]"));
}

void TestCliCatalogue::skippedRecordsWarn()
{
    const QString path = m_dir.filePath(u"broken.dat"_s);
    vbu::test::writeAll(path, "orphan\r\n{A}\r\n[S]\r\nx\r\n[S]\r\n"_ba);
    const Run r = runCli({u"catalogue"_s, path});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, "version \nA\n  S\n    x\n"_ba);
    QVERIFY2(r.err.startsWith("vbu-cfg: 2 record(s) left out"), r.err.constData());
}

void TestCliCatalogue::shippedFileThroughProgram()
{
    const QString program = vbu::test::binDir() + u"/vbu-cfg"_s;
    QProcess p;
    p.start(program, {u"catalogue"_s, vbu::test::binDir() + u"/commands.dat"_s});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardError(), QByteArray());
    const QByteArray tree = p.readAllStandardOutput();
    const QList<QByteArray> lines = tree.split('\n');
    QCOMPARE(lines.constFirst(), "version 1.0"_ba);
    QCOMPARE(lines.at(1), "Quake"_ba);
    QVERIFY(lines.at(2).startsWith("  Quake "));
    QVERIFY(lines.at(3).startsWith("    ") && !lines.at(3).startsWith("     "));
    QVERIFY(lines.contains("Quake2"_ba));
    // Without a name: the catalogue beside the program, the one the editor reads.
    p.start(program, {u"catalogue"_s});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), tree);

    p.start(program, {u"catalogue"_s, m_dir.filePath(u"absent.dat"_s)});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(p.readAllStandardOutput(), QByteArray());
    QCOMPARE(p.readAllStandardError(), missingMessage());
}

QTEST_GUILESS_MAIN(TestCliCatalogue)
#include "tst_cli_catalogue.moc"
