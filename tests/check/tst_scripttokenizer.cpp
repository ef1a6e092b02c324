#include "core/editor/ScriptTokenizer.h"

#include <QTest>

using namespace Qt::StringLiterals;
using vbu::ScriptTokenizer;
using Dialect = ScriptTokenizer::Dialect;

namespace {

// W(word), Q(closed quoted), U(unclosed quoted), then #N for a comment at N.
QString render(const ScriptTokenizer::Tokens &t)
{
    QStringList parts;
    for (const ScriptTokenizer::Token &token : t.tokens) {
        const QString kind = !token.quoted ? u"W"_s : token.closed ? u"Q"_s : u"U"_s;
        parts.append(kind + u'(' + QString::fromLatin1(token.text) + u")@"_s + QString::number(token.offset));
    }
    if (t.commentAt >= 0)
        parts.append(u"#"_s + QString::number(t.commentAt));
    return parts.join(u' ');
}

// <text> per command, followed by ; when a semicolon ended it.
QString render(QByteArrayView text, const QList<ScriptTokenizer::Command> &commands)
{
    QStringList parts;
    for (const ScriptTokenizer::Command &c : commands)
        parts.append(u'<' + QString::fromLatin1(text.sliced(c.offset, c.length)) + u'>' +
                     (c.endsAtSemicolon ? u";"_s : QString()));
    return parts.join(u' ');
}

} // namespace

class TestScriptTokenizer : public QObject
{
    Q_OBJECT

private slots:
    void tokenize_data();
    void tokenize();
    void splitCommands_data();
    void splitCommands();
    void separators();
};

void TestScriptTokenizer::tokenize_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<bool>("quake2");
    QTest::addColumn<QString>("expected");

    auto both = [](const char *name, const QByteArray &command, const QString &expected) {
        QTest::addRow("%s/quake", name) << command << false << expected;
        QTest::addRow("%s/quake2", name) << command << true << expected;
    };
    both("words", "bind a +attack", u"W(bind)@0 W(a)@5 W(+attack)@7"_s);
    both("tabs and CR separate", "\tbind\ta  +attack\r", u"W(bind)@1 W(a)@6 W(+attack)@9"_s);
    both("empty", "", QString());
    both("blanks only", " \t\r ", QString());
    both("quoted keeps blanks and semicolons", "bind a \"say hi; quit\"", u"W(bind)@0 W(a)@5 Q(say hi; quit)@7"_s);
    both("no escape in quotes", "say \"a\\\"b\"", u"W(say)@0 Q(a\\)@4 W(b\")@8"_s);
    both("unclosed quote runs to the end", "bind a \"+attack", u"W(bind)@0 W(a)@5 U(+attack)@7"_s);
    both("quoted tokens need no blank between", "\"a\"\"b\"c", u"Q(a)@0 Q(b)@3 W(c)@6"_s);
    both("empty quoted token", "bind \"\" x", u"W(bind)@0 Q()@5 W(x)@8"_s);
    both("comment where a token starts", "bind a x // note", u"W(bind)@0 W(a)@5 W(x)@7 #9"_s);
    both("comment only", "// bind a x", u"#0"_s);
    both("comment right after a quote", "\"a\"//b", u"Q(a)@0 #3"_s);
    both("slashes inside a word", "say a//b", u"W(say)@0 W(a//b)@4"_s);
    both("slashes inside quotes", "say \"a // b\"", u"W(say)@0 Q(a // b)@4"_s);
    both("single slash", "bind / x", u"W(bind)@0 W(/)@5 W(x)@7"_s);
    both("quote inside a word", "say don\"t", u"W(say)@0 W(don\"t)@4"_s);
    both("high bytes separate outside quotes", "say caf\xe9x", u"W(say)@0 W(caf)@4 W(x)@8"_s);
    both("high bytes kept inside quotes", "name \"caf\xe9\"", u"W(name)@0 Q(caf\u00e9)@5"_s);
    both("zero byte ends the text", QByteArray("a b\0c", 5), u"W(a)@0 W(b)@2"_s);

    // WinQuake makes { } ( ) ' : arguments of their own; Quake 2 does not.
    QTest::newRow("colon/quake") << "connect host:26000"_ba << false << u"W(connect)@0 W(host)@8 W(:)@12 W(26000)@13"_s;
    QTest::newRow("colon/quake2") << "connect host:26000"_ba << true << u"W(connect)@0 W(host:26000)@8"_s;
    QTest::newRow("brackets/quake") << "say (hi)"_ba << false << u"W(say)@0 W(()@4 W(hi)@5 W())@7"_s;
    QTest::newRow("brackets/quake2") << "say (hi)"_ba << true << u"W(say)@0 W((hi))@4"_s;
    // After the colon an argument starts, so WinQuake sees a comment there.
    QTest::newRow("address/quake") << "say http://x"_ba << false << u"W(say)@0 W(http)@4 W(:)@8 #9"_s;
    QTest::newRow("address/quake2") << "say http://x"_ba << true << u"W(say)@0 W(http://x)@4"_s;
    QTest::newRow("apostrophe key/quake") << "bind ' x"_ba << false << u"W(bind)@0 W(')@5 W(x)@7"_s;
    QTest::newRow("colon in quotes/quake") << "\"a:b\""_ba << false << u"Q(a:b)@0"_s;
}

void TestScriptTokenizer::tokenize()
{
    QFETCH(QByteArray, command);
    QFETCH(bool, quake2);
    QFETCH(QString, expected);
    QCOMPARE(render(ScriptTokenizer::tokenize(command, quake2 ? Dialect::Quake2 : Dialect::Quake)), expected);
}

void TestScriptTokenizer::splitCommands_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one") << "bind a x"_ba << u"<bind a x>"_s;
    QTest::newRow("empty") << ""_ba << QString();
    QTest::newRow("semicolon") << "a;b"_ba << u"<a>; <b>"_s;
    QTest::newRow("line feed") << "a\nb"_ba << u"<a> <b>"_s;
    QTest::newRow("CR stays in the command") << "a\r\nb\r\n"_ba << u"<a\r> <b\r>"_s;
    QTest::newRow("quoted semicolon") << "a \"b;c\";d"_ba << u"<a \"b;c\">; <d>"_s;
    QTest::newRow("quotes counted per command") << "\"a\";\"b;c\""_ba << u"<\"a\">; <\"b;c\">"_s;
    QTest::newRow("open quote keeps the rest") << "say \"x; quit"_ba << u"<say \"x; quit>"_s;
    QTest::newRow("line feed ends an open quote") << "say \"x\nquit;y"_ba << u"<say \"x> <quit>; <y>"_s;
    QTest::newRow("comments are cut too") << "// a; b"_ba << u"<// a>; < b>"_s;
    QTest::newRow("quote in a word counts") << "say don\"t; quit"_ba << u"<say don\"t; quit>"_s;
    QTest::newRow("empty rest left out") << "a;"_ba << u"<a>;"_s;
    QTest::newRow("empty commands kept") << ";;x"_ba << u"<>; <>; <x>"_s;
}

void TestScriptTokenizer::splitCommands()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QCOMPARE(render(text, ScriptTokenizer::splitCommands(text)), expected);
}

void TestScriptTokenizer::separators()
{
    for (int b = 0; b < 256; ++b) {
        const bool expected = b <= 32 || b >= 128;
        QVERIFY2(ScriptTokenizer::isSeparator(char(b)) == expected, qPrintable(QString::number(b)));
    }
}

QTEST_GUILESS_MAIN(TestScriptTokenizer)
#include "tst_scripttokenizer.moc"
