#include "core/editor/ScriptChecker.h"

#include <QTest>

using namespace Qt::StringLiterals;
using vbu::CheckFinding;
using vbu::CheckGame;
using vbu::CheckRule;
using vbu::CheckSeverity;
using vbu::ScriptChecker;

Q_DECLARE_METATYPE(vbu::CheckGame)

namespace {

QString ruleName(CheckRule rule)
{
    switch (rule) {
    case CheckRule::ScriptTooLong:
        return u"ScriptTooLong"_s;
    case CheckRule::DuplicateBind:
        return u"DuplicateBind"_s;
    case CheckRule::UnknownKey:
        return u"UnknownKey"_s;
    case CheckRule::PortOnlyKey:
        return u"PortOnlyKey"_s;
    case CheckRule::UpperCaseKey:
        return u"UpperCaseKey"_s;
    case CheckRule::KeyNeverUsed:
        return u"KeyNeverUsed"_s;
    case CheckRule::CommentRunsCommand:
        return u"CommentRunsCommand"_s;
    case CheckRule::UnclosedQuote:
        return u"UnclosedQuote"_s;
    case CheckRule::ArgumentTooLong:
        return u"ArgumentTooLong"_s;
    case CheckRule::CommandTooLong:
        return u"CommandTooLong"_s;
    case CheckRule::SetMissing:
        return u"SetMissing"_s;
    case CheckRule::BindNotQuoted:
        return u"BindNotQuoted"_s;
    case CheckRule::NameTooLong:
        return u"NameTooLong"_s;
    case CheckRule::NameBadCharacter:
        return u"NameBadCharacter"_s;
    case CheckRule::NameFirstWordOnly:
        return u"NameFirstWordOnly"_s;
    case CheckRule::AliasNameTooLong:
        return u"AliasNameTooLong"_s;
    case CheckRule::LoneCarriageReturn:
        return u"LoneCarriageReturn"_s;
    case CheckRule::ZeroByte:
        return u"ZeroByte"_s;
    }
    return u"?"_s;
}

// "LINE E|W Rule", with ">OTHER" when another line is named.
QStringList summary(const QList<CheckFinding> &findings)
{
    QStringList out;
    for (const CheckFinding &f : findings) {
        QString s =
            QString::number(f.line) + (f.severity == CheckSeverity::Error ? u" E "_s : u" W "_s) + ruleName(f.rule);
        if (f.otherLine > 0)
            s += u" >"_s + QString::number(f.otherLine);
        out.append(s);
    }
    return out;
}

QList<QByteArray> linesOf(const QByteArray &script)
{
    return script.isEmpty() ? QList<QByteArray>() : script.split('\n');
}

// count lines of exactly width bytes, so that with CR LF each takes width + 2.
QByteArray filler(int count, int width)
{
    QByteArray line = "echo ";
    line += QByteArray(width - line.size(), 'x');
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += '\n';
        out += line;
    }
    return out;
}

// "echo x x x ...", exactly size bytes, of words short enough for Quake 2.
QByteArray longCommand(qsizetype size)
{
    QByteArray out = "echo";
    while (out.size() < size)
        out += out.size() % 2 == 0 ? ' ' : 'x';
    return out;
}

} // namespace

class TestScriptChecker : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void fileLines_data();
    void fileLines();
    void texts_data();
    void texts();
    void bothGamesNameTheGameWhereTheyDiffer();
    void scriptLinesAreJudgedAsSaved();
    void formatAndGameNames();
};

void TestScriptChecker::rules_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<CheckGame>("game");
    QTest::addColumn<QStringList>("expected");

    const auto Q = CheckGame::Quake;
    const auto Q2 = CheckGame::Quake2;
    auto row = [](const char *name, const QByteArray &script, CheckGame game, const QStringList &expected) {
        QTest::newRow(name) << script << game << expected;
    };
    auto inBoth = [](const char *name, const QByteArray &script, const QStringList &expected) {
        QTest::addRow("%s/quake", name) << script << CheckGame::Quake << expected;
        QTest::addRow("%s/quake2", name) << script << CheckGame::Quake2 << expected;
    };

    inBoth("clean script", "bind mouse1 \"+attack\"\nbind w +forward\nalias zoom \"fov 30\"\nsensitivity 3"_ba, {});
    inBoth("empty script", ""_ba, {});

    // 8,192 bytes as saved, CR LF included, is one too many.
    inBoth("script of 8192 bytes", filler(128, 62), {u"128 E ScriptTooLong"_s});
    inBoth("script of 8190 bytes", filler(127, 62) + '\n' + filler(1, 60), {});
    inBoth("limit passed mid-script", filler(300, 62), {u"128 E ScriptTooLong"_s});

    inBoth("key bound twice", "bind a +attack\nbind a +jump"_ba, {u"2 W DuplicateBind >1"_s});
    inBoth("key names ignore case", "bind F1 help\nbind f1 score"_ba, {u"2 W DuplicateBind >1"_s});
    inBoth("two names of one key", "bind SPACE +jump\nbind \" \" +moveup"_ba, {u"2 W DuplicateBind >1"_s});
    inBoth("one-letter names keep their case", "bind a +attack\nbind A +jump"_ba, {u"2 W UpperCaseKey"_s});
    inBoth("bound twice on one line", "bind a +attack; bind a +jump"_ba, {u"1 W DuplicateBind >1"_s});
    inBoth("bound twice inside an alias", "alias t \"bind a x; bind a y\""_ba, {u"1 W DuplicateBind >1"_s});
    inBoth("aliases that rebind a key are toggles",
           "bind b on\nalias on \"echo on; bind b off\"\nalias off \"echo off; bind b on\""_ba, {});
    inBoth("unbind in between", "bind a x\nunbind a\nbind a y"_ba, {});
    inBoth("unbindall in between", "bind a x\nunbindall\nbind a y"_ba, {});
    inBoth("showing a binding binds nothing", "bind a\nbind a y"_ba, {});
    inBoth("commented bind", "//bind a x\nbind a y"_ba, {});
    row("refused bind binds nothing/quake", "bind a use rocket launcher\nbind a x"_ba, Q, {u"1 E BindNotQuoted"_s});
    row("refused bind binds nothing/quake2", "bind a use rocket launcher\nbind a x"_ba, Q2,
        {u"2 W DuplicateBind >1"_s});

    inBoth("unknown key", "bind PRINTSCRN screenshot"_ba, {u"1 E UnknownKey"_s});
    inBoth("unknown key to unbind", "unbind NOSUCHKEY"_ba, {u"1 E UnknownKey"_s});
    inBoth("empty key name", "bind \"\" x"_ba, {u"1 E UnknownKey"_s});
    inBoth("table names in any case", "bind mwheelup x\nbind Semicolon y\nbind aux32 z\nbind PAUSE p"_ba, {});
    inBoth("single characters", "bind 1 x\nbind [ y\nbind \"\\\" z\nbind = w"_ba, {});
    inBoth("unknown key inside an alias", "alias a \"bind NOSUCH x\""_ba, {u"1 E UnknownKey"_s});
    inBoth("port key", "bind MOUSE4 x\nbind capslock y\nbind LSHOULDER z"_ba,
           {u"1 W PortOnlyKey"_s, u"2 W PortOnlyKey"_s, u"3 W PortOnlyKey"_s});
    inBoth("port key bound twice", "bind mouse5 x\nbind MOUSE5 y"_ba,
           {u"1 W PortOnlyKey"_s, u"2 W PortOnlyKey"_s, u"2 W DuplicateBind >1"_s});
    row("keypad/quake", "bind KP_ENTER x"_ba, Q, {u"1 W PortOnlyKey"_s});
    row("keypad/quake2", "bind KP_ENTER x"_ba, Q2, {});
    inBoth("capital letter", "bind A +attack"_ba, {u"1 W UpperCaseKey"_s});

    inBoth("escape rebound", "bind ESCAPE quit"_ba, {u"1 W KeyNeverUsed"_s});
    inBoth("escape to the menu", "bind escape \"togglemenu\""_ba, {});
    row("console key/quake", "bind ` \"echo hi\"\nbind ~ kill"_ba, Q, {});
    row("console key/quake2", "bind ` \"echo hi\"\nbind ~ kill"_ba, Q2, {u"1 W KeyNeverUsed"_s, u"2 W KeyNeverUsed"_s});
    row("console key to the console/quake2", "bind ` toggleconsole"_ba, Q2, {});

    inBoth("comment runs a command", "// note; quit"_ba, {u"1 E CommentRunsCommand"_s});
    inBoth("comment after a command runs one", "bind a x // note; quit"_ba, {u"1 E CommentRunsCommand"_s});
    inBoth("semicolon ends the comment with nothing after", "// a b ;  \n// c; // d"_ba, {});
    inBoth("quoted semicolon in a comment", "// say \"a; quit\""_ba, {});
    inBoth("comment after a semicolon", "bind a x;// b; c"_ba, {u"1 E CommentRunsCommand"_s});

    row("open quote/quake", "bind a \"+attack"_ba, Q, {u"1 W UnclosedQuote"_s});
    row("open quote/quake2", "bind a \"+attack"_ba, Q2, {u"1 E UnclosedQuote"_s});
    row("quote in a word/quake", "say don\"t"_ba, Q, {u"1 W UnclosedQuote"_s});
    row("quote in a word/quake2", "say don\"t"_ba, Q2, {u"1 E UnclosedQuote"_s});
    inBoth("open quote in a comment line", "// it's \"quoted"_ba, {});
    row("open quote in a trailing comment/quake", "bind a x // \""_ba, Q, {});
    row("open quote in a trailing comment/quake2", "bind a x // \""_ba, Q2, {u"1 E UnclosedQuote"_s});
    inBoth("closed quotes", "bind a \"x\"\nsay \"\""_ba, {});
    // Quake 2 drops the command, so nothing else in it is judged.
    row("dropped command/quake2", "bind A \"x\nbind B y"_ba, Q2, {u"1 E UnclosedQuote"_s, u"2 W UpperCaseKey"_s});
    row("dropped command/quake", "bind A \"x\nbind B y"_ba, Q,
        {u"1 W UnclosedQuote"_s, u"1 W UpperCaseKey"_s, u"2 W UpperCaseKey"_s});

    const QByteArray quoted127 = "alias a \"" + QByteArray(127, 'x') + '"';
    const QByteArray quoted128 = "alias a \"" + QByteArray(128, 'x') + '"';
    const QByteArray word127 = "echo " + QByteArray(127, 'x');
    const QByteArray word128 = "echo " + QByteArray(128, 'x');
    inBoth("quoted argument of 127", quoted127, {});
    row("quoted argument of 128/quake2", quoted128, Q2, {u"1 E ArgumentTooLong"_s});
    row("quoted argument of 128/quake", quoted128, Q, {});
    inBoth("word of 127", word127, {});
    row("word of 128/quake2", word128, Q2, {u"1 E ArgumentTooLong"_s});
    row("word of 128/quake", word128, Q, {});

    // Saved with CR LF, the game's copy of a line keeps its CR.
    inBoth("command of 1023 bytes with its CR", longCommand(1022), {});
    inBoth("command of 1024 bytes with its CR", longCommand(1023), {u"1 E CommandTooLong"_s});
    inBoth("long line of short commands", QByteArray(QByteArray("echo ") + QByteArray(90, 'x') + ';').repeated(20), {});
    inBoth("long command before a semicolon", longCommand(1024) + "; echo", {u"1 E CommandTooLong"_s});
    // The game drops the command, so its binds are not judged.
    inBoth("dropped long command", "bind A \"" + longCommand(1030) + '"', {u"1 E CommandTooLong"_s});

    row("set/quake", "set fov 90\nSET cl_run 1\nseta x 1\nfov 90"_ba, Q, {u"1 E SetMissing"_s, u"2 E SetMissing"_s});
    row("set/quake2", "set fov 90\nSET cl_run 1\nseta x 1\nfov 90"_ba, Q2, {});
    row("set inside an alias/quake", "alias z \"set fov 30; set sensitivity 2\""_ba, Q, {u"1 E SetMissing"_s});
    row("set inside a bind/quake", "bind z \"set fov 30\""_ba, Q, {u"1 E SetMissing"_s});

    inBoth("name of 15", "name \"ABCDEFGHIJKLMNO\""_ba, {});
    inBoth("name of 16", "name \"ABCDEFGHIJKLMNOP\""_ba, {u"1 W NameTooLong"_s});
    inBoth("name of 15 high bytes", "name \"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8d\x8e\""_ba, {});
    row("name with a semicolon/quake", "name \"a;b\""_ba, Q, {});
    row("name with a semicolon/quake2", "name \"a;b\""_ba, Q2, {u"1 E NameBadCharacter"_s});
    row("name with a backslash/quake", "name \"a\\b\""_ba, Q, {});
    row("name with a backslash/quake2", "name \"a\\b\""_ba, Q2, {u"1 E NameBadCharacter"_s});
    row("name with a quote/quake", "name \"a\"b\""_ba, Q, {u"1 W UnclosedQuote"_s, u"1 E NameBadCharacter"_s});
    row("name with a quote/quake2", "name \"a\"b\""_ba, Q2, {u"1 E UnclosedQuote"_s});
    row("name in two quotes/quake", "name \"a\" \"b\""_ba, Q, {u"1 E NameBadCharacter"_s});
    row("unquoted name of words/quake", "name Big Bad Wolf"_ba, Q, {});
    row("unquoted name of words/quake2", "name Big Bad Wolf"_ba, Q2, {u"1 E NameFirstWordOnly"_s});
    row("long name of words/quake", "name Big Bad Wolf Of Old"_ba, Q, {u"1 W NameTooLong"_s});
    row("set name/quake2", "set name \"ABCDEFGHIJKLMNOPQ\"\nset name a;b u"_ba, Q2, {u"1 W NameTooLong"_s});
    row("set name/quake", "set name \"ABCDEFGHIJKLMNOPQ\""_ba, Q, {u"1 E SetMissing"_s});
    inBoth("name inside a bind", "bind n \"name ABCDEFGHIJKLMNOPQ\""_ba, {u"1 W NameTooLong"_s});
    inBoth("name only shown", "name"_ba, {});

    row("several unquoted words/quake", "bind r use rocket launcher"_ba, Q, {u"1 E BindNotQuoted"_s});
    row("several unquoted words/quake2", "bind r use rocket launcher"_ba, Q2, {});
    inBoth("quoted words", "bind r \"use rocket launcher\""_ba, {});

    inBoth("alias name of 31", "alias " + QByteArray(31, 'a') + " x", {});
    inBoth("alias name of 32", "alias " + QByteArray(32, 'a') + " x", {u"1 E AliasNameTooLong"_s});
}

void TestScriptChecker::rules()
{
    QFETCH(QByteArray, script);
    QFETCH(CheckGame, game);
    QFETCH(QStringList, expected);
    const QList<CheckFinding> findings = ScriptChecker::check(linesOf(script), game);
    QCOMPARE(summary(findings), expected);
    for (const CheckFinding &f : findings) {
        QCOMPARE(f.game, game);
        QVERIFY(!f.text.isEmpty());
    }
}

void TestScriptChecker::fileLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("line ends of all kinds")
        << "bind a x\nbind b y\r\nbind a z"_ba << QStringList{u"3 W DuplicateBind >1"_s};
    QTest::newRow("lone CR") << "bind a x\rbind b y\r\n"_ba << QStringList{u"1 E LoneCarriageReturn"_s};
    QTest::newRow("CR at the very end") << "bind a x\r"_ba << QStringList{};
    QTest::newRow("blank lines count") << "\n\r\n\nbind a x\nbind a y\n"_ba << QStringList{u"5 W DuplicateBind >4"_s};
    QTest::newRow("zero byte") << "bind a x\r\nbind a y"_ba + '\0' + "z\r\nbind a w\r\n"_ba
                               << QStringList{u"2 W DuplicateBind >1"_s, u"2 E ZeroByte"_s};
    QTest::newRow("zero byte after a line end")
        << "bind a x\n"_ba + '\0' + "bind a y\n"_ba << QStringList{u"2 E ZeroByte"_s};
    QTest::newRow("size counts up to a zero byte")
        << "echo a\n"_ba + QByteArray(1, '\0') + QByteArray(9000, '\n') << QStringList{u"2 E ZeroByte"_s};
    // A file's own line ends count: 8,192 bytes of LF lines.
    QTest::newRow("size of LF lines") << QByteArray(QByteArray(63, 'x') + '\n').repeated(128)
                                      << QStringList{u"128 E ScriptTooLong"_s};
    QTest::newRow("size just below") << QByteArray(QByteArray(63, 'x') + '\n').repeated(127) + QByteArray(63, 'x')
                                     << QStringList{};
    QTest::newRow("LF line of 1023 bytes") << longCommand(1023) + '\n' << QStringList{};
    QTest::newRow("LF line of 1024 bytes") << longCommand(1024) + '\n' << QStringList{u"1 E CommandTooLong"_s};
    QTest::newRow("CR LF line of 1023 bytes") << longCommand(1023) + "\r\n" << QStringList{u"1 E CommandTooLong"_s};
    // Open would cut this line at its comma; the game does not.
    QTest::newRow("commas are not line ends")
        << "name \"ABCDEFGHIJ,KLMNOPQ\"\r\n"_ba << QStringList{u"1 W NameTooLong"_s};
}

void TestScriptChecker::fileLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QCOMPARE(summary(ScriptChecker::checkFile(bytes, CheckGame::Quake2)), expected);
}

void TestScriptChecker::texts_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("expected");

    QTest::newRow("key bound again") << "bind F1 help\nbind f1 score"_ba
                                     << u"Key 'f1' is bound again here, which replaces its binding from line 1."_s;
    QTest::newRow("capital letter") << "bind A x"_ba
                                    << u"The game sends letter keys in lower case, so 'A' is never pressed: use 'a'."_s;
    QTest::newRow("comment") << "// x; quit   // y"_ba
                             << u"The ';' in this comment ends the comment, so the game runs 'quit' as a command."_s;
    QTest::newRow("long name") << "name \"ABCDEFGHIJKLMNOP\""_ba
                               << u"The game keeps only 15 characters of a name, so 'ABCDEFGHIJKLMNOP' becomes "
                                  "'ABCDEFGHIJKLMNO'."_s;
    QTest::newRow("unknown key") << "bind MOUSE9 x"_ba
                                 << u"The game knows no key named 'MOUSE9', so this command does nothing."_s;
    QTest::newRow("script too long")
        << filler(128, 62)
        << u"The script is 8,192 bytes long and the game refuses a script of 8,192 bytes or more as a whole, so none "
           "of it runs (this line passes the limit; some source ports allow more)."_s;
}

void TestScriptChecker::texts()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, expected);
    const QList<CheckFinding> findings = ScriptChecker::check(linesOf(script), CheckGame::Quake2);
    QCOMPARE(findings.size(), 1);
    QCOMPARE(findings.constFirst().text, expected);
}

void TestScriptChecker::bothGamesNameTheGameWhereTheyDiffer()
{
    const QList<QByteArray> lines = linesOf("bind a x\nset fov 90\nbind a \"y\nbind KP_ENTER z\nbind a w"_ba);
    const QList<CheckFinding> both = ScriptChecker::check(lines, CheckGame::Both);
    QStringList seen;
    for (const CheckFinding &f : both)
        seen.append(QString::number(f.line) + u' ' + ScriptChecker::gameName(f.game) + u" | "_s + f.text);
    const QStringList expected = {
        u"2 Quake | Quake: The game has no 'set' command, so this does nothing: write the variable's name and then "
        "its value instead."_s,
        u"3 Quake | Quake: A double quote is not closed, so the rest of the line counts as quoted and a ';' there no "
        "longer ends a command."_s,
        u"3 Quake | Quake: Key 'a' is bound again here, which replaces its binding from line 1."_s,
        u"3 Quake 2 | Quake 2: A double quote is not closed, so the game discards this command."_s,
        u"4 Quake | Quake: Only some source ports know the key name 'KP_ENTER'; the original game refuses it."_s,
        u"5 Quake | Quake: Key 'a' is bound again here, which replaces its binding from line 3."_s,
        u"5 Quake 2 | Quake 2: Key 'a' is bound again here, which replaces its binding from line 1."_s,
    };
    QCOMPARE(seen, expected);

    // What both games agree on carries no game's name.
    const QList<CheckFinding> agreed = ScriptChecker::check(linesOf("bind a x\nbind a y"_ba), CheckGame::Both);
    QCOMPARE(agreed.size(), 1);
    QCOMPARE(agreed.constFirst().game, CheckGame::Both);
    QCOMPARE(agreed.constFirst().text, u"Key 'a' is bound again here, which replaces its binding from line 1."_s);
}

void TestScriptChecker::scriptLinesAreJudgedAsSaved()
{
    // Slices of the file's buffer and lines added later, as the editor holds them.
    const QByteArray buffer = "bind a x\r\nname \"ABCDEFGHIJKLMNOPQ\"\r\n"_ba;
    vbu::ScriptLines lines(buffer);
    lines.appendSlice(0, 8);
    lines.appendSlice(10, 24);
    lines.append("bind a y"_ba);
    lines.insert(0, filler(127, 62).split('\n').constFirst());
    for (int i = 0; i < 127; ++i)
        lines.append(filler(1, 62));
    const QList<QByteArray> list = lines.toList();
    QCOMPARE(list.at(2), "name \"ABCDEFGHIJKLMNOPQ\""_ba);

    const QList<CheckFinding> fromLines = ScriptChecker::check(lines, CheckGame::Both);
    QCOMPARE(fromLines, ScriptChecker::check(list, CheckGame::Both));
    // 64 + 10 + 26 + 10 bytes, then lines of 64: the 127th of these passes 8,192.
    QCOMPARE(summary(fromLines),
             (QStringList{u"3 W NameTooLong"_s, u"4 W DuplicateBind >2"_s, u"131 E ScriptTooLong"_s}));
}

void TestScriptChecker::formatAndGameNames()
{
    CheckFinding f;
    f.line = 12;
    f.severity = CheckSeverity::Warning;
    f.text = u"Text."_s;
    QCOMPARE(ScriptChecker::format(u"dir/a.cfg"_s, f), u"dir/a.cfg:12: warning: Text."_s);
    f.severity = CheckSeverity::Error;
    QCOMPARE(ScriptChecker::format(u"a.cfg"_s, f), u"a.cfg:12: error: Text."_s);

    QCOMPARE(ScriptChecker::gameFromName(u"quake"), CheckGame::Quake);
    QCOMPARE(ScriptChecker::gameFromName(u"quake2"), CheckGame::Quake2);
    QCOMPARE(ScriptChecker::gameFromName(u"both"), CheckGame::Both);
    QCOMPARE(ScriptChecker::gameFromName(u"Quake"), std::nullopt);
    QCOMPARE(ScriptChecker::gameFromName(u"q3"), std::nullopt);
}

QTEST_GUILESS_MAIN(TestScriptChecker)
#include "tst_scriptchecker.moc"
