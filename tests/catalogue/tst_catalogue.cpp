#include "support/TestData.h"

#include "core/catalogue/CatalogueFile.h"
#include "core/catalogue/CatalogueProgress.h"
#include "core/catalogue/CatalogueRecords.h"
#include "core/catalogue/CatalogueUpdate.h"
#include "core/catalogue/UpdateFetcher.h"

#include <QDir>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::Catalogue;
using vbu::CatalogueUpdate::Problem;
using Status = vbu::CatalogueFile::Load::Status;
namespace CatalogueFile = vbu::CatalogueFile;
namespace update = vbu::CatalogueUpdate;

namespace {

// The version, "|", then the nodes in tree order, each followed by its children in brackets:
// "1.3|A(S(x,y)),B" for a group A holding a section S with two commands, and a group B.
QByteArray dump(const Catalogue &c)
{
    QByteArray out = c.catalogueVersion() + '|';
    const QList<int> order = c.treeOrder();
    int level = 0;
    for (qsizetype k = 0; k < order.size(); ++k) {
        const int depth = c.depth(order.at(k));
        out += depth > level ? QByteArray("(") : QByteArray(level - depth, ')') + (k > 0 ? "," : "");
        out += c.nodes().at(order.at(k)).text;
        level = depth;
    }
    return out + QByteArray(level, ')');
}

// Keeps the last maximum and value it was given.
struct LastProgress final : vbu::CatalogueProgress
{
    void setMaximum(int m) override { maximum = m; }
    void setValue(int v) override { value = v; }
    int maximum = -1;
    int value = -1;
};

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void records_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArrayList>("expected");
        using L = QByteArrayList;
        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("CR LF, LF, CR, no line end at the end") << "a\r\nb\nc\rd"_ba << L{"a", "b", "c", "d"};
        QTest::newRow("LF CR is two line ends") << "a\n\rb"_ba << L{"a", "", "b"};
        QTest::newRow("comma splits, even at the end") << "say hello, world,"_ba << L{"say hello", "world", ""};
        QTest::newRow("text after the closing quote is dropped") << "\"a,b\" tail,c"_ba << L{"a,b", "c"};
        QTest::newRow("quoted record runs across line ends") << "\"a,\r\nb\" tail\nc"_ba << L{"a,\r\nb", "c"};
        QTest::newRow("unclosed quote runs to the end of the last line")
            << "x\n\"a,b\r\nc\r\n"_ba << L{"x", "a,b\r\nc"};
        QTest::newRow("quote inside a plain record") << "say \"hi\", x"_ba << L{"say \"hi\"", "x"};
        QTest::newRow("leading blanks go, trailing stay") << "  \t a  ,   b \r\n   \r\nx"_ba << L{"a  ", "b ", "", "x"};
        QTest::newRow("high bytes, NUL") << QByteArray("\xe9\x80\x00z\r\n", 6) << L{QByteArray("\xe9\x80\x00z", 4)};
    }

    void records()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArrayList, expected);
        QByteArrayList all;
        vbu::CatalogueRecords records(bytes);
        for (QByteArrayView r; records.next(r);)
            all.append(r.toByteArray());
        QCOMPARE(all, expected);
        QCOMPARE(vbu::CatalogueRecords::count(bytes), expected.size());
        QCOMPARE(Catalogue::parse(bytes).recordCount(), expected.size());
    }

    // Records that would break the tree are skipped and counted; a group or section named again
    // takes the records after it in, wherever it stands.
    void tree_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<int>("skipped");
        QTest::newRow("later version wins, blanks kept") << "//1.0\n{A}\n// 1.3 \n"_ba << QByteArray(" 1.3 |A") << 0;
        QTest::newRow("version with a comma is cut") << "{A}\n[S]\n//1,5\n"_ba << QByteArray("1|A(S(5))") << 0;
        QTest::newRow("slash, inner brackets")
            << "{G}\n[S]\n/x\na{b\nx[y]\n"_ba << QByteArray("|G(S(/x,a{b,x[y]))") << 0;
        QTest::newRow("group keeps the section") << "{A}\n[S]\na\n{B}\nb\n"_ba << QByteArray("|A(S(a,b)),B") << 0;
        QTest::newRow("enclosures lose their last byte") << "{Weapons\n[Axe)\n"_ba << QByteArray("|Weapon(Axe)") << 0;
        QTest::newRow("empty names") << "{}\n[]\nx\n"_ba << QByteArray("|((x))") << 0;
        QTest::newRow("blanks and empty lines") << "\n  {A}\n\n\t[S]\n   x\n\n"_ba << QByteArray("|A(S(x))") << 0;
        QTest::newRow("case, shared names") << "{a}\n{A}\n[s]\n[A]\n"_ba << QByteArray("|a,A(s,A)") << 0;
        QTest::newRow("repeated group") << "{A}\n[S]\na\n{A}\n[T]\nb\n"_ba << QByteArray("|A(S(a),T(b))") << 1;
        QTest::newRow("repeated section")
            << "{A}\n[S]\na\n{B}\n[T]\nb\n[S]\nc\n"_ba << QByteArray("|A(S(a,c)),B(T(b))") << 1;
        QTest::newRow("section before any group") << "[S]\nx\n{A}\ny\n[T]\nz\n"_ba << QByteArray("|A(T(z))") << 3;
        QTest::newRow("command before any section") << "x\n{A}\ny\n[S]\nz\n"_ba << QByteArray("|A(S(z))") << 2;
        QTest::newRow("one-character group") << "{A}\n[S]\n{\n[T]\na\n"_ba << QByteArray("|A(S,T(a))") << 1;
        QTest::newRow("empty-named group only when written") << "[S]\n{}\n[S]\nx\n"_ba << QByteArray("|(S(x))") << 1;
    }

    void tree()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, tree);
        QFETCH(int, skipped);
        const Catalogue c = Catalogue::parse(file);
        QCOMPARE(dump(c), tree);
        QCOMPARE(c.skippedCount(), skipped);
    }

    // Progress counts nodes against the records plus one; past the limit nothing is read.
    void recordLimit()
    {
        const qsizetype limit = Catalogue::maxRecords;
        QByteArray file = "{A}\r\n[S]\r\n"_ba;
        for (qsizetype i = 2; i < limit + 5; ++i)
            file += "c" + QByteArray::number(i) + "\r\n";
        LastProgress progress;
        const Catalogue c = Catalogue::parse(QByteArray(file + "//9.9\r\n"), &progress);
        QCOMPARE(c.recordCount(), limit + 6);
        QCOMPARE(c.nodes().size(), limit);
        QCOMPARE(c.skippedCount(), 6);
        QCOMPARE(c.nodes().constLast().text, "c" + QByteArray::number(limit - 1));
        QVERIFY(c.catalogueVersion().isEmpty());
        QCOMPARE(progress.maximum, limit + 1);
        QCOMPARE(progress.value, limit);
    }

    void loadOutcome_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // written under name unless null
        QTest::addColumn<Status>("status");
        QTest::addColumn<int>("nodes");
        const qsizetype limit = CatalogueFile::maxFileSize;
        QTest::newRow("plain") << u"a.dat"_s << "//1\r\n{A}\r\n[S]\r\nx\r\n"_ba << Status::Loaded << 3;
        QTest::newRow("no file") << u"none.dat"_s << QByteArray() << Status::Missing << 0;
        QTest::newRow("a folder") << u"folder.dat/"_s << QByteArray() << Status::Missing << 0;
        QTest::newRow("name with a leading dot") << u".dot.dat"_s << "{A}\r\n"_ba << Status::Loaded << 1;
        QTest::newRow("endless /proc file") << u"/proc/self/pagemap"_s << QByteArray() << Status::Unreadable << 0;
        QTest::newRow("at the limit") << u"big.dat"_s << QByteArray(limit, ',') << Status::Loaded << 0;
        QTest::newRow("over the limit") << u"huge.dat"_s << QByteArray(limit + 1, 'x') << Status::Unreadable << 0;
    }

    void loadOutcome()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(Status, status);
        QFETCH(int, nodes);
        const QString path = name.isEmpty() ? QString() : QDir(m_dir.path()).filePath(name);
        if (name.endsWith(u'/'))
            QVERIFY(QDir().mkpath(path));
        else if (!bytes.isNull())
            vbu::test::writeAll(path, bytes);
        const CatalogueFile::Load load = CatalogueFile::loadCatalogue(path);
        QCOMPARE(load.status, status);
        QCOMPARE(load.catalogue.nodes().size(), nodes);
        QCOMPARE(load.error.isEmpty(), load.status != Status::Unreadable);
        QCOMPARE(CatalogueFile::fileExists(path), load.status != Status::Missing);
        QCOMPARE(CatalogueFile::countLines(path), load.status == Status::Loaded ? load.catalogue.recordCount() : -1);
    }

    // The list the build puts beside the programs (that it is well formed is among updateBodies):
    // every entry starts with a real command or variable of its game, names being case-sensitive.
    void shippedCatalogueNamesAreReal()
    {
        const QString path = CatalogueFile::path(vbu::test::binDir());
        QCOMPARE(vbu::test::readAll(path), vbu::test::readAll(vbu::test::dataPath(u"../../data/commands.dat"_s)));
        const Catalogue c = CatalogueFile::loadCatalogue(path).catalogue;
        QCOMPARE(c.catalogueVersion(), "1.0"_ba);
        QCOMPARE(c.topLevel(), (QList<int>{c.indexOfKey("{Quake"), c.indexOfKey("{Quake2")}));
        QHash<QByteArray, QSet<QByteArray>> names;
        for (const QByteArray game : {"Quake", "Quake2"}) {
            const QString table = u"quake/commands-"_s + QString::fromLatin1(game.toLower()) + u".tsv"_s;
            for (const QByteArray &line : vbu::test::readAll(vbu::test::dataPath(table)).split('\n'))
                names[game].insert(line.split('\t').value(2));
        }
        int checked = 0;
        for (const Catalogue::Node &n : c.nodes()) {
            if (!n.isCommand())
                continue;
            const QByteArray &game = c.nodes().at(c.nodes().at(n.parent).parent).text;
            QVERIFY2(n.text == n.text.trimmed() && names[game].contains(n.text.left(n.text.indexOf(' '))),
                     n.text.data());
            ++checked;
        }
        QVERIFY(checked >= 300);
    }

    // Scheme and host, an optional path, the trailing slashes dropped; nothing else is taken.
    void updateBaseUrl()
    {
        QCOMPARE(update::parseBaseUrl(u"  HTTPS://h:8443/vbu/lists//  "_s), QUrl(u"https://h:8443/vbu/lists"_s));
        QCOMPARE(update::documentUrl(QUrl(u"http://h/a%20b"_s), u"version.txt"_s).toString(QUrl::FullyEncoded),
                 u"http://h/a%20b/version.txt"_s);
        for (const QString &refused : {u"h/lists"_s, u"ftp://h/lists"_s, u"http:///lists"_s, u"http://h/x?a=1"_s,
                                       u"http://h/x#top"_s, u"http://h:99999"_s})
            QVERIFY2(!update::parseBaseUrl(refused), qPrintable(refused));
    }

    void updateBodies_data()
    {
        QTest::addColumn<bool>("version"); // else the catalogue
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Problem>("problem");
        QTest::newRow("version, 255 bytes") << true << QByteArray(255, '9') << Problem::None;
        QTest::newRow("version, 256 bytes") << true << QByteArray(256, '9') << Problem::TooLong;
        QTest::newRow("version, NUL") << true << QByteArray("1.\0003", 4) << Problem::Binary;
        QTest::newRow("shipped list") << false << vbu::test::readAll(CatalogueFile::path(vbu::test::binDir()))
                                      << Problem::None;
        QTest::newRow("LF line ends") << false << "{G}\n[S]\nc\n"_ba << Problem::None;
        QTest::newRow("cut inside the last line") << false << "{G}\r\n[S]\r\nc"_ba << Problem::Unended;
        QTest::newRow("cut inside the line end") << false << "{G}\r\n[S]\r\nc\r"_ba << Problem::Unended;
        QTest::newRow("cut inside a quote") << false << "{G}\r\n[S]\r\nc\r\n\"d\r\n"_ba << Problem::Unended;
        QTest::newRow("empty list") << false << QByteArray() << Problem::Empty;
        QTest::newRow("NUL in a command") << false << QByteArray("{G}\r\n[S]\r\nc\0d", 13) << Problem::Binary;
        QTest::newRow("web page") << false << "<html><body>{x}</body></html>"_ba << Problem::NoGroup;
        QTest::newRow("group only") << false << "{G}\r\n"_ba << Problem::NoSection;
        QTest::newRow("no command") << false << "{G}\r\n[S]\r\n"_ba << Problem::NoCommand;
        QTest::newRow("command before a section") << false << "{G}\r\nc\r\n[S]\r\nd\r\n"_ba << Problem::SkippedRecords;
    }

    void updateBodies()
    {
        QFETCH(bool, version);
        QFETCH(QByteArray, body);
        QFETCH(Problem, problem);
        QCOMPARE(version ? update::checkVersion(body) : update::checkCatalogue(body), problem);
        QCOMPARE(update::describe(problem).isEmpty(), problem == Problem::None);
    }

    void updateTimeoutFromTheEnvironment()
    {
        const char *variable = vbu::UpdateFetcher::timeoutVariable;
        const auto unset = qScopeGuard([&] { qunsetenv(variable); });
        QCOMPARE(vbu::UpdateFetcher().timeout(), 15000);
        qputenv(variable, "soon");
        QCOMPARE(vbu::UpdateFetcher().timeout(), 15000);
        qputenv(variable, "99999999");
        QCOMPARE(vbu::UpdateFetcher().timeout(), 600000);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
