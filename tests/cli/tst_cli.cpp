#include "catalogue/UpdateServer.h"
#include "support/TestData.h"

#include "cli/Cli.h"
#include "core/app/AppInfo.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Route = vbu::test::UpdateServer::Route;

namespace {

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// vbu-cfg in this process, its output kept in memory.
Run run(const QStringList &args)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    vbu::cli::Io io{out, err};
    const int code = vbu::cli::run(args, io);
    return Run{code, out.data(), err.data()};
}

// A message that ends in a reason from the system is expected up to the reason.
void compareMessage(const QByteArray &actual, const QByteArray &expected)
{
    if (expected.endsWith('\n'))
        QCOMPARE(actual, expected);
    else
        QVERIFY2(actual.startsWith(expected) && actual.endsWith('\n') && actual.size() > expected.size() + 1,
                 actual.data());
}

} // namespace

// What the command line adds to the reader, writer, checker and catalogue, whose own tests cover
// their rules: arguments, exit codes and the exact bytes on stdout and stderr. File names are
// relative to a scratch folder, which is the current one.
class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(QDir().mkdir(u"folder"_s));
        vbu::test::writeAll(u"in.cfg"_s, "bind a b\r\n"_ba);
        vbu::test::writeAll(u"warn.cfg"_s, "name ABCDEFGHIJKLMNOPQ\r\n"_ba);
        vbu::test::writeAll(u"list.dat"_s, "{A}\r\n"_ba);
        QCOMPARE(mkfifo("fifo", 0600), 0);
        QFile sparse(u"sparse.cfg"_s);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(3LL << 30));
    }

    // The bytes are written to the file named last.
    void output_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray script = "a, b\r\n\r\n\"q,\"\r\n\x80\xff\0z"_ba;
        const QByteArray set = "bind a +attack\r\nset fov 90\r\n";
        const QByteArray noSet =
            ": The game has no 'set' command, so this does nothing: write the variable's name and then "
            "its value instead.\n";
        QTest::newRow("items") << script << QStringList{u"items"_s, u"s.cfg"_s} << 0 << "a\nb\n\nq,\n\x80\xff\0z\n"_ba
                               << QByteArray();
        QTest::newRow("items, a name with a leading dot")
            << "a\r\n"_ba << QStringList{u"items"_s, u".dot.cfg"_s} << 0 << "a\n"_ba << QByteArray();
        QTest::newRow("items --command-line") << script << QStringList{u"items"_s, u"--command-line"_s, u"s.cfg"_s} << 0
                                              << "a\nb\nq,\n\x80\xff\0z\n"_ba << QByteArray();
        QTest::newRow("items --exact") << script << QStringList{u"items"_s, u"--exact"_s, u"s.cfg"_s} << 0
                                       << "a, b\n\n\"q,\"\n\x80\xff\0z\n"_ba << QByteArray();
        QTest::newRow("check, both games") << set << QStringList{u"check"_s, u"s.cfg"_s} << 1
                                           << QByteArray("s.cfg:2: error: Quake" + noSet) << QByteArray();
        QTest::newRow("check --game quake") << set << QStringList{u"check"_s, u"--game"_s, u"quake"_s, u"s.cfg"_s} << 1
                                            << QByteArray("s.cfg:2: error" + noSet) << QByteArray();
        // The file's own lines, not the editor's items: Open would cut the name at the comma, and
        // says so after the line's own findings.
        QTest::newRow("check --game=quake2 -- -file")
            << "echo a, b\r\nname \"ABCDEFGHIJ,KLMNOPQ\"\r\n  \"x\"\r\n"_ba
            << QStringList{u"check"_s, u"--game=quake2"_s, u"--"_s, u"-n.cfg"_s} << 0
            << "-n.cfg:1: warning: Open reads this line as 2 items; saving them writes 2 lines (use Open Exactly)\n"
               "-n.cfg:2: warning: The game keeps only 15 characters of a name, so 'ABCDEFGHIJ,KLMNOPQ' becomes "
               "'ABCDEFGHIJ,KLMN'.\n"
               "-n.cfg:2: warning: Open reads this line as 2 items; saving them writes 2 lines (use Open Exactly)\n"
               "-n.cfg:3: warning: The game knows no command or variable named 'x', and the script makes no alias or "
               "variable of that name.\n"
               "-n.cfg:3: warning: Open drops the blanks at the start of this line and its double quotes; saving "
               "writes the line without them (use Open Exactly)\n"_ba
            << QByteArray();
        QTest::newRow("check --game quakespasm")
            << "bind MOUSE5 +atack\r\nbind x zap\r\nALIAS Zap\r\n"_ba
            << QStringList{u"check"_s, u"--game"_s, u"quakespasm"_s, u"p.cfg"_s} << 0
            << "p.cfg:1: warning: The game knows no command or variable named '+atack', and the script makes no alias "
               "or variable of that name; did you mean '+attack'?\n"_ba
            << QByteArray();
        QTest::newRow("catalogue") << "//1.0\r\n{A}\r\n[S]\r\nx\r\n{\xe9}\r\n[T]\r\n\xff\r\n"_ba
                                   << QStringList{u"catalogue"_s, u"c.dat"_s} << 0
                                   << "version 1.0\nA\n  S\n    x\n\xe9\n  T\n    \xff\n"_ba << QByteArray();
        QTest::newRow("catalogue with records left out")
            << "orphan\r\n{A}\r\n[S]\r\nx\r\n[S]\r\n"_ba << QStringList{u"catalogue"_s, u"c.dat"_s} << 0
            << "version \nA\n  S\n    x\n"_ba
            << "vbu-cfg: 2 record(s) left out: they would break the tree (repeated name, no group or section to go "
               "under, or past record 32766).\n"_ba;
    }

    void output()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        vbu::test::writeAll(args.constLast(), bytes);
        const Run r = run(args);
        QCOMPARE(r.out, out);
        QCOMPARE(r.err, err);
        QCOMPARE(r.code, code);
    }

    // Nothing on stdout.
    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("err");
        const QByteArray gone = "File 'gone.cfg' could not be found.\n";
        const QByteArray folder = "File 'folder' could not be found.\n";
        const QByteArray check = "usage: vbu-cfg check [--game PROFILE] FILE\n";
        const QByteArray items = "usage: vbu-cfg items [--command-line|--exact] FILE\n";
        QTest::newRow("items, no file") << QStringList{u"items"_s, u"gone.cfg"_s} << 1 << gone;
        QTest::newRow("items, a folder") << QStringList{u"items"_s, u"folder"_s} << 1 << folder;
        QTest::newRow("items --exact, a folder") << QStringList{u"items"_s, u"--exact"_s, u"folder"_s} << 1 << folder;
        QTest::newRow("items, unreadable")
            << QStringList{u"items"_s, u"/proc/self/mem"_s} << 1 << "File '/proc/self/mem' could not be read: "_ba;
        // A /proc file reports no size and goes on for gigabytes; a sparse file claims 3 GiB.
        const QByteArray pagemap = "File '/proc/self/pagemap' could not be read: The file is larger than ";
        QTest::newRow("items, endless /proc file") << QStringList{u"items"_s, u"/proc/self/pagemap"_s} << 1 << pagemap;
        QTest::newRow("check, endless /proc file") << QStringList{u"check"_s, u"/proc/self/pagemap"_s} << 1 << pagemap;
        QTest::newRow("check, sparse file") << QStringList{u"check"_s, u"sparse.cfg"_s} << 1
                                            << "File 'sparse.cfg' could not be read: The file is larger than "_ba;
        QTest::newRow("catalogue, endless /proc file") << QStringList{u"catalogue"_s, u"/proc/self/pagemap"_s} << 1
                                                       << "vbu-cfg: /proc/self/pagemap: The file is larger than "_ba;
        QTest::newRow("resave, no folder")
            << QStringList{u"resave"_s, u"in.cfg"_s, u"no/out.cfg"_s} << 1 << "File 'no/out.cfg' was not written: "_ba;
        QTest::newRow("check, a folder") << QStringList{u"check"_s, u"--game=quake"_s, u"folder"_s} << 1 << folder;
        QTest::newRow("catalogue, no file")
            << QStringList{u"catalogue"_s, u"gone.dat"_s} << 1
            << QByteArray(
                   "Critical System File could not be found.Please reinstall and try again.\nIf problem persists "
                   "please contact: " +
                   vbu::AppInfo::contactAddress().toUtf8() + '\n');
        QTest::newRow("items without a file") << QStringList{u"items"_s, u"--command-line"_s} << 2 << items;
        QTest::newRow("resave with one file")
            << QStringList{u"resave"_s, u"--exact"_s, u"a"_s} << 2 << "usage: vbu-cfg resave [--exact] IN OUT\n"_ba;
        QTest::newRow("check without a file") << QStringList{u"check"_s} << 2 << check;
        QTest::newRow("check, game without a name") << QStringList{u"check"_s, u"a.cfg"_s, u"--game"_s} << 2 << check;
        QTest::newRow("check, unknown option") << QStringList{u"check"_s, u"--fix"_s, u"a.cfg"_s} << 2 << check;
        QTest::newRow("check, unknown game")
            << QStringList{u"check"_s, u"--game"_s, u"quake3"_s, u"a.cfg"_s} << 2
            << "vbu-cfg check: unknown game profile 'quake3'; choose quake, quake2, both, q2pro, quakespasm.\n"_ba;
        QTest::newRow("catalogue with two files")
            << QStringList{u"catalogue"_s, u"a"_s, u"b"_s} << 2 << "usage: vbu-cfg catalogue [FILE]\n"_ba;
        QTest::newRow("update, unknown option")
            << QStringList{u"update"_s, u"-y"_s} << 2 << "usage: vbu-cfg update [--yes] [CATALOGUE]\n"_ba;
        QTest::newRow("update, no server named")
            << QStringList{u"update"_s} << 2
            << "vbu-cfg update: VBU_UPDATE_URL must name the update server, an http:// or https:// URL.\n"_ba;
        QTest::newRow("unknown command") << QStringList{u"fix"_s} << 2
                                         << "vbu-cfg: unknown command 'fix'. Try vbu-cfg --help.\n"_ba;
    }

    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, err);
        const Run r = run(args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, QByteArray());
        compareMessage(r.err, err);
    }

    // The built program as a shell starts it: a named pipe that no one writes to, and a standard
    // output on a full device.
    void specialFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("err");
        const QByteArray pipe = "File 'fifo' could not be read: It is a named pipe, not a file.\n";
        const QByteArray full = "vbu-cfg: the output could not be written: ";
        QTest::newRow("items --command-line, a pipe")
            << QStringList{u"items"_s, u"--command-line"_s, u"fifo"_s} << 1 << pipe;
        QTest::newRow("items, full device") << QStringList{u"items"_s, u"in.cfg"_s} << 1 << full;
        QTest::newRow("check, full device") << QStringList{u"check"_s, u"--game=quake2"_s, u"warn.cfg"_s} << 1 << full;
        QTest::newRow("catalogue, full device") << QStringList{u"catalogue"_s, u"list.dat"_s} << 1 << full;
    }

    void specialFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, err);
        QProcess program;
        program.setStandardOutputFile(u"/dev/full"_s);
        program.start(vbu::test::binDir() + u"/vbu-cfg"_s, args);
        QVERIFY(program.waitForFinished(10'000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        compareMessage(program.readAllStandardError(), err);
        QCOMPARE(program.exitCode(), code);
    }

    // The update check against a real server on 127.0.0.1. A body without a length ends where the
    // connection does, so only one whose last line is whole may replace c.dat.
    void update_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<Route>("list");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err"); // its start
        const QByteArray list = "//1.4\r\n{B}\r\n[T]\r\ny\r\nz\r\n";
        const QByteArray chunked = QByteArray::number(list.size(), 16) + "\r\n" + list + "\r\n0\r\n\r\n";
        const QByteArray cut = "vbu-cfg update: the command list sent by the update server cannot be used: Its last "
                               "line breaks off before its end, or a quote in it never closes, so it did not arrive "
                               "whole. Your command list was not changed.\n";
        QTest::newRow("current") << "1.3"_ba << Route{} << false << 0
                                 << "Your command list is current and does not need to be updated.\n"_ba
                                 << QByteArray();
        QTest::newRow("newer, without --yes")
            << "1.4"_ba << Route{200, list} << false << 1
            << "Your version is older than the one currently available. Run vbu-cfg update --yes to download the new "
               "version.\n"_ba
            << QByteArray();
        QTest::newRow("whole, no length") << "1.4"_ba << Route{200, list, {}, Route::Unsized} << true << 0
                                          << "Update Completed Successfully!\n"_ba << QByteArray();
        QTest::newRow("no length, closed in a line")
            << "1.4"_ba << Route{200, list, {}, Route::Unsized, {}, 18} << true << 1 << QByteArray() << cut;
        QTest::newRow("no length, reset in a line end")
            << "1.4"_ba << Route{200, list, {}, Route::Unsized, {}, 22, true} << true << 1 << QByteArray() << cut;
        // Reported as a transfer that broke off, or as a list cut short.
        QTest::newRow("chunked, closed in a chunk")
            << "1.4"_ba << Route{200, chunked, {"Transfer-Encoding: chunked"}, Route::Unsized, {}, 22} << true << 1
            << QByteArray() << "vbu-cfg update: "_ba;
    }

    void update()
    {
        QFETCH(QByteArray, version);
        QFETCH(Route, list);
        QFETCH(bool, yes);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        const QByteArray local = "//1.3\r\n{A}\r\n[S]\r\nx\r\n";
        vbu::test::writeAll(u"c.dat"_s, local);
        vbu::test::UpdateServer http;
        http.answer("/version.txt", version);
        http.route("/commands.dat", list);
        qputenv("VBU_UPDATE_URL", http.url().toString().toUtf8());
        const auto unset = qScopeGuard([] { qunsetenv("VBU_UPDATE_URL"); });
        const Run r = run({u"update"_s, yes ? u"--yes"_s : u"--"_s, u"c.dat"_s});
        QCOMPARE(r.out, out);
        QVERIFY2(r.err.startsWith(err) && r.err.isEmpty() == err.isEmpty(), r.err.data());
        QCOMPARE(r.code, code);
        QCOMPARE(vbu::test::readAll(u"c.dat"_s), code == 0 && yes ? list.body + "\r\n" : local);
    }

    void resaveWritesAsSaveDoes()
    {
        vbu::test::writeAll(u"a.cfg"_s, "a, b\n\n\t\"q\"\rbind x \"y\"  "_ba);
        vbu::test::writeAll(u"b.cfg"_s, "old content"_ba);
        const Run r = run({u"resave"_s, u"a.cfg"_s, u"b.cfg"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out + r.err, QByteArray());
        QCOMPARE(vbu::test::readAll(u"b.cfg"_s), "a\r\nb\r\n\r\nq\r\nbind x \"y\"  \r\n"_ba);
    }

    // Byte for byte, but that every line ends with CR LF.
    void resaveExactlyKeepsEveryCorpusFile()
    {
        for (const QString &path : vbu::test::corpusFiles()) {
            const Run r = run({u"resave"_s, u"--exact"_s, path, u"exact.cfg"_s});
            QCOMPARE(r.code + r.out.size() + r.err.size(), 0);
            QCOMPARE(vbu::test::readAll(u"exact.cfg"_s), vbu::test::withCrLf(vbu::test::readAll(path)));
        }
    }

    void helpAndTheOwnCatalogue()
    {
        const Run help = run({u"--help"_s});
        QCOMPARE(help.code, 0);
        for (const char *usage : {"vbu-cfg catalogue [FILE]", "vbu-cfg check [--game PROFILE] FILE",
                                  "vbu-cfg items [--command-line|--exact] FILE", "vbu-cfg resave [--exact] IN OUT"})
            QVERIFY2(help.out.contains(usage), usage);
        // Without a name: the catalogue beside the program, the one the editor reads.
        const Run own = run({u"catalogue"_s});
        QCOMPARE(own.code, 0);
        QVERIFY(own.out.startsWith("version 1.0\nQuake\n  Quake "));
        QCOMPARE(own.out, run({u"catalogue"_s, vbu::test::binDir() + u"/commands.dat"_s}).out);
    }

    // The built program, limited to files of 4 KiB, a limit whose signal it must ignore: it then
    // ends with a message, and the file it was to replace stays as it was.
    void programSurvivesTheFileSizeLimit()
    {
        QByteArray in;
        for (int i = 0; i < 2000; ++i)
            in += "bind key" + QByteArray::number(i) + " \"+attack\"\r\n";
        vbu::test::writeAll(u"big.cfg"_s, in);
        vbu::test::writeAll(u"kept.cfg"_s, "old\r\n"_ba);
        QProcess program;
        program.setChildProcessModifier([] {
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        program.start(vbu::test::binDir() + u"/vbu-cfg"_s, {u"resave"_s, u"big.cfg"_s, u"kept.cfg"_s});
        QVERIFY(program.waitForFinished(30'000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QVERIFY(program.readAllStandardError().startsWith("File 'kept.cfg' was not written: "));
        QCOMPARE(vbu::test::readAll(u"kept.cfg"_s), "old\r\n"_ba);
        QCOMPARE(QDir().entryList({u"kept.cfg*"_s}, QDir::Files | QDir::Hidden), QStringList{u"kept.cfg"_s});
    }

    // Without its profiles the program still checks the original games by their engine's rules.
    void checkWithoutProfiles()
    {
        QTemporaryDir bin;
        QVERIFY(QFile::copy(vbu::test::binDir() + u"/vbu-cfg"_s, bin.filePath(u"vbu-cfg"_s)));
        vbu::test::writeAll(u"n.cfg"_s, "foo\r\nbind MOUSE5 x\r\n"_ba);
        const auto check = [&](const QString &game) {
            QProcess program;
            program.start(bin.filePath(u"vbu-cfg"_s), {u"check"_s, u"--game"_s, game, u"n.cfg"_s});
            QVERIFY(program.waitForFinished());
            QCOMPARE(program.readAllStandardOutput() + program.readAllStandardError() +
                         QByteArray::number(program.exitCode()),
                     (game == "quake"_L1 ? "n.cfg:2: error: Only some source ports know the key name 'MOUSE5'; the "
                                           "original game refuses it, so this command does nothing.\nvbu-cfg check: " +
                                               bin.filePath(u"profiles/quake.tsv"_s).toUtf8() +
                                               ": no such file; commands and variables are not checked.\n1"
                                         : "vbu-cfg check: unknown game profile 'q2pro'; choose quake, quake2, "
                                           "both.\n2"_ba));
        };
        check(u"quake"_s);
        check(u"q2pro"_s);
    }

    // An installed program, run by a user who may not write its catalogue's folder: the update goes
    // to the user's own copy, which is then the one read; the installed catalogue stays as it was.
    void installedProgramUpdatesTheUsersOwnCopy()
    {
        QTemporaryDir root;
        const QString share = root.filePath(u"usr/share/vbu"_s);
        const QString data = root.filePath(u"data"_s);
        QVERIFY(QDir().mkpath(root.filePath(u"usr/bin"_s)) && QDir().mkpath(share) && QDir().mkpath(data));
        QVERIFY(QFile::copy(vbu::test::binDir() + u"/vbu-cfg"_s, root.filePath(u"usr/bin/vbu-cfg"_s)));
        vbu::test::writeAll(share + u"/commands.dat"_s, "//1.3\r\n{A}\r\n[S]\r\nx\r\n"_ba);
        const auto open = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(share, open) && QFile::setPermissions(root.path(), open | QFile::WriteOwner) &&
                QFile::setPermissions(data, open | QFile::WriteOwner | QFile::WriteOther));
        const auto restore = qScopeGuard([&] { QFile::setPermissions(share, open | QFile::WriteOwner); });
        vbu::test::UpdateServer http;
        http.answer("/version.txt", "1.4");
        http.answer("/commands.dat", "//1.4\r\n{B}\r\n[T]\r\ny\r\n");
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        const auto back = qScopeGuard([&] {
            qputenv("XDG_DATA_HOME", home);
            qunsetenv("VBU_UPDATE_URL");
        });
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qputenv("VBU_UPDATE_URL", http.url().toString().toUtf8());
        const auto update = [&] {
            QProcess program;
            // Root may write anywhere: the program then runs as nobody.
            program.setChildProcessModifier([] {
                if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                    _exit(125);
            });
            program.start(root.filePath(u"usr/bin/vbu-cfg"_s), {u"update"_s, u"--yes"_s});
            // The server answers from this process's event loop.
            if (!QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 30'000))
                program.kill();
            return QByteArray(QByteArray::number(program.exitCode()) + ' ' + program.readAllStandardOutput());
        };
        QCOMPARE(update(), "0 Update Completed Successfully!\n"_ba);
        QCOMPARE(vbu::test::readAll(data + u"/vbu/commands.dat"_s), "//1.4\r\n{B}\r\n[T]\r\ny\r\n\r\n"_ba);
        QCOMPARE(vbu::test::readAll(share + u"/commands.dat"_s), "//1.3\r\n{A}\r\n[S]\r\nx\r\n"_ba);
        QCOMPARE(update(), "0 Your command list is current and does not need to be updated.\n"_ba);
        // A program beside a catalogue it may replace keeps reading that one.
        QVERIFY(run({u"catalogue"_s}).out.startsWith("version 1.0\n"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
