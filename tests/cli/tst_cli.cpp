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
    if (expected.isEmpty() || expected.endsWith('\n'))
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

    // The built program as a shell starts it. The bytes, unless null, are written to the file
    // named last. Where no output is expected, standard output is a full device: the program
    // writes nothing there, or it would also tell that the output could not be written.
    void commands_data()
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

        const auto fails = [](const char *name, const QStringList &args, int code, const QByteArray &err) {
            QTest::newRow(name) << QByteArray() << args << code << QByteArray() << err;
        };
        const QByteArray full = "vbu-cfg: the output could not be written: ";
        fails("items, full device", {u"items"_s, u"in.cfg"_s}, 1, full);
        fails("check, full device", {u"check"_s, u"--game=quake2"_s, u"warn.cfg"_s}, 1, full);
        fails("catalogue, full device", {u"catalogue"_s, u"list.dat"_s}, 1, full);
        // A named pipe that no one writes to.
        fails("items --command-line, a pipe", {u"items"_s, u"--command-line"_s, u"fifo"_s}, 1,
              "File 'fifo' could not be read: It is a named pipe, not a file.\n");
        const QByteArray folder = "File 'folder' could not be found.\n";
        fails("items, no file", {u"items"_s, u"gone.cfg"_s}, 1, "File 'gone.cfg' could not be found.\n");
        fails("items, a folder", {u"items"_s, u"folder"_s}, 1, folder);
        fails("items --exact, a folder", {u"items"_s, u"--exact"_s, u"folder"_s}, 1, folder);
        fails("items, unreadable", {u"items"_s, u"/proc/self/mem"_s}, 1, "File '/proc/self/mem' could not be read: ");
        // A /proc file reports no size and goes on for gigabytes; a sparse file claims 3 GiB.
        const QByteArray pagemap = "File '/proc/self/pagemap' could not be read: The file is larger than ";
        fails("items, endless /proc file", {u"items"_s, u"/proc/self/pagemap"_s}, 1, pagemap);
        fails("check, endless /proc file", {u"check"_s, u"/proc/self/pagemap"_s}, 1, pagemap);
        fails("check, sparse file", {u"check"_s, u"sparse.cfg"_s}, 1,
              "File 'sparse.cfg' could not be read: The file is larger than ");
        fails("catalogue, endless /proc file", {u"catalogue"_s, u"/proc/self/pagemap"_s}, 1,
              "vbu-cfg: /proc/self/pagemap: The file is larger than ");
        fails("resave, no folder", {u"resave"_s, u"in.cfg"_s, u"no/out.cfg"_s}, 1,
              "File 'no/out.cfg' was not written: ");
        fails("check, a folder", {u"check"_s, u"--game=quake"_s, u"folder"_s}, 1, folder);
        fails("catalogue, no file", {u"catalogue"_s, u"gone.dat"_s}, 1,
              "Critical System File could not be found.Please reinstall and try again.\nIf problem persists please "
              "contact: " +
                  vbu::AppInfo::contactAddress().toUtf8() + '\n');
        const QByteArray check = "usage: vbu-cfg check [--game PROFILE] FILE\n";
        fails("items without a file", {u"items"_s, u"--command-line"_s}, 2,
              "usage: vbu-cfg items [--command-line|--exact] FILE\n");
        fails("resave with one file", {u"resave"_s, u"--exact"_s, u"a"_s}, 2,
              "usage: vbu-cfg resave [--exact] IN OUT\n");
        fails("check without a file", {u"check"_s}, 2, check);
        fails("check, game without a name", {u"check"_s, u"a.cfg"_s, u"--game"_s}, 2, check);
        fails("check, unknown option", {u"check"_s, u"--fix"_s, u"a.cfg"_s}, 2, check);
        fails("check, unknown game", {u"check"_s, u"--game"_s, u"quake3"_s, u"a.cfg"_s}, 2,
              "vbu-cfg check: unknown game profile 'quake3'; choose quake, quake2, both, q2pro, quakespasm.\n");
        fails("catalogue with two files", {u"catalogue"_s, u"a"_s, u"b"_s}, 2, "usage: vbu-cfg catalogue [FILE]\n");
        fails("update, unknown option", {u"update"_s, u"-y"_s}, 2, "usage: vbu-cfg update [--yes] [CATALOGUE]\n");
        fails("update, no server named", {u"update"_s}, 2,
              "vbu-cfg update: VBU_UPDATE_URL must name the update server, an http:// or https:// URL.\n");
        fails("unknown command", {u"fix"_s}, 2, "vbu-cfg: unknown command 'fix'. Try vbu-cfg --help.\n");
        const QByteArray press = "usage: vbu-cfg press [--game quake|quake2] FILE KEY...\n";
        fails("press, no key", {u"press"_s, u"in.cfg"_s}, 2, press);
        fails("press, unknown option", {u"press"_s, u"-x"_s, u"in.cfg"_s, u"a"_s}, 2, press);
        fails("press, unknown game", {u"press"_s, u"--game=both"_s, u"in.cfg"_s, u"a"_s}, 2,
              "vbu-cfg press: unknown game 'both'; choose quake or quake2.\n");
        // Quake has no keypad keys; a port's name is no key of the game's.
        fails("press, key of the other game", {u"press"_s, u"in.cfg"_s, u"KP_ENTER"_s}, 1,
              "vbu-cfg press: \"KP_ENTER\" isn't a valid key\n");
        fails("press, port's key", {u"press"_s, u"--game"_s, u"quake2"_s, u"in.cfg"_s, u"a"_s, u"MOUSE4"_s}, 1,
              "vbu-cfg press: \"MOUSE4\" isn't a valid key\n");
        fails("press, no file", {u"press"_s, u"gone.cfg"_s, u"a"_s}, 1, "File 'gone.cfg' could not be found.\n");
        fails("press, a folder", {u"press"_s, u"--"_s, u"."_s, u"a"_s}, 1, "File '.' could not be found.\n");
    }

    void commands()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        if (!bytes.isNull())
            vbu::test::writeAll(args.constLast(), bytes);
        QProcess program;
        if (out.isEmpty())
            program.setStandardOutputFile(u"/dev/full"_s);
        program.start(vbu::test::binDir() + u"/vbu-cfg"_s, args);
        QVERIFY(program.waitForFinished(10'000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.readAllStandardOutput(), out);
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

    // Open's items, one a line; with --exact every line byte for byte, but that each ends with CR LF.
    void resave()
    {
        vbu::test::writeAll(u"a.cfg"_s, "a, b\n\n\t\"q\"\rbind x \"y\"  "_ba);
        vbu::test::writeAll(u"b.cfg"_s, "old content"_ba);
        const Run r = run({u"resave"_s, u"a.cfg"_s, u"b.cfg"_s});
        QCOMPARE(r.code + r.out.size() + r.err.size(), 0);
        QCOMPARE(vbu::test::readAll(u"b.cfg"_s), "a\r\nb\r\n\r\nq\r\nbind x \"y\"  \r\n"_ba);
        for (const QString &path : vbu::test::corpusFiles()) {
            const Run exact = run({u"resave"_s, u"--exact"_s, path, u"exact.cfg"_s});
            QCOMPARE(exact.code + exact.out.size() + exact.err.size(), 0);
            QCOMPARE(vbu::test::readAll(u"exact.cfg"_s), vbu::test::withCrLf(vbu::test::readAll(path)));
        }
    }

    void help()
    {
        const Run help = run({u"--help"_s});
        QCOMPARE(help.code, 0);
        for (const char *usage : {"vbu-cfg catalogue [FILE]", "vbu-cfg check [--game PROFILE] FILE",
                                  "vbu-cfg items [--command-line|--exact] FILE", "vbu-cfg resave [--exact] IN OUT"})
            QVERIFY2(help.out.contains(usage), usage);
    }

    // An installed program, run by a user who may not write its catalogue's folder: the update goes
    // to the user's own copy, which is then the one read; the installed catalogue stays as it was.
    // Without its profiles it still checks the original games by their engine's rules.
    void installedProgram()
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
        const auto vbuCfg = [&](const QStringList &args) -> QByteArray {
            QProcess program;
            // Root may write anywhere: the program then runs as nobody.
            program.setChildProcessModifier([] {
                if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                    _exit(125);
            });
            program.start(root.filePath(u"usr/bin/vbu-cfg"_s), args);
            // The server answers from this process's event loop.
            if (!QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 30'000))
                program.kill();
            return QByteArray::number(program.exitCode()) + ' ' + program.readAllStandardOutput() +
                   program.readAllStandardError();
        };
        QCOMPARE(vbuCfg({u"update"_s, u"--yes"_s}), "0 Update Completed Successfully!\n"_ba);
        QCOMPARE(vbu::test::readAll(data + u"/vbu/commands.dat"_s), "//1.4\r\n{B}\r\n[T]\r\ny\r\n\r\n"_ba);
        QCOMPARE(vbu::test::readAll(share + u"/commands.dat"_s), "//1.3\r\n{A}\r\n[S]\r\nx\r\n"_ba);
        QCOMPARE(vbuCfg({u"update"_s, u"--yes"_s}),
                 "0 Your command list is current and does not need to be updated.\n"_ba);
        // A program beside a catalogue it may replace keeps reading that one.
        QVERIFY(run({u"catalogue"_s}).out.startsWith("version 1.0\n"));

        const QString script = data + u"/n.cfg"_s;
        vbu::test::writeAll(script, "foo\r\nbind MOUSE5 x\r\n"_ba);
        QCOMPARE(vbuCfg({u"check"_s, u"--game"_s, u"quake"_s, script}),
                 QByteArray("1 " + script.toUtf8() +
                            ":2: error: Only some source ports know the key name 'MOUSE5'; the original game refuses "
                            "it, so this command does nothing.\nvbu-cfg check: " +
                            root.filePath(u"usr/bin/profiles/quake.tsv"_s).toUtf8() +
                            ": no such file; commands and variables are not checked.\n"));
        QCOMPARE(vbuCfg({u"check"_s, u"--game=q2pro"_s, script}),
                 "2 vbu-cfg check: unknown game profile 'q2pro'; choose quake, quake2, both.\n"_ba);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
