#include "CatalogueDump.h"

#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueRecords.h"

#include <QTest>

using namespace Qt::StringLiterals;
using vbu::Catalogue;
using vbu::CatalogueRecords;
using vbu::test::dumpTree;

namespace {

QByteArray crlf(const QByteArray &lines)
{
    QByteArray out = lines;
    out.replace('\n', "\r\n");
    return out;
}

QList<QByteArray> allRecords(const QByteArray &bytes)
{
    QList<QByteArray> out;
    CatalogueRecords records(bytes);
    QByteArrayView r;
    while (records.next(r))
        out.append(r.toByteArray());
    return out;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void records_data();
    void records();
    void stripEnclosure_data();
    void stripEnclosure();
    void tree_data();
    void tree();
    void brokenFiles_data();
    void brokenFiles();
    void recordLimit();
    void progress_data();
    void progress();
    void keysAndParents();
};

void TestCatalogue::records_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("expected");
    using L = QList<QByteArray>;

    QTest::newRow("empty file") << QByteArray() << L{};
    QTest::newRow("CR LF") << "a\r\nb\r\n"_ba << L{"a", "b"};
    QTest::newRow("LF") << "a\nb\n"_ba << L{"a", "b"};
    QTest::newRow("CR") << "a\rb\r"_ba << L{"a", "b"};
    QTest::newRow("LF CR is two line ends") << "a\n\rb"_ba << L{"a", "", "b"};
    QTest::newRow("no line end at the end") << "a\r\nb"_ba << L{"a", "b"};
    QTest::newRow("empty lines") << "a\r\n\r\n\r\nb\r\n"_ba << L{"a", "", "", "b"};
    QTest::newRow("only a line end") << "\r\n"_ba << L{""};
    QTest::newRow("comma splits") << "say hello, world\r\n"_ba << L{"say hello", "world"};
    QTest::newRow("comma at line end") << "a,\r\nb"_ba << L{"a", "", "b"};
    QTest::newRow("comma at the very end") << "a,"_ba << L{"a", ""};
    QTest::newRow("two commas") << "a,,b"_ba << L{"a", "", "b"};
    QTest::newRow("quoted keeps commas") << "\"say hello, world\"\r\nx"_ba << L{"say hello, world", "x"};
    QTest::newRow("quoted then comma") << "\"a,b\",c"_ba << L{"a,b", "c"};
    QTest::newRow("text after the closing quote is dropped") << "\"a,b\" tail,c"_ba << L{"a,b", "c"};
    QTest::newRow("unclosed quote ends at the line end") << "\"a,b\r\nc"_ba << L{"a,b", "c"};
    QTest::newRow("quoted empty") << "\"\"\r\n"_ba << L{""};
    QTest::newRow("quote inside a plain record") << "say \"hi\", x"_ba << L{"say \"hi\"", "x"};
    QTest::newRow("blanks before skipped") << "  \t a,   b\r\n"_ba << L{"a", "b"};
    QTest::newRow("blanks before a quote") << "  \"a,b\""_ba << L{"a,b"};
    QTest::newRow("blanks after kept") << "a  ,b \r\n"_ba << L{"a  ", "b "};
    QTest::newRow("blank-only line") << "   \r\nx"_ba << L{"", "x"};
    QTest::newRow("high bytes and NUL pass") << QByteArray("\xe9\x80\x00z\r\n", 6) << L{QByteArray("\xe9\x80\x00z", 4)};
}

void TestCatalogue::records()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, expected);
    QCOMPARE(allRecords(bytes), expected);
    QCOMPARE(CatalogueRecords::count(bytes), expected.size());
    QCOMPARE(Catalogue::parse(bytes).recordCount(), expected.size());
}

void TestCatalogue::stripEnclosure_data()
{
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("braces") << "{Weapons}"_ba
                            << "Weapons"_ba;
    QTest::newRow("no closing brace loses a letter") << "{Weapons"_ba
                                                     << "Weapon"_ba;
    QTest::newRow("brackets") << "[Axe]"_ba
                              << "Axe"_ba;
    QTest::newRow("empty name") << "{}"_ba
                                << ""_ba;
    QTest::newRow("any last character") << "{ab)"_ba
                                        << "ab"_ba;
    QTest::newRow("one character") << "{"_ba
                                   << ""_ba;
}

void TestCatalogue::stripEnclosure()
{
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QByteArray s = in;
    QByteArray &result = vbu::StripEnclosure(s);
    QCOMPARE(&result, &s);
    QCOMPARE(s, out);
}

void TestCatalogue::tree_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("tree");
    QTest::addColumn<QByteArray>("version");

    QTest::newRow("version only") << crlf("//1.0\n") << QByteArray() << "1.0"_ba;
    QTest::newRow("no version") << crlf("{A}\n") << "{A=A@1\n"_ba << QByteArray();
    QTest::newRow("later version wins") << crlf("//1.0\n{A}\n//1.3\n") << "{A=A@1\n"_ba
                                        << "1.3"_ba;
    QTest::newRow("bare slashes give the empty version") << crlf("//1.0\n//\n") << QByteArray() << QByteArray();
    QTest::newRow("version keeps its blanks") << crlf("// 2.0 \n") << QByteArray() << " 2.0 "_ba;
    QTest::newRow("version with a comma is cut") << crlf("{A}\n[S]\n//1,5\n") << "{A=A@1\n  [S=S@1\n    -=5@3\n"_ba
                                                 << "1"_ba;
    QTest::newRow("group section command")
        << crlf("{Weapons}\n[Axe]\nimpulse 1\n") << "{Weapons=Weapons@1\n  [Axe=Axe@1\n    -=impulse 1@3\n"_ba
        << QByteArray();
    QTest::newRow("comma gives two commands")
        << crlf("{G}\n[S]\nsay hello, world\n") << "{G=G@1\n  [S=S@1\n    -=say hello@3\n    -=world@3\n"_ba
        << QByteArray();
    QTest::newRow("quoted gives one command") << crlf("{G}\n[S]\n\"say hello, world\"\n")
                                              << "{G=G@1\n  [S=S@1\n    -=say hello, world@3\n"_ba << QByteArray();
    QTest::newRow("single slash and inner brace are commands")
        << crlf("{G}\n[S]\n/x\na{b\nx[y]\n/ /1\n")
        << "{G=G@1\n  [S=S@1\n    -=/x@3\n    -=a{b@3\n    -=x[y]@3\n    -=/ /1@3\n"_ba << QByteArray();
    QTest::newRow("group does not clear the section")
        << crlf("{A}\n[S]\nfirst\n{B}\nsecond\n") << "{A=A@1\n  [S=S@1\n    -=first@3\n    -=second@3\n{B=B@1\n"_ba
        << QByteArray();
    QTest::newRow("new section goes to the new group")
        << crlf("{A}\n[S]\n{B}\n[T]\nx\n") << "{A=A@1\n  [S=S@1\n{B=B@1\n  [T=T@1\n    -=x@3\n"_ba << QByteArray();
    QTest::newRow("unclosed group loses its last letter")
        << crlf("{Weapons\n") << "{Weapon=Weapon@1\n"_ba << QByteArray();
    QTest::newRow("empty group name") << crlf("{}\n[]\nx\n") << "{=@1\n  [=@1\n    -=x@3\n"_ba << QByteArray();
    QTest::newRow("group and section may share a name")
        << crlf("{X}\n[X]\nx\n") << "{X=X@1\n  [X=X@1\n    -=x@3\n"_ba << QByteArray();
    QTest::newRow("blanks before a group line")
        << crlf("  {A}\n\t[S]\n   x\n") << "{A=A@1\n  [S=S@1\n    -=x@3\n"_ba << QByteArray();
    QTest::newRow("empty lines add nothing")
        << crlf("\n{A}\n\n[S]\n\n\nx\n\n") << "{A=A@1\n  [S=S@1\n    -=x@3\n"_ba << QByteArray();
    QTest::newRow("LF and CR files read the same") << "{A}\n[S]\rx\n"_ba
                                                   << "{A=A@1\n  [S=S@1\n    -=x@3\n"_ba << QByteArray();
    QTest::newRow("keys are case-sensitive")
        << crlf("{a}\n{A}\n[s]\n[S]\n") << "{a=a@1\n{A=A@1\n  [s=s@1\n  [S=S@1\n"_ba << QByteArray();
    QTest::newRow("high bytes kept") << crlf("{\xe9t\xe9}\n[\x80]\n\xff\n")
                                     << "{\xe9t\xe9=\xe9t\xe9@1\n  [\x80=\x80@1\n    -=\xff@3\n"_ba << QByteArray();
}

void TestCatalogue::tree()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, tree);
    QFETCH(QByteArray, version);
    const Catalogue c = Catalogue::parse(file);
    QCOMPARE(dumpTree(c), tree);
    QCOMPARE(c.CatalogueVersion(), version);
    QCOMPARE(c.skippedCount(), 0);
}

void TestCatalogue::brokenFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("tree");
    QTest::addColumn<int>("skipped");

    QTest::newRow("repeated group joins the first")
        << crlf("{A}\n[S]\na\n{A}\n[T]\nb\n") << "{A=A@1\n  [S=S@1\n    -=a@3\n  [T=T@1\n    -=b@3\n"_ba << 1;
    QTest::newRow("repeated section in another group joins the first")
        << crlf("{A}\n[S]\na\n{B}\n[S]\nb\n") << "{A=A@1\n  [S=S@1\n    -=a@3\n    -=b@3\n{B=B@1\n"_ba << 1;
    QTest::newRow("repeated section switches back")
        << crlf("{A}\n[S]\na\n[T]\nb\n[S]\nc\n") << "{A=A@1\n  [S=S@1\n    -=a@3\n    -=c@3\n  [T=T@1\n    -=b@3\n"_ba
        << 1;
    QTest::newRow("section before any group")
        << crlf("[S]\nx\n{A}\ny\n[T]\nz\n") << "{A=A@1\n  [T=T@1\n    -=z@3\n"_ba << 3;
    QTest::newRow("command before any section")
        << crlf("x\n{A}\ny\n[S]\nz\n") << "{A=A@1\n  [S=S@1\n    -=z@3\n"_ba << 2;
    QTest::newRow("one-character group changes nothing")
        << crlf("{A}\n[S]\n{\n[T]\na\n") << "{A=A@1\n  [S=S@1\n  [T=T@1\n    -=a@3\n"_ba << 1;
    QTest::newRow("one-character section changes nothing")
        << crlf("{A}\n[S]\na\n[\nb\n") << "{A=A@1\n  [S=S@1\n    -=a@3\n    -=b@3\n"_ba << 1;
    QTest::newRow("one-character lines at the start") << crlf("{\n[\n[S]\nx\n") << QByteArray() << 4;
    QTest::newRow("empty-named group only when written")
        << crlf("[S]\n{}\n[S]\nx\n") << "{=@1\n  [S=S@1\n    -=x@3\n"_ba << 1;
    QTest::newRow("quoted braces are still a group")
        << crlf("\"{A,B}\"\n\"[S]\"\nx\n") << "{A,B=A,B@1\n  [S=S@1\n    -=x@3\n"_ba << 0;
}

void TestCatalogue::brokenFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, tree);
    QFETCH(int, skipped);
    const Catalogue c = Catalogue::parse(file);
    QCOMPARE(dumpTree(c), tree);
    QCOMPARE(c.skippedCount(), skipped);
}

void TestCatalogue::recordLimit()
{
    const qsizetype limit = Catalogue::maxRecords;
    QByteArray file = "{A}\r\n[S]\r\n"_ba;
    for (qsizetype i = 2; i < limit + 5; ++i)
        file += "c" + QByteArray::number(i) + "\r\n";
    file += "//9.9\r\n";

    vbu::test::RecordingProgress progress;
    const Catalogue c = Catalogue::parse(file, &progress);
    QCOMPARE(c.recordCount(), limit + 6);
    QCOMPARE(c.nodes().size(), limit);
    QCOMPARE(c.skippedCount(), 6);
    QCOMPARE(c.nodes().constLast().text, "c" + QByteArray::number(limit - 1));
    // The version line stands past the limit and is not read.
    QVERIFY(c.CatalogueVersion().isEmpty());
    QCOMPARE(progress.calls.constFirst(), u"max %1"_s.arg(limit + 1));
    QCOMPARE(progress.calls.constLast(), u"value %1"_s.arg(limit));
}

void TestCatalogue::progress_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("empty file") << QByteArray() << QStringList{u"max 1"_s};
    QTest::newRow("nodes count, empty records and versions do not")
        << crlf("//1.0\n{A}\n\n[S]\nx,y\n//1.1\n")
        << QStringList{u"max 8"_s, u"value 1"_s, u"value 2"_s, u"value 3"_s, u"value 4"_s};
    QTest::newRow("skipped records do not advance")
        << crlf("x\n{A}\n{A}\n[S]\n{\ny\n") << QStringList{u"max 7"_s, u"value 1"_s, u"value 2"_s, u"value 3"_s};
    QTest::newRow("quoted commas are one record")
        << crlf("{A}\n[S]\n\"a,b,c\"\n") << QStringList{u"max 4"_s, u"value 1"_s, u"value 2"_s, u"value 3"_s};
}

void TestCatalogue::progress()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, calls);
    vbu::test::RecordingProgress progress;
    Catalogue::parse(file, &progress);
    QCOMPARE(progress.calls, calls);
}

void TestCatalogue::keysAndParents()
{
    const Catalogue c = Catalogue::parse(crlf("{A}\n[S]\nx\n{B}\n[T]\ny\nz\n"));
    const int a = c.indexOfKey("{A");
    const int s = c.indexOfKey("[S");
    const int t = c.indexOfKey("[T");
    QVERIFY(a >= 0 && s >= 0 && t >= 0);
    QCOMPARE(c.indexOfKey("{S"), -1);
    QCOMPARE(c.indexOfKey("[A"), -1);
    QCOMPARE(c.topLevel(), (QList<int>{a, c.indexOfKey("{B")}));
    QCOMPARE(c.nodes().at(s).parent, a);
    QCOMPARE(c.nodes().at(t).parent, c.indexOfKey("{B"));
    QCOMPARE(c.nodes().at(t).children.size(), 2);
    QVERIFY(c.nodes().at(a).isGroup() && c.nodes().at(s).isSection());
    for (const int child : c.nodes().at(t).children) {
        QVERIFY(c.nodes().at(child).isCommand());
        QCOMPARE(c.nodes().at(child).parent, t);
        QCOMPARE(c.depth(child), 2);
    }
    // File order puts every parent before its children.
    for (int i = 0; i < c.nodes().size(); ++i)
        QVERIFY(c.nodes().at(i).parent < i);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
