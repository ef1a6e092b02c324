#include "support/TestData.h"

#include "cli/Cli.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/resource.h>

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

QByteArray notFound(const QString &name)
{
    return "File '" + name.toUtf8() + "' could not be found.\n";
}

const QByteArray sample = "bind w \"+forward\"\r\necho a, b\r\n\r\n  \"quoted\"\r\nname \x80\xff\0x,\r\nlast"_ba;

} // namespace

class TestCliScript : public QObject
{
    Q_OBJECT

private slots:
    // A fresh folder for each test.
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }
    void items_data();
    void items();
    void missingFile_data();
    void missingFile();
    void unreadableFile();
    void resave();
    void resaveFailures();
    void usage_data();
    void usage();
    void helpListsCommands();
    void programWritesRawBytes();
    void programSurvivesFileSizeLimit();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::optional<QTemporaryDir> m_dir;
};

void TestCliScript::items_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray nameLine("name \x80\xff\0x", 9);
    QTest::newRow("open") << QStringList{} << "bind w \"+forward\"\necho a\nb\n\nquoted\n"_ba + nameLine + "\n\nlast\n";
    QTest::newRow("command line drops empty fields")
        << QStringList{u"--command-line"_s} << "bind w \"+forward\"\necho a\nb\nquoted\n"_ba + nameLine + "\nlast\n";
}

void TestCliScript::items()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, expected);
    vbu::test::writeAll(path(u"s.cfg"_s), sample);
    const Run r = runCli(QStringList{u"items"_s} + options + QStringList{path(u"s.cfg"_s)});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.out, expected);
}

void TestCliScript::missingFile_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("folder");
    QTest::newRow("open, no file") << QStringList{} << false;
    QTest::newRow("command line, no file") << QStringList{u"--command-line"_s} << false;
    QTest::newRow("open, a folder") << QStringList{} << true;
    QTest::newRow("command line, a folder") << QStringList{u"--command-line"_s} << true;
}

void TestCliScript::missingFile()
{
    QFETCH(QStringList, options);
    QFETCH(bool, folder);
    const QString name = folder ? m_dir->path() : path(u"gone.cfg"_s);
    const Run r = runCli(QStringList{u"items"_s} + options + QStringList{name});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, notFound(name));
}

// Opened, then the read fails: the reason is given, not the missing-file message.
void TestCliScript::unreadableFile()
{
    const QString name = u"/proc/self/mem"_s;
    if (!QFile::exists(name))
        QSKIP("no /proc on this system");
    for (const QString &option : {u"--"_s, u"--command-line"_s}) {
        const Run r = runCli({u"items"_s, option, name});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.startsWith("File '/proc/self/mem' could not be read: "));
        QVERIFY(r.err.size() > 45);
    }
}

void TestCliScript::resave()
{
    vbu::test::writeAll(path(u"in.cfg"_s), "a, b\n\n\t\"q\"\rbind x \"y\"  "_ba);
    vbu::test::writeAll(path(u"out.cfg"_s), "old content"_ba);
    const Run r = runCli({u"resave"_s, path(u"in.cfg"_s), path(u"out.cfg"_s)});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(vbu::test::readAll(path(u"out.cfg"_s)), "a\r\nb\r\n\r\nq\r\nbind x \"y\"  \r\n"_ba);

    vbu::test::writeAll(path(u"empty.cfg"_s), QByteArray());
    QCOMPARE(runCli({u"resave"_s, path(u"empty.cfg"_s), path(u"out.cfg"_s)}).code, 0);
    QCOMPARE(vbu::test::readAll(path(u"out.cfg"_s)), QByteArray());
}

void TestCliScript::resaveFailures()
{
    vbu::test::writeAll(path(u"in.cfg"_s), "bind a b\r\n"_ba);
    Run r = runCli({u"resave"_s, path(u"nothing.cfg"_s), path(u"out.cfg"_s)});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, notFound(path(u"nothing.cfg"_s)));
    QVERIFY(!QFile::exists(path(u"out.cfg"_s)));

    const QString nowhere = path(u"no/folder/out.cfg"_s);
    r = runCli({u"resave"_s, path(u"in.cfg"_s), nowhere});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.startsWith(QByteArray("File '" + nowhere.toUtf8() + "' was not written: ")));

    r = runCli({u"resave"_s, path(u"in.cfg"_s), m_dir->path()});
    QCOMPARE(r.code, 1);
    QVERIFY(QFileInfo(m_dir->path()).isDir());
}

void TestCliScript::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("items without file") << QStringList{u"items"_s};
    QTest::newRow("items with two files") << QStringList{u"items"_s, u"a"_s, u"b"_s};
    QTest::newRow("command line without file") << QStringList{u"items"_s, u"--command-line"_s};
    QTest::newRow("resave with one file") << QStringList{u"resave"_s, u"a"_s};
}

void TestCliScript::usage()
{
    QFETCH(QStringList, args);
    const Run r = runCli(args);
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.startsWith(QByteArray("usage: vbu-cfg " + args.constFirst().toUtf8())));
}

void TestCliScript::helpListsCommands()
{
    const Run r = runCli({u"--help"_s});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("vbu-cfg items [--command-line] FILE"));
    QVERIFY(r.out.contains("vbu-cfg resave IN OUT"));
}

// Through the real stdout: every byte but the LF separators comes through as it is in the file.
void TestCliScript::programWritesRawBytes()
{
    QByteArray bytes;
    for (int c = 0; c < 256; ++c) {
        if (c != '\r' && c != '\n' && c != ',' && c != '"' && c != ' ' && c != '\t')
            bytes.append(char(c));
    }
    vbu::test::writeAll(path(u"all.cfg"_s), bytes + "\r\n" + bytes);
    QProcess program;
    program.start(vbu::test::binDir() + u"/vbu-cfg"_s, {u"items"_s, path(u"all.cfg"_s)});
    QVERIFY(program.waitForFinished(30'000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput(), bytes + '\n' + bytes + '\n');
}

// The child may write no more than 4 KiB and does not ignore SIGXFSZ itself: the program must,
// so it ends with a message, and the file it was to replace stays as it was.
void TestCliScript::programSurvivesFileSizeLimit()
{
    QByteArray in;
    for (int i = 0; i < 2000; ++i)
        in += "bind key" + QByteArray::number(i) + " \"+attack\"\r\n";
    vbu::test::writeAll(path(u"in.cfg"_s), in);
    vbu::test::writeAll(path(u"out.cfg"_s), "old\r\n"_ba);
    QProcess program;
    program.setChildProcessModifier([] {
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    program.start(vbu::test::binDir() + u"/vbu-cfg"_s, {u"resave"_s, path(u"in.cfg"_s), path(u"out.cfg"_s)});
    QVERIFY(program.waitForFinished(30'000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QVERIFY(program.readAllStandardError().startsWith(
        QByteArray("File '" + path(u"out.cfg"_s).toUtf8() + "' was not written: ")));
    QCOMPARE(vbu::test::readAll(path(u"out.cfg"_s)), "old\r\n"_ba);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

QTEST_GUILESS_MAIN(TestCliScript)
#include "tst_cli_script.moc"
