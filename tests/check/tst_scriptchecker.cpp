// The script check: the games' key tables, their tokenizer, and the rules judged with them.
#include "core/check/CheckProfile.h"
#include "core/check/GameKeyNames.h"
#include "core/check/GameProfiles.h"
#include "core/check/ScriptTokenizer.h"
#include "support/TestData.h"

#include <QTest>

#include <map>

using namespace Qt::StringLiterals;
using vbu::CheckFinding;
using vbu::CheckGame;
using vbu::GameKeyNames;
using vbu::ScriptChecker;
using vbu::ScriptTokenizer;
using Table = vbu::GameKeyNames::Table;

namespace {

// W(word), Q(closed quoted), U(unclosed quoted), each @offset; then #N for a comment at N.
QString render(QByteArrayView command, ScriptTokenizer::Dialect dialect)
{
    ScriptTokenizer::Tokens t;
    ScriptTokenizer::tokenize(command, dialect, t);
    QStringList parts;
    for (const ScriptTokenizer::Token &token : t.tokens) {
        const QString kind = !token.quoted ? u"W"_s : token.closed ? u"Q"_s : u"U"_s;
        parts.append(kind + u'(' + QString::fromLatin1(token.text) + u")@"_s + QString::number(token.offset));
    }
    if (t.commentAt >= 0)
        parts.append(u"#"_s + QString::number(t.commentAt));
    return parts.join(u' ');
}

// In the order of CheckRule.
const char *const ruleNames[] = {
    "ScriptTooLong",        "DuplicateBind",    "UnknownKey",          "PortOnlyKey",
    "UpperCaseKey",         "KeyNeverUsed",     "CommentRunsCommand",  "UnclosedQuote",
    "ArgumentTooLong",      "CommandTooLong",   "SetMissing",          "BindNotQuoted",
    "NameTooLong",          "NameBadCharacter", "NameFirstWordOnly",   "AliasNameTooLong",
    "LoneCarriageReturn",   "ZeroByte",         "UnknownName",         "ValueOutOfRange",
    "CommandRunsOnRelease", "AliasLoop",        "ReleaseAliasMissing", "OnlyReleaseCommands"};

// In the order of CheckGame.
const char *const gameMarks[] = {" q1", " q2", ""};

// "LINE E|W Rule", then ">OTHER" when another line is named and " q1"/" q2" when the finding
// holds for Quake or Quake 2 only.
QStringList summary(const QList<CheckFinding> &findings)
{
    QStringList out;
    for (const CheckFinding &f : findings) {
        out.append(QString::number(f.line) + (f.severity == vbu::CheckSeverity::Error ? u" E "_s : u" W "_s) +
                   QLatin1StringView(ruleNames[int(f.rule)]) +
                   (f.otherLine > 0 ? u" >"_s + QString::number(f.otherLine) : QString()) +
                   QLatin1StringView(gameMarks[int(f.game)]));
    }
    return out;
}

// A shipped profile, read once; an empty name for the games' engine rules alone.
vbu::CheckTarget target(const QString &name)
{
    static std::map<QString, vbu::CheckProfile> cache;
    if (name.isEmpty())
        return CheckGame::Both;
    QString error;
    if (!cache.contains(name))
        cache.emplace(name, vbu::CheckProfile::load(name, vbu::GameProfiles::directory(), &error).value());
    return cache.at(name).target();
}

// "echo x x x ...", exactly size bytes, of words short enough for Quake 2.
QByteArray longCommand(qsizetype size)
{
    return QByteArray("echo " + QByteArray("x ").repeated(size)).left(size);
}

} // namespace

class TestScriptChecker : public QObject
{
    Q_OBJECT

private slots:
    void keyTablesAreTheGamesOwn();
    void tokenize_data();
    void tokenize();
    void splitCommands_data();
    void splitCommands();
    void rules_data();
    void rules();
    void profileKeysAreKeys();
    void texts_data();
    void texts();
    void longLines();
};

// The program keeps its own copy of the tables; it must match the games' lists line for line.
void TestScriptChecker::keyTablesAreTheGamesOwn()
{
    for (const auto &[table, file] :
         {std::pair{Table::Quake, "quake/keys-quake.tsv"}, std::pair{Table::Quake2, "quake/keys-quake2.tsv"}}) {
        QByteArrayList fromFile;
        for (const QByteArray &line : vbu::test::readAll(vbu::test::dataPath(QString::fromLatin1(file))).split('\n')) {
            if (!line.isEmpty() && !line.startsWith('#'))
                fromFile.append(line.trimmed().replace('\t', '='));
        }
        QByteArrayList kept;
        for (const GameKeyNames::Entry &e : GameKeyNames::table(table))
            kept.append(QString(e.name).toLatin1() + '=' + QByteArray::number(e.number));
        QCOMPARE(kept, fromFile);
    }
}

void TestScriptChecker::tokenize_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("quake");
    QTest::addColumn<QString>("quake2");
    // Both games alike unless a second answer is given for Quake 2.
    const auto row = [](const char *name, const QByteArray &command, const char *quake, const char *quake2 = nullptr) {
        QTest::newRow(name) << command << QString::fromLatin1(quake) << QString::fromLatin1(quake2 ? quake2 : quake);
    };
    row("blanks, tabs and CR separate", "\tbind\ta  +attack\r", "W(bind)@1 W(a)@6 W(+attack)@9");
    row("no escape in quotes", "say \"a\\\"b\"", "W(say)@0 Q(a\\)@4 W(b\")@8");
    row("unclosed quote runs to the end", "bind a \"+attack", "W(bind)@0 W(a)@5 U(+attack)@7");
    row("quoted tokens need no blank between", "\"a\"\"b\"c", "Q(a)@0 Q(b)@3 W(c)@6");
    row("comment where a token starts", "bind a x // note", "W(bind)@0 W(a)@5 W(x)@7 #9");
    row("comment right after a quote", "\"a\"//b", "Q(a)@0 #3");
    row("slashes inside a word or quotes", "say a//b \"c // d\"", "W(say)@0 W(a//b)@4 Q(c // d)@9");
    row("single slash", "bind / x", "W(bind)@0 W(/)@5 W(x)@7");
    row("quote inside a word", "say don\"t", "W(say)@0 W(don\"t)@4");
    row("high bytes separate outside quotes", "say caf\xe9x", "W(say)@0 W(caf)@4 W(x)@8");
    row("high bytes kept inside quotes", "name \"caf\xe9\"", "W(name)@0 Q(caf\xe9)@5");
    row("zero byte ends the text", QByteArray("a b\0c", 5), "W(a)@0 W(b)@2");
    // WinQuake makes { } ( ) ' : arguments of their own; Quake 2 does not.
    row("colon", "connect host:26000", "W(connect)@0 W(host)@8 W(:)@12 W(26000)@13", "W(connect)@0 W(host:26000)@8");
    row("brackets", "say (hi)", "W(say)@0 W(()@4 W(hi)@5 W())@7", "W(say)@0 W((hi))@4");
    // After the colon an argument starts, so WinQuake sees a comment there.
    row("address", "say http://x", "W(say)@0 W(http)@4 W(:)@8 #9", "W(say)@0 W(http://x)@4");
    row("colon in quotes", "\"a:b\"", "Q(a:b)@0");
}

void TestScriptChecker::tokenize()
{
    QFETCH(QByteArray, command);
    QFETCH(QString, quake);
    QFETCH(QString, quake2);
    QCOMPARE(render(command, ScriptTokenizer::Dialect::Quake), quake);
    QCOMPARE(render(command, ScriptTokenizer::Dialect::Quake2), quake2);
}

void TestScriptChecker::splitCommands_data()
{
    // <text> per command, followed by ; when a semicolon ended it.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quoted semicolon") << "a \"b;c\";d"_ba << u"<a \"b;c\">; <d>"_s;
    QTest::newRow("quotes counted per command") << "\"a\";\"b;c\""_ba << u"<\"a\">; <\"b;c\">"_s;
    QTest::newRow("open quote keeps the rest") << "say \"x; quit"_ba << u"<say \"x; quit>"_s;
    QTest::newRow("line feed ends an open quote") << "say \"x\nquit;y"_ba << u"<say \"x> <quit>; <y>"_s;
    QTest::newRow("quote in a word counts") << "say don\"t; quit"_ba << u"<say don\"t; quit>"_s;
    QTest::newRow("empty commands kept, an empty rest left out") << ";;x;"_ba << u"<>; <>; <x>;"_s;
}

void TestScriptChecker::splitCommands()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QStringList parts;
    for (qsizetype p = 0; p < text.size();) {
        const ScriptTokenizer::Command c = ScriptTokenizer::commandAt(text, p);
        parts.append(u'<' + QString::fromLatin1(text.sliced(c.offset, c.length)) + u'>' +
                     (c.endsAtSemicolon ? u";"_s : QString()));
        p = c.next();
    }
    QCOMPARE(parts.join(u' '), expected);
}

void TestScriptChecker::rules_data()
{
    // A script is the editor's list (lines saved with CR LF) or, for a file, its bytes as on disk.
    // Without a profile, the engines' rules alone judge it for both games.
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("file");
    QTest::addColumn<QString>("expected"); // ", " between findings
    const auto row = [](const char *name, const QByteArray &script, const char *expected) {
        QTest::newRow(name) << QString() << script << false << QString::fromLatin1(expected);
    };
    const auto file = [](const char *name, const QByteArray &bytes, const char *expected) {
        QTest::newRow(name) << QString() << bytes << true << QString::fromLatin1(expected);
    };
    const auto game = [](const char *name, const QString &profile, const QByteArray &script, const char *expected) {
        QTest::newRow(name) << profile << script << false << QString::fromLatin1(expected);
    };

    row("empty script", "", "");
    // 8,192 bytes as saved, CR LF included, is one too many; the line that passes it is named once.
    row("8,192 bytes at line 128", QByteArray(QByteArray(62, 'x') + '\n').repeated(129).chopped(1),
        "128 E ScriptTooLong");
    row("8,191 bytes", QByteArray(QByteArray(62, 'x') + '\n').repeated(128).chopped(2), "");

    row("key bound again, in any case", "bind F1 help\nbind f1 score", "2 W DuplicateBind >1");
    row("two names of one key", "bind SPACE +jump\nbind \" \" +moveup", "2 W DuplicateBind >1");
    row("one-letter names keep their case", "bind a +attack\nbind A +jump", "2 W UpperCaseKey");
    row("bound twice on one line", "bind a +attack; bind a +jump", "1 W DuplicateBind >1");
    row("bound twice inside an alias", "alias t \"bind a x; bind a y\"", "1 W DuplicateBind >1");
    row("aliases that rebind a key are toggles",
        "bind b on\nalias on \"echo on; bind b off\"\nalias off \"echo off; bind b on\"", "");
    row("unbinding, showing and comments",
        "bind a x\nunbind a\nbind a y\nunbindall\nbind a z\nbind a\n//bind a w\nbind a v", "8 W DuplicateBind >5");
    row("a refused bind binds nothing", "bind a use rocket launcher\nbind a x",
        "1 E BindNotQuoted q1, 2 W DuplicateBind >1 q2");

    // Neither a prefix of a name nor an empty one is a key.
    row("unknown keys", "bind PRINTSCRN x\nunbind NOSUCHKEY\nalias a \"bind NOSUCH x\"\nbind \"\" x\nbind ENTE x",
        "1 E UnknownKey, 2 E UnknownKey, 3 E UnknownKey, 4 E UnknownKey, 5 E UnknownKey");
    row("table names in any case, single characters",
        "bind mwheelup x\nbind Semicolon y\nbind aux32 z\nbind PAUSE p\nbind 1 x\nbind [ y\nbind \"\\\" z\nbind = w",
        "");
    row("port keys", "bind MOUSE4 x\nbind mouse4 y\nbind KP_ENTER z",
        "1 E PortOnlyKey, 2 E PortOnlyKey, 2 W DuplicateBind >1, 3 E PortOnlyKey q1");
    row("keys the game keeps", "bind ESCAPE quit\nbind ` \"echo hi\"\nbind ~ kill",
        "1 W KeyNeverUsed, 2 W KeyNeverUsed q2, 3 W KeyNeverUsed q2");
    row("menu and console keys doing their job", "bind escape \"togglemenu\"\nbind ` toggleconsole", "");

    row("comments that run a command", "bind a x // note; quit\nbind b x;// b; c",
        "1 E CommentRunsCommand, 2 E CommentRunsCommand");
    row("comments that run nothing", "// a b ;  \n// c; // d\n// say \"a; quit\"\n// it's \"quoted", "");
    row("open quotes in a trailing comment, in a word", "bind a x // \"\nsay don\"t",
        "1 E UnclosedQuote q2, 2 W UnclosedQuote q1, 2 E UnclosedQuote q2");
    // Quake 2 drops the command, so nothing else in it is judged.
    row("dropped command", "bind A \"x\nbind B y",
        "1 W UnclosedQuote q1, 1 W UpperCaseKey q1, 1 E UnclosedQuote q2, 2 W UpperCaseKey");

    row("arguments of 127", "alias a \"" + QByteArray(127, 'x') + "\"\necho " + QByteArray(127, 'x'), "");
    row("arguments of 128", "alias a \"" + QByteArray(128, 'x') + "\"\necho " + QByteArray(128, 'x'),
        "1 E ArgumentTooLong q2, 2 E ArgumentTooLong q2");
    // Saved with CR LF, the game's copy of a line keeps its CR.
    row("commands of 1,023 bytes with the CR", longCommand(1022) + '\n' + QByteArray("echo xx;").repeated(200), "");
    // The game drops the command, so its binds are not judged.
    row("commands of 1,024 bytes with the CR", longCommand(1023) + "\nbind A \"" + longCommand(1030) + '"',
        "1 E CommandTooLong q1, 1 E CommandTooLong q2, 2 E CommandTooLong q1, 2 E CommandTooLong q2");

    row("set, also inside an alias and a bind",
        "set fov 90\nSET cl_run 1\nseta x 1\nfov 90\nalias z \"set fov 30; set sensitivity 2\"\nbind z \"set fov 30\"",
        "1 E SetMissing q1, 2 E SetMissing q1, 5 E SetMissing q1, 6 E SetMissing q1");

    row("names of 15, or only shown",
        "name \"ABCDEFGHIJKLMNO\"\nname \"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8d\x8e\"\nname", "");
    row("names of 16, also inside a bind", "name \"ABCDEFGHIJKLMNOP\"\nbind n \"name ABCDEFGHIJKLMNOPQ\"",
        "1 W NameTooLong, 2 W NameTooLong");
    row("names with ';' or '\\'", "name \"a;b\"\nname \"a\\b\"", "1 E NameBadCharacter q2, 2 E NameBadCharacter q2");
    row("name with a quote", "name \"a\"b\"", "1 W UnclosedQuote q1, 1 E NameBadCharacter q1, 1 E UnclosedQuote q2");
    row("name in two quotes", "name \"a\" \"b\"", "1 E NameBadCharacter q1, 1 E NameFirstWordOnly q2");
    row("unquoted names of words", "name Big Bad Wolf\nname Big Bad Wolf Of Old",
        "1 E NameFirstWordOnly q2, 2 W NameTooLong q1, 2 E NameFirstWordOnly q2");
    row("set name", "set name \"ABCDEFGHIJKLMNOPQ\"\nset name a;b u",
        "1 E SetMissing q1, 1 W NameTooLong q2, 2 E SetMissing q1");
    row("alias names of 31 and 32", "alias " + QByteArray(31, 'a') + " x\nalias " + QByteArray(32, 'a') + " x",
        "2 E AliasNameTooLong");

    // A release runs the binding again with its first '+' turned into '-', and only then.
    row("later '+' commands on release",
        "bind x \"+attack; +jump; impulse 7\"\nbind y \"impulse 7; +jump\"\nbind z \" +a; +b\"",
        "1 W CommandRunsOnRelease");
    row("only '-' commands", "bind q \"-attack; -jump\"\nbind r \"-attack; +jump\"\nbind s -\nalias t \"bind u -jump\"",
        "1 W OnlyReleaseCommands, 4 W OnlyReleaseCommands");
    // A twin counts in any case, defined later or inside another alias.
    row("'+' aliases and their twins",
        "alias +zoom \"fov 50\"\nalias +Look x\nalias -LOOK y\nalias +fire +attack\nalias t \"alias -fire -attack\"",
        "1 W ReleaseAliasMissing");
    row("alias loops",
        "alias a b; alias b a\nalias t \"echo; wait; t\"\nalias g \"g; echo y\"\nalias c \"alias c x; c\"",
        "1 E AliasLoop >1 q1, 1 E AliasLoop >1 q2, 3 E AliasLoop q1, 3 E AliasLoop q2");
    // A loop closes where its last alias is defined; a cycle that redefines its aliases is none.
    row("loops across lines, redefined away",
        "alias l1 l2\nalias l2 l1\nalias l2 x\nalias l1 l2\nalias cyc c1\n"
        "alias c1 \"fov 1; alias cyc c2\"\nalias c2 \"fov 2; alias cyc c1\"",
        "2 E AliasLoop >1 q1, 2 E AliasLoop >1 q2");

    file("line ends of all kinds; blank lines count", "\n\r\nbind a x\nbind b y\r\nbind a z", "5 W DuplicateBind >3");
    file("lone CR; one at the very end is fine", "bind a x\rbind b y\r\nbind c z\r", "1 E LoneCarriageReturn");
    file("zero byte", "bind a x\r\nbind a y"_ba + '\0' + "z\r\nbind a w\r\n", "2 W DuplicateBind >1, 2 E ZeroByte");
    file("zero byte after a line end; size counts up to it", "echo a\n"_ba + '\0' + QByteArray(9000, '\n'),
         "2 E ZeroByte");
    // A file's own line ends count: 8,192 bytes of LF lines.
    file("8,192 bytes of LF lines", QByteArray(QByteArray(63, 'x') + '\n').repeated(129), "128 E ScriptTooLong");
    file("1,023 and 1,024 bytes with LF, 1,023 with CR LF",
         longCommand(1023) + '\n' + longCommand(1024) + '\n' + longCommand(1023) + "\r\n",
         "2 E CommandTooLong q1, 2 E CommandTooLong q2, 3 E CommandTooLong q1, 3 E CommandTooLong q2");

    // With a profile: the names the game knows, the keys of ports, and the values it keeps.
    // Quake's variables match as spelled; names are looked up inside binds and aliases too.
    game("unknown names", u"quake"_s, "cl_fowardspeed 300\nSensitivity 5\nfoo; +attack\nbind x \"impulse 7; bar\"",
         "1 W UnknownName q1, 2 W UnknownName q1, 3 W UnknownName q1, 4 W UnknownName q1");
    // Made later, inside an alias, or in another case: the alias is there when the key runs it.
    game("aliases the script makes", u"quake"_s,
         "bind x +zoomin\nalias +ZOOMIN \"fov 30; alias zz fov\"\nbind y zz\nZZ\nalias -zoomin zz", "");
    // The game code's commands; set makes variables, which keep their case; $NAME is replaced.
    game("what Quake 2 knows", u"quake2"_s, "use Rocket Launcher\nset myvar 1\nmyvar 2\nMyvar 3\n$w\nbind x $w",
         "4 W UnknownName q2");
    game("Q2PRO's commands keep their case", u"q2pro"_s, "Use Railgun\nuse Railgun", "1 W UnknownName q2");
    game("set in the port that has it", u"quakespasm"_s, "set fov 90\nseta crosshair 1", "");
    game("set in Quake makes nothing", u"quake"_s, "set fov 90\nset myvar 1\nmyvar 2",
         "1 E SetMissing q1, 2 E SetMissing q1, 3 W UnknownName q1");
    // The game never runs what Escape and Quake 2's console keys are bound to.
    game("names of bindings never run", u"quake2"_s, "bind ESCAPE togglemenu\nbind ` foo\nbind ~ toggleconsole",
         "2 W KeyNeverUsed q2");
    game("values out of range", u"quake2"_s,
         "fov 200\nset viewsize 30\nset viewsize 40 u\nfov abc\ncrosshair -1\nintensity 0.5\nfov 160",
         "1 W ValueOutOfRange q2, 2 W ValueOutOfRange q2, 5 W ValueOutOfRange q2, 6 W ValueOutOfRange q2");
    game("both games, each with its own", u"both"_s, "sky\nbf\nfov 165",
         "1 W UnknownName q1, 2 W UnknownName q2, 3 W ValueOutOfRange q2");
    // A port knows the keys of its profile and no others; two names of one key are one key.
    game("keys of the QuakeSpasm family", u"quakespasm"_s,
         "bind LTRIGGER wait\nbind MOUSE6 wait\nbind kp_enter echo\nbind KP_ENTER wait",
         "2 E UnknownKey q1, 4 W DuplicateBind >3 q1");
    game("keys of Q2PRO", u"q2pro"_s, "bind JOY1 wait\nbind MWHEELLEFT wait\nbind AUX5 wait\nbind 102nd wait",
         "1 E UnknownKey q2, 3 E UnknownKey q2");
}

void TestScriptChecker::rules()
{
    QFETCH(QString, profile);
    QFETCH(QByteArray, script);
    QFETCH(bool, file);
    QFETCH(QString, expected);
    const vbu::CheckTarget t = target(profile);
    const QList<QByteArray> lines = script.isEmpty() ? QList<QByteArray>() : script.split('\n');
    const QList<CheckFinding> found = file ? ScriptChecker::checkFile(script, t) : ScriptChecker::check(lines, t);
    QCOMPARE(summary(found).join(u", "_s), expected);
    // The list is judged as Save writes it.
    if (!file)
        QCOMPARE(ScriptChecker::checkFile(QByteArray(lines.join("\r\n") + "\r\n"), t), found);
}

// Every key name a shipped profile lists is a key of its own under it; Escape's binding is
// never used.
void TestScriptChecker::profileKeysAreKeys()
{
    for (const QString &name : vbu::CheckProfile::names(vbu::GameProfiles::directory())) {
        if (name == vbu::GameProfiles::bothName)
            continue;
        const vbu::CheckTarget t = target(name);
        QList<QByteArray> lines;
        for (const vbu::GameProfile *p : {t.quakeProfile, t.quake2Profile}) {
            for (const vbu::GameProfile::Entry &e : p ? p->entries() : QList<vbu::GameProfile::Entry>()) {
                if (e.kind == vbu::GameProfile::Kind::Key)
                    lines.append("bind " + e.name + " wait");
            }
        }
        QVERIFY2(lines.size() > 70, qPrintable(name));
        for (const CheckFinding &f : ScriptChecker::check(lines, t))
            QVERIFY2(f.rule == vbu::CheckRule::KeyNeverUsed, qPrintable(name + u": "_s + f.text));
    }
}

void TestScriptChecker::texts_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unknown name") << u"quake"_s << "cl_fowardspeed 300"_ba
                                  << u"The game knows no command or variable named 'cl_fowardspeed', and the script "
                                     "makes no alias or variable of that name; did you mean 'cl_forwardspeed'?"_s;
    QTest::newRow("range") << u"quake"_s << "fov 5"_ba
                           << u"The game keeps 'fov' between 10 and 170, so it does not take 5 as written."_s;
    QTest::newRow("range with a lower end only")
        << u"quake2"_s << "intensity 0.5"_ba
        << u"The game keeps 'intensity' at 1 or more, so it does not take 0.5 as written."_s;
    QTest::newRow("capital letter") << QString() << "bind A x"_ba
                                    << u"The game sends letter keys in lower case, so 'A' is never pressed: use 'a'."_s;
    QTest::newRow("unknown key") << QString() << "bind MOUSE9 x"_ba
                                 << u"The game knows no key named 'MOUSE9', so this command does nothing."_s;
    QTest::newRow("long name") << QString() << "name \"ABCDEFGHIJKLMNOP\""_ba
                               << u"The game keeps only 15 characters of a name, so 'ABCDEFGHIJKLMNOP' becomes "
                                  "'ABCDEFGHIJKLMNO'."_s;
    QTest::newRow("button on release")
        << QString() << "bind x \"+attack; +jump\""_ba
        << u"'+jump' runs again when key 'x' is released, since the game turns only the first command of a binding "
           "into its '-' form."_s;
    QTest::newRow("loop")
        << QString() << "alias a b; alias b c; alias c a"_ba
        << u"Quake: Alias 'c' runs itself again through 'a' and 'b' without end, so the game hangs or "
           "quits when it runs.\nQuake 2: Alias 'c' runs itself again through 'a' and 'b' without end, "
           "so the game stops it at the 16th alias of a frame (\"ALIAS_LOOP_COUNT\")."_s;
    QTest::newRow("open quote") << QString() << "bind a \"x"_ba
                                << u"Quake: A double quote is not closed, so the rest of the line counts as quoted and "
                                   "a ';' there no longer ends a command.\n"
                                   "Quake 2: A double quote is not closed, so the game discards this command."_s;
}

void TestScriptChecker::texts()
{
    QFETCH(QString, profile);
    QFETCH(QByteArray, script);
    QFETCH(QString, expected);
    QStringList texts;
    for (const CheckFinding &f : ScriptChecker::check(QList<QByteArray>{script}, target(profile)))
        texts.append(f.text);
    QCOMPARE(texts.join(u'\n'), expected);
}

// Lines of hundreds of thousands of commands, each with findings of its own or none: the check
// must stay linear in them, or these take far longer than the test may run. Every comment runs
// the same command, told once; the games agree on each finding, so every one is told once for both.
void TestScriptChecker::longLines()
{
    QByteArray unknownKeys;
    for (int i = 0; i < 300'000; ++i)
        unknownKeys += "bind k" + QByteArray::number(i) + " x;";
    for (const auto &[line, findings] :
         {std::pair{unknownKeys, qsizetype(300'000)},
          std::pair{QByteArray("//;"_ba.repeated(1'000'000) + "say hi"), qsizetype(1)}}) {
        const QList<CheckFinding> found = ScriptChecker::check(QList<QByteArray>{line}, CheckGame::Both);
        QCOMPARE(found.size(), findings + 1); // and one for the script's size
        QCOMPARE(found.constFirst().rule, vbu::CheckRule::ScriptTooLong);
    }
}

QTEST_GUILESS_MAIN(TestScriptChecker)
#include "tst_scriptchecker.moc"
