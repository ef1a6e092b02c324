// The game profiles: the shipped files, their facts against the sources, the reader's rules for
// bad files, the games' lookup rules and vbu-cfg describe (the players' configs are checked
// against their ports with the script checks).
#include "cli/Cli.h"
#include "core/check/GameProfiles.h"
#include "support/TestData.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;
using vbu::GameProfile;
namespace GameProfiles = vbu::GameProfiles;
using Kind = GameProfile::Kind;

namespace {

const GameProfile &shipped(const QString &name)
{
    static std::map<QString, GameProfile> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        const GameProfiles::Load load = GameProfiles::load(name, GameProfiles::directory());
        if (!load.profile)
            qFatal("%s", qPrintable(load.error));
        it = cache.emplace(name, *load.profile).first;
    }
    return it->second;
}

const char *const header =
    "@profile\tt\n@title\tT\n@source\tS\n@commands\tcase-insensitive\n@variables\tcase-sensitive\n";

// The shipped description, so that rewording one does not break the format checks.
QByteArray description(const QString &profile, QByteArrayView name, bool command)
{
    const GameProfile &p = shipped(profile);
    return (command ? p.command(name) : p.variable(name))->description.toUtf8();
}

} // namespace

class TestGameProfiles : public QObject
{
    Q_OBJECT

private slots:
    // Each is read whole, so every line of it parses, and all but keys are described; the
    // originals' counts are those of the registrations found in the sources, and so are defaults.
    void shippedProfilesLoad()
    {
        const QStringList names = GameProfiles::names(GameProfiles::directory());
        QCOMPARE(names, (QStringList{u"q2pro"_s, u"quake"_s, u"quake2"_s, u"quakespasm"_s, u"both"_s}));
        QHash<QString, int> described;
        for (const QString &name : names) {
            for (const GameProfile::Entry &e : shipped(name).entries()) {
                QVERIFY2(e.kind == Kind::Key || !e.description.isEmpty(), e.name.constData());
                described[name] += e.kind == Kind::Key ? 0 : 1;
            }
            QVERIFY(shipped(name).key("MOUSE1"));
        }
        QCOMPARE(described.value(u"quake"_s), 361);
        QCOMPARE(described.value(u"quake2"_s), 458);
        // The defaults read by hand in the sources.
        const QByteArray table = vbu::test::readAll(vbu::test::dataPath(u"profiles/defaults.tsv"_s));
        for (const QByteArray &line : table.split('\n')) {
            const QList<QByteArray> f = line.split('\t');
            if (f.size() == 4 && !line.startsWith('#')) {
                const GameProfile::Entry *e = shipped(QString::fromLatin1(f[0])).variable(f[1]);
                QVERIFY2(e && e->defaultValue.value_or("*") == f[2], line.constData());
            }
        }
    }

    // Files that cannot be profiles are refused with the reason, never read without limit.
    void badFilesAreRefused_data()
    {
        QTest::addColumn<QString>("name"); // the file is name.tsv in an empty folder
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error"); // in that folder, unless it starts with a quote
        const QByteArray h = header;
        QTest::newRow("columns") << u"t"_s << h + "a\tcommand\t\tx\n"
                                 << u"t.tsv:6: expected 6 columns separated by tabs, found 4"_s;
        QTest::newRow("bare default")
            << u"t"_s << h + "a\tvariable\t1\t\tx\td\n"
            << u"t.tsv:6: a variable's default must be in double quotes, or * when the game works it out"_s;
        QTest::newRow("range") << u"t"_s << h + "a\tvariable\t\"1\"\t5..1\tx\td\n"
                               << u"t.tsv:6: the range must be MIN..MAX with MIN at most MAX, not '5..1'"_s;
        QTest::newRow("no description") << u"t"_s << h + "a\tvariable\t\"1\"\t\tx\t\n"
                                        << u"t.tsv:6: variable a has no description"_s;
        QTest::newRow("twice, any case") << u"t"_s << h + "wait\tcommand\t\t\tx\td\nWAIT\tcommand\t\t\tx\td\n"
                                         << u"t.tsv:7: this command is listed twice"_s;
        QTest::newRow("binary") << u"t"_s << h + "a\0b\n"_ba
                                << u"t.tsv:6: the line holds a zero byte; this is not a profile file"_s;
        QTest::newRow("huge") << u"huge"_s << QByteArray(GameProfile::maxFileSize + 1, '#')
                              << u"huge.tsv: larger than 4 MiB, too large for a game profile"_s;
        QTest::newRow("base loop") << u"loop"_s << "@base\tloop\n"_ba
                                   << u"loop.tsv: the chain of base profiles is too long"_s;
        QTest::newRow("path") << u"../quake"_s << QByteArray() << u"'../quake' is not a game profile name"_s;
    }
    void badFilesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QTemporaryDir dir;
        if (!text.isNull())
            vbu::test::writeAll(dir.filePath(name + u".tsv"_s), text);
        const GameProfiles::Load load = GameProfiles::load(name, dir.path());
        QVERIFY(!load.profile);
        QCOMPARE(load.error, error.startsWith(u'\'') ? error : dir.filePath(error));
    }

    // Loads are kept, but a profile whose file or base file changed on disk is read again.
    void changedFilesAreReadAgain()
    {
        QTemporaryDir dir;
        const auto write = [&dir](const QString &name, const QByteArray &text) {
            vbu::test::writeAll(dir.filePath(name + u".tsv"_s), text);
        };
        const auto described = [&dir] {
            const std::optional<GameProfile> t = GameProfiles::load(u"t"_s, dir.path()).profile;
            return t && t->command("aa") ? t->command("aa")->description : QString();
        };
        const QByteArray base = QByteArray(header).replace("\tt\n", "\tb\n");
        // t takes the description from its base.
        write(u"t"_s, "@base\tb\n"_ba + header + "aa\tcommand\t\t\tx\t\n");
        write(u"b"_s, base + "aa\tcommand\t\t\tx\td1\n");
        QCOMPARE(described(), u"d1"_s);
        write(u"b"_s, base + "aa\tcommand\t\t\tx\td2\n"); // the same size, at once
        QCOMPARE(described(), u"d2"_s);
    }

    // Keys in any case, where the game has them; a name looked for its nearest in linear time (a
    // quadratic search would not end within the test's time).
    void keysAndHugeNames()
    {
        const GameProfile::Entry *key = shipped(u"quakespasm"_s).key("ltrigger");
        QVERIFY(key && key->name == "LTRIGGER");
        QVERIFY(!shipped(u"quake"_s).key("ltrigger"));
        QVERIFY(!shipped(u"both"_s).nearestName(QByteArray(1 << 20, 'x')));
    }

    // vbu-cfg describe: the line format, the choice of profile, the games' lookup rules, and names
    // the profile lacks with the nearest it has.
    void describe_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QString q = u"quake"_s;
        const QString q2 = u"quake2"_s;
        QTest::newRow("variable and command")
            << QStringList{u"--game"_s, q2, u"cl_maxfps"_s, u"+attack"_s} << 0
            << "cl_maxfps: variable, default \"90\": " + description(q2, "cl_maxfps", false) +
                   "\n+attack: command: " + description(q2, "+attack", true) + '\n'
            << QByteArray();
        QTest::newRow("both games: a command in one, a variable in the other")
            << QStringList{u"name"_s, u"sky"_s} << 0
            << "name: command: " + description(q, "name", true) +
                   "\nname: variable, default \"unnamed\": " + description(q2, "name", false) +
                   "\nsky: command: " + description(q2, "sky", true) + '\n'
            << QByteArray();
        QTest::newRow("default worked out by the game")
            << QStringList{u"--game=quake2"_s, u"version"_s} << 0
            << "version: variable, set by the game: " + description(q2, "version", false) + '\n'
            << QByteArray();
        QTest::newRow("commands in any case; unknown names, the others still told")
            << QStringList{u"--game"_s, q, u"sya"_s, u"-attack"_s, u"cl_maxfps"_s, u"+FORWARD"_s} << 1
            << "-attack: command: " + description(q, "-attack", true) +
                   "\n+forward: command: " + description(q, "+forward", true) + '\n'
            << "vbu-cfg describe: 'sya' is not a command or variable of Quake; did you mean 'say'?\nvbu-cfg "
               "describe: 'cl_maxfps' is not a command or variable of Quake; no known name is spelled like it.\n"_ba;
        QTest::newRow("a port's commands as spelled")
            << QStringList{u"--game"_s, u"q2pro"_s, u"Use"_s} << 1 << QByteArray()
            << "vbu-cfg describe: 'Use' is not a command or variable of Q2PRO; did you mean 'use'?\n"_ba;
        QTest::newRow("unknown profile")
            << QStringList{u"--game"_s, u"quake3"_s, u"fov"_s} << 2 << QByteArray()
            << "vbu-cfg describe: unknown game profile 'quake3'; choose q2pro, quake, quake2, quakespasm, both.\n"_ba;
        QTest::newRow("no name") << QStringList{u"--game"_s, q} << 2 << QByteArray()
                                 << "usage: vbu-cfg describe [--game PROFILE] NAME...\n"_ba;
    }
    void describe()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QBuffer outBuffer;
        QBuffer errBuffer;
        outBuffer.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        vbu::cli::Io io{outBuffer, errBuffer};
        QCOMPARE(vbu::cli::run(QStringList{u"describe"_s} + args, io), code);
        QCOMPARE(outBuffer.data(), out);
        QCOMPARE(errBuffer.data(), err);
    }
};

QTEST_GUILESS_MAIN(TestGameProfiles)
#include "tst_gameprofiles.moc"
