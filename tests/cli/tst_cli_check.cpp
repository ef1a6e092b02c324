#include "support/TestData.h"

#include "cli/Cli.h"

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

} // namespace

class TestCliCheck : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void report_data();
    void report();
    void missingFile();
    void usage_data();
    void usage();
    void throughTheProgram();

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        vbu::test::writeAll(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

void TestCliCheck::report_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("lines"); // after "FILE:"

    const QByteArray setLine = "bind a +attack\r\nset fov 90\r\n"_ba;
    QTest::newRow("clean") << "bind a +attack\r\nbind s +back\r\n"_ba << QStringList{} << 0 << QStringList{};
    QTest::newRow("empty file") << QByteArray() << QStringList{} << 0 << QStringList{};
    QTest::newRow("warnings only") << "bind a x\nbind a y\n"_ba << QStringList{} << 0
                                   << QStringList{u"2: warning: Key 'a' is bound again here, which replaces its "
                                                  "binding from line 1."_s};
    QTest::newRow("both games by default")
        << setLine << QStringList{} << 1
        << QStringList{u"2: error: Quake: The game has no 'set' command, so this does nothing: write the variable's "
                       "name and then its value instead."_s};
    QTest::newRow("quake") << setLine << QStringList{u"--game"_s, u"quake"_s} << 1
                           << QStringList{u"2: error: The game has no 'set' command, so this does nothing: write the "
                                          "variable's name and then its value instead."_s};
    QTest::newRow("quake2") << setLine << QStringList{u"--game=quake2"_s} << 0 << QStringList{};
    QTest::newRow("both") << setLine << QStringList{u"--game"_s, u"both"_s} << 1
                          << QStringList{u"2: error: Quake: The game has no 'set' command, so this does nothing: write "
                                         "the variable's name and then its value instead."_s};
    // The file's own lines: Open would make two items of this line, the game runs one command.
    QTest::newRow("commas do not cut lines")
        << "echo a, b\r\nname \"ABCDEFGHIJ,KLMNOPQ\"\r\n"_ba << QStringList{u"--game=quake2"_s} << 0
        << QStringList{u"2: warning: The game keeps only 15 characters of a name, so 'ABCDEFGHIJ,KLMNOPQ' becomes "
                       "'ABCDEFGHIJ,KLMN'."_s};
    QTest::newRow("lone CR")
        << "bind a x\rbind b y\n"_ba << QStringList{u"--game=quake2"_s} << 1
        << QStringList{u"1: error: This line ends in a carriage return alone, which the game does not take as a line "
                       "end, so it runs together with the next line."_s};
}

void TestCliCheck::report()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QStringList, lines);
    const QString path = write(u"script.cfg"_s, bytes);
    const Run r = runCli(QStringList{u"check"_s} + options + QStringList{path});
    QCOMPARE(r.code, code);
    QCOMPARE(r.err, QByteArray());
    QString expected;
    for (const QString &line : lines)
        expected += path + u':' + line + u'\n';
    QCOMPARE(QString::fromUtf8(r.out), expected);
}

void TestCliCheck::missingFile()
{
    const QString path = m_dir.filePath(u"nowhere.cfg"_s);
    const Run r = runCli({u"check"_s, path});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(QString::fromUtf8(r.err), u"File '"_s + path + u"' could not be found.\n"_s);

    // A folder is no script either.
    const Run folder = runCli({u"check"_s, u"--game=quake"_s, m_dir.path()});
    QCOMPARE(folder.code, 1);
    QCOMPARE(QString::fromUtf8(folder.err), u"File '"_s + m_dir.path() + u"' could not be found.\n"_s);
}

void TestCliCheck::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    const QString usage = u"usage: vbu-cfg check [--game quake|quake2|both] FILE\n"_s;
    QTest::newRow("no file") << QStringList{} << usage;
    QTest::newRow("game without a name") << QStringList{u"a.cfg"_s, u"--game"_s} << usage;
    QTest::newRow("two files") << QStringList{u"a.cfg"_s, u"b.cfg"_s} << usage;
    QTest::newRow("unknown option") << QStringList{u"--fix"_s, u"a.cfg"_s} << usage;
    QTest::newRow("unknown game") << QStringList{u"--game"_s, u"quake3"_s, u"a.cfg"_s}
                                  << u"vbu-cfg check: unknown game 'quake3'; choose quake, quake2 or both.\n"_s;
}

void TestCliCheck::usage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    const Run r = runCli(QStringList{u"check"_s} + args);
    QCOMPARE(r.code, 2);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(QString::fromUtf8(r.err), err);
}

// The built program, on a file whose name starts with a dash.
void TestCliCheck::throughTheProgram()
{
    write(u"-odd.cfg"_s, "// a; bind a x\n"_ba);
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(vbu::test::binDir() + u"/vbu-cfg"_s, {u"check"_s, u"--game"_s, u"quake"_s, u"--"_s, u"-odd.cfg"_s});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(
        p.readAllStandardOutput(),
        "-odd.cfg:1: error: The ';' in this comment ends the comment, so the game runs 'bind a x' as a command.\n"_ba);
    QCOMPARE(p.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_cli_check.moc"
