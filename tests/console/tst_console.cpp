#include "support/TestData.h"

#include "core/check/ConsoleModel.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::ConsoleModel;
using Dialect = vbu::ScriptTokenizer::Dialect;

namespace {

// A few of each game's commands, and one variable.
vbu::ConsoleNames names(Dialect game)
{
    vbu::ConsoleNames out;
    const char *commands[] = {"+attack", "-attack", "impulse", "+jump", "-jump"};
    const char *quake2Commands[] = {"+attack", "-attack", "use", "+moveup", "-moveup"};
    for (const char *name : game == Dialect::Quake ? commands : quake2Commands)
        out.addCommand(name);
    out.addVariable("fov", "90");
    return out;
}

} // namespace

// The console as the games run it: the cases players get wrong, each output checked by hand
// against the engines' command buffer, tokenizer, alias, bind and variable code. Real configs go
// through vbu-cfg press, their most involved keys reviewed once and kept as expected output.
class TestConsole : public QObject
{
    Q_OBJECT

private slots:
    void runsAsTheGameDoes_data()
    {
        QTest::addColumn<bool>("quake2");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArrayList>("keys");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("+ and - aliases: a key held")
            << false << "alias +zoom \"fov 50\"\nalias -zoom \"fov 90\"\nbind MOUSE2 +zoom\n"_ba
            << QByteArrayList{"mouse2"}
            << "exec\n  alias +zoom \"fov 50\"\n  alias -zoom \"fov 90\"\n  bind MOUSE2 +zoom\npress mouse2\n  +zoom\n"
               "    fov 50 # \"fov\" is \"50\"\nrelease mouse2\n  -zoom\n    fov 90 # \"fov\" is \"90\"\n"_ba;
        // The release turns the first + only; the key number the game adds goes unseen. Letting go of
        // 1 also lets go of what ! holds.
        QTest::newRow("release of a binding with two buttons, and of a shifted key")
            << false << "bind x \"+attack; +jump\"\nbind ! +jump\n"_ba << QByteArrayList{"x", "1"}
            << "exec\n  bind x \"+attack; +jump\"\n  bind ! +jump\npress x\n  +attack\n  +jump\nrelease x\n  -attack\n"
               "  +jump\npress 1\nrelease 1\n  -jump\n"_ba;
        QTest::newRow("cycle: each press the next step")
            << false
            << "alias cyc c1\nalias c1 \"fov 100; alias cyc c2\"\nalias c2 \"fov 110; alias cyc c3\"\n"
               "alias c3 \"fov 90; alias cyc c1\"\nbind c cyc\n"_ba
            << QByteArrayList{"C", "c", "c", "c"}
            << "exec\n  alias cyc c1\n  alias c1 \"fov 100; alias cyc c2\"\n  alias c2 \"fov 110; alias cyc c3\"\n"
               "  alias c3 \"fov 90; alias cyc c1\"\n  bind c cyc\n"
               "press C\n  cyc\n    c1\n      fov 100 # \"fov\" is \"100\"\n      alias cyc c2\nrelease C\n"
               "press c\n  cyc\n    c2\n      fov 110 # \"fov\" is \"110\"\n      alias cyc c3\nrelease c\n"
               "press c\n  cyc\n    c3\n      fov 90 # \"fov\" is \"90\"\n      alias cyc c1\nrelease c\n"
               "press c\n  cyc\n    c1\n      fov 100 # \"fov\" is \"100\"\n      alias cyc c2\nrelease c\n"_ba;
        QTest::newRow("Quake hangs in an alias loop")
            << false << "alias a b; alias b a\nbind l a\n"_ba << QByteArrayList{"l"}
            << "exec\n  alias a b\n  alias b a\n  bind l a\npress l\n  a\n    b\n      a\n"
               "      loop: the game hangs here: this repeats without end within one frame\n"
               "release l\n  stop: nothing runs: the game hung or quit above\n"_ba;
        QByteArray skipped = "exec\n  alias a b\n  alias b a\n  bind l \"a; echo after\"\npress l\n";
        for (int level = 1; level <= 16; ++level)
            skipped += QByteArray(2 * level, ' ') + (level % 2 ? "a" : "b") +
                       (level == 16 ? " # ALIAS_LOOP_COUNT" : "") + '\n';
        skipped += QByteArray(32, ' ') +
                   "loop: Quake 2 runs no more than 15 aliases a frame; it skips this one and goes "
                   "on\n  echo after # after\nrelease l\n";
        QTest::newRow("Quake 2 skips the 16th alias of a frame")
            << true << "alias a b; alias b a\nbind l \"a; echo after\"\n"_ba << QByteArrayList{"l"} << skipped;
        QTest::newRow("wait: the rest next frame; a loop through wait goes on")
            << false << "bind g \"impulse 5; +attack; wait; -attack\"\nalias t \"echo tick; wait; t\"\nbind t t\n"_ba
            << QByteArrayList{"g", "t", "g"}
            << "exec\n  bind g \"impulse 5; +attack; wait; -attack\"\n  alias t \"echo tick; wait; t\"\n  bind t t\n"
               "press g\n  impulse 5\n  +attack\n  wait\n  -attack\nrelease g\n"
               "press t\n  t\n    echo tick # tick\n    wait\n    t\n"
               "    loop: this repeats every frame for as long as the game runs; the simulation follows it no further\n"
               "release t\npress g\n  impulse 5\n  +attack\n  wait\n  -attack\nrelease g\n"_ba;
        QTest::newRow("Quake quits when a loop fills the buffer")
            << false << "alias g \"g; echo y\"\nbind g g\n"_ba << QByteArrayList{"g"}
            << "exec\n  alias g \"g; echo y\"\n  bind g g\npress g\n  g\n    g\n"
               "    loop: this repeats without end, and more waits in the command buffer each time, until the game "
               "quits with \"SZ_GetSpace: overflow without allowoverflow set\"\n"
               "release g\n  stop: nothing runs: the game hung or quit above\n"_ba;
        // The ';' in the quotes stays in the binding, the one in the comment ends it. Quake binds one
        // argument, and has no set; variable names keep their case.
        QTest::newRow("Quake: quotes, comments, unknown commands, variables")
            << false
            << "bind k \"impulse 7; foo\" // one binding\necho one // two; echo three\nbind m echo hi\n"
               "set fov 100\nfov 100\nfov\nFOV\n"_ba
            << QByteArrayList{"k"}
            << "exec\n  bind k \"impulse 7; foo\"\n  echo one # one\n  echo three # three\n"
               "  bind m echo hi # bind <key> [command] : attach a command to a key\n"
               "  set fov 100 # Unknown command \"set\"\n  fov 100 # \"fov\" is \"100\"\n  fov # \"fov\" is \"100\"\n"
               "  FOV # Unknown command \"FOV\"\npress k\n  impulse 7\n  foo # Unknown command \"foo\"\nrelease k\n"_ba;
        // A $name in quotes is kept for later; one outside is replaced as the line runs.
        QTest::newRow("Quake 2: set, $variables, bind joins its words, unmatched quote")
            << true
            << "set w \"Rocket Launcher\"\nbind r \"use $w\"\nbind e echo $w\nset w Railgun\nset x 1 y\n"
               "echo \"a\n+jump\n"_ba
            << QByteArrayList{"r", "e"}
            << "exec\n  set w \"Rocket Launcher\" # \"w\" is \"Rocket Launcher\"\n  bind r \"use $w\"\n"
               "  bind e echo Rocket Launcher\n  set w Railgun # \"w\" is \"Railgun\"\n"
               "  set x 1 y # flags can only be 'u' or 's'\n  echo \"a # Line has unmatched quote, discarded.\n"
               "  +jump # Unknown command \"+jump\"\npress r\n  use Railgun\nrelease r\n"
               "press e\n  echo Rocket Launcher # Rocket Launcher\nrelease e\n"_ba;
    }

    void runsAsTheGameDoes()
    {
        QFETCH(bool, quake2);
        QFETCH(QByteArray, script);
        QFETCH(QByteArrayList, keys);
        QFETCH(QByteArray, expected);
        const Dialect game = quake2 ? Dialect::Quake2 : Dialect::Quake;
        ConsoleModel console(game, names(game));
        QByteArray actual;
        const auto add = [&](const QByteArray &heading, const QList<vbu::ConsoleStep> &steps) {
            actual += heading + '\n';
            for (const vbu::ConsoleStep &step : steps)
                actual += ConsoleModel::format(step) + '\n';
        };
        add("exec", console.exec(script));
        for (const QByteArray &key : keys) {
            add("press " + key, console.press(*ConsoleModel::keyNumber(key, game)));
            add("release " + key, console.release(*ConsoleModel::keyNumber(key, game)));
        }
        QCOMPARE(actual.split('\n'), expected.split('\n'));
    }

    void realConfigs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("keys");
        // The original games' buffer takes 8,191 bytes: this one runs nowhere but in source ports.
        QTest::newRow("q1-multi-engine") << u"q1-multi-engine-autoexec.cfg"_s << QStringList{u"F10"_s, u"b"_s};
        QTest::newRow("q1-vkquake") << u"q1-vkquake-autoexec.cfg"_s
                                    << QStringList{u"z"_s, u"z"_s, u"F5"_s, u"x"_s, u"MWHEELUP"_s};
        QTest::newRow("q2-autoexec") << u"q2-autoexec.cfg"_s << QStringList{u"r"_s, u"F3"_s, u"MOUSE1"_s};
        QTest::newRow("q2repro-postexec")
            << u"q2repro-postexec.cfg"_s
            << QStringList{u"SHIFT"_s, u"z"_s, u"MOUSE2"_s, u"TAB"_s, u"MWHEELUP"_s, u"`"_s, u"ALT"_s};
    }

    void realConfigs()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, keys);
        QVERIFY(QDir::setCurrent(vbu::test::dataPath(u"corpus"_s)));
        const QString game = file.startsWith("q1-"_L1) ? u"quake"_s : u"quake2"_s;
        QProcess process;
        process.start(vbu::test::binDir() + u"/vbu-cfg"_s, QStringList{u"press"_s, u"--game"_s, game, file} + keys);
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.readAllStandardError() + QByteArray::number(process.exitCode()), "0"_ba);
        const QByteArray expected = vbu::test::readAll(vbu::test::dataPath(u"press/"_s + file + u".expected"_s));
        QCOMPARE(process.readAllStandardOutput().split('\n'), expected.split('\n'));
    }
};

QTEST_GUILESS_MAIN(TestConsole)
#include "tst_console.moc"
