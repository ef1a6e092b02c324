#include "CatalogueDump.h"
#include "support/TestData.h"

#include "core/app/AppInfo.h"
#include "core/catalogue/CatalogueFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::Catalogue;
using Status = vbu::CatalogueFile::Load::Status;
namespace CatalogueFile = vbu::CatalogueFile;

namespace {

// One column of a table in tests/data/quake; names the game matches in any case are folded.
QSet<QByteArray> column(const QString &file, int index, bool fold)
{
    QSet<QByteArray> out;
    for (const QByteArray &line : vbu::test::readAll(vbu::test::dataPath(u"quake/"_s + file)).split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() > index)
            out.insert(fold ? fields.at(index).toLower() : fields.at(index));
    }
    return out;
}

QByteArray firstWord(const QByteArray &command)
{
    const qsizetype blank = command.indexOf(' ');
    return blank < 0 ? command : command.left(blank);
}

QByteArray rest(const QByteArray &command)
{
    const qsizetype blank = command.indexOf(' ');
    return blank < 0 ? QByteArray() : command.mid(blank + 1);
}

} // namespace

class TestCatalogueFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void loadOutcome_data();
    void loadOutcome();
    void missingFile();
    void progressThroughLoad();
    void countLines();
    void binaryFile();
    void path_data();
    void path();
    void missingMessage();
    void shippedCatalogue();
    void shippedEntries_data();
    void shippedEntries();

private:
    QTemporaryDir m_dir;
};

void TestCatalogueFile::init()
{
    QVERIFY(m_dir.isValid());
}

void TestCatalogueFile::loadOutcome_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written under name unless null
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("nodes");

    QTest::newRow("plain") << u"a.dat"_s << "//1\r\n{A}\r\n[S]\r\nx\r\n"_ba << int(Status::Loaded) << 3;
    QTest::newRow("empty file") << u"b.dat"_s << ""_ba << int(Status::Loaded) << 0;
    QTest::newRow("no file") << u"none.dat"_s << QByteArray() << int(Status::Missing) << 0;
    QTest::newRow("empty name") << QString() << QByteArray() << int(Status::Missing) << 0;
    QTest::newRow("hidden file") << u".hidden.dat"_s << "{A}\r\n"_ba << int(Status::Missing) << 0;
    QTest::newRow("at the limit") << u"big.dat"_s << QByteArray(CatalogueFile::maxFileSize, ',') << int(Status::Loaded)
                                  << 0;
    QTest::newRow("over the limit") << u"huge.dat"_s << QByteArray(CatalogueFile::maxFileSize + 1, 'x')
                                    << int(Status::Unreadable) << 0;
}

void TestCatalogueFile::loadOutcome()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(int, nodes);
    const QString path = name.isEmpty() ? QString() : m_dir.filePath(name);
    if (!bytes.isNull())
        vbu::test::writeAll(path, bytes);

    const CatalogueFile::Load load = CatalogueFile::LoadCatalogue(path);
    QCOMPARE(int(load.status), status);
    QCOMPARE(load.catalogue.nodes().size(), nodes);
    QCOMPARE(load.error.isEmpty(), load.status != Status::Unreadable);
    QCOMPARE(CatalogueFile::FileExists(path), load.status != Status::Missing);
    if (load.status == Status::Loaded)
        QCOMPARE(CatalogueFile::CountLines(path), load.catalogue.recordCount());
    else
        QCOMPARE(CatalogueFile::CountLines(path), -1);
}

void TestCatalogueFile::missingFile()
{
    QVERIFY(QDir(m_dir.path()).mkdir(u"folder.dat"_s));
    for (const QString &path : {m_dir.filePath(u"folder.dat"_s), m_dir.filePath(u"gone.dat"_s)}) {
        vbu::test::RecordingProgress progress;
        const CatalogueFile::Load load = CatalogueFile::LoadCatalogue(path, &progress);
        QCOMPARE(load.status, Status::Missing);
        QVERIFY(load.catalogue.isEmpty());
        QVERIFY(load.catalogue.CatalogueVersion().isEmpty());
        // Nothing counted, and the bar left at 0.
        QCOMPARE(progress.calls, QStringList{u"value 0"_s});
    }
}

void TestCatalogueFile::progressThroughLoad()
{
    const QString path = m_dir.filePath(u"p.dat"_s);
    vbu::test::writeAll(path, "//2\r\n{A}\r\n\r\n[S]\r\nx,y\r\n"_ba);
    vbu::test::RecordingProgress progress;
    const CatalogueFile::Load load = CatalogueFile::LoadCatalogue(path, &progress);
    QCOMPARE(load.status, Status::Loaded);
    QCOMPARE(progress.calls,
             (QStringList{u"max 7"_s, u"value 1"_s, u"value 2"_s, u"value 3"_s, u"value 4"_s, u"value 0"_s}));
    QCOMPARE(load.catalogue.CatalogueVersion(), "2"_ba);
}

void TestCatalogueFile::countLines()
{
    const QString path = m_dir.filePath(u"c.dat"_s);
    // Empty records, version lines, skipped records and quoted commas as the loader sees them.
    vbu::test::writeAll(path, "//1.0\r\n\r\n{A}\r\n{A}\r\n[S]\r\n\"a,b\",c\r\n//1.1\r\nlast"_ba);
    QCOMPARE(CatalogueFile::CountLines(path), 9);
    QCOMPARE(CatalogueFile::CountLines(m_dir.filePath(u"nothing.dat"_s)), -1);
}

void TestCatalogueFile::binaryFile()
{
    QByteArray bytes(256 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(1234);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    const QString path = m_dir.filePath(u"random.bin"_s);
    vbu::test::writeAll(path, bytes);

    const CatalogueFile::Load load = CatalogueFile::LoadCatalogue(path);
    QCOMPARE(load.status, Status::Loaded);
    const Catalogue &c = load.catalogue;
    QCOMPARE(c.recordCount(), CatalogueFile::CountLines(path));
    // Whatever it made of the noise is a proper tree.
    QSet<QByteArray> keys;
    for (const Catalogue::Node &n : c.nodes()) {
        if (n.isCommand()) {
            QVERIFY(n.parent >= 0 && c.nodes().at(n.parent).isSection());
            continue;
        }
        QVERIFY(!keys.contains(n.key));
        keys.insert(n.key);
        if (n.isSection())
            QVERIFY(n.parent >= 0 && c.nodes().at(n.parent).isGroup());
        else
            QCOMPARE(n.parent, -1);
    }
}

void TestCatalogueFile::path_data()
{
    QTest::addColumn<bool>("beside");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("expectInstalled");
    QTest::newRow("neither") << false << false << false;
    QTest::newRow("beside only") << true << false << false;
    QTest::newRow("installed only") << false << true << true;
    QTest::newRow("both") << true << true << false;
}

void TestCatalogueFile::path()
{
    QFETCH(bool, beside);
    QFETCH(bool, installed);
    QFETCH(bool, expectInstalled);
    const QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkpath(u"bin"_s) && root.mkpath(u"share/vbu"_s));
    const QString bin = root.filePath(u"bin"_s);
    if (beside)
        vbu::test::writeAll(bin + u"/commands.dat"_s, "//b"_ba);
    if (installed)
        vbu::test::writeAll(root.filePath(u"share/vbu/commands.dat"_s), "//i"_ba);

    const QString found = CatalogueFile::path(bin);
    if (expectInstalled)
        QCOMPARE(QFileInfo(found).canonicalFilePath(),
                 QFileInfo(root.filePath(u"share/vbu/commands.dat"_s)).canonicalFilePath());
    else
        QCOMPARE(found, bin + u"/commands.dat"_s);
}

void TestCatalogueFile::missingMessage()
{
    QCOMPARE(CatalogueFile::missingFileMessage(u"\r\n"),
             u"Critical System File could not be found.Please reinstall and try again.\r\n"
             u"If problem persists please contact: "_s +
                 vbu::AppInfo::contactAddress());
}

void TestCatalogueFile::shippedCatalogue()
{
    // The copy the build puts beside the executables, which the program reads.
    const QString path = CatalogueFile::path(vbu::test::binDir());
    const QByteArray bytes = vbu::test::readAll(path);
    QCOMPARE(bytes, vbu::test::readAll(vbu::test::dataPath(u"../../data/commands.dat"_s)));
    QVERIFY(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n')
            QVERIFY2(i > 0 && bytes.at(i - 1) == '\r', "a line feed without its carriage return");
        if (bytes.at(i) == '\r')
            QVERIFY2(i + 1 < bytes.size() && bytes.at(i + 1) == '\n', "a carriage return without its line feed");
    }

    const CatalogueFile::Load load = CatalogueFile::LoadCatalogue(path);
    QCOMPARE(load.status, Status::Loaded);
    const Catalogue &c = load.catalogue;
    QCOMPARE(c.skippedCount(), 0);
    QCOMPARE(c.CatalogueVersion(), "1.0"_ba);
    QVERIFY(c.recordCount() <= Catalogue::maxRecords);
    QStringList groups;
    for (const int g : c.topLevel()) {
        const Catalogue::Node &group = c.nodes().at(g);
        groups.append(QString::fromLatin1(group.text));
        QVERIFY2(group.children.size() >= 10, group.text.constData());
        for (const int s : group.children) {
            const Catalogue::Node &section = c.nodes().at(s);
            // Section names carry their game, which keeps them unique across the file.
            QVERIFY2(section.text.startsWith(QByteArray(group.text + ' ')), section.text.constData());
            QVERIFY2(section.children.size() >= 3, section.text.constData());
        }
    }
    QCOMPARE(groups, (QStringList{u"Quake"_s, u"Quake2"_s}));
    QVERIFY(c.nodes().size() >= 300);
}

void TestCatalogueFile::shippedEntries_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("commands");
    QTest::newRow("Quake") << u"Quake"_s << u"commands-quake.tsv"_s;
    QTest::newRow("Quake2") << u"Quake2"_s << u"commands-quake2.tsv"_s;
}

void TestCatalogueFile::shippedEntries()
{
    QFETCH(QString, group);
    QFETCH(QString, commands);
    // Variable names are case-sensitive, so entries must match the list exactly.
    const QSet<QByteArray> names = column(commands, 2, false);
    const QSet<QByteArray> impulses = column(u"impulses-quake.tsv"_s, 0, false);
    const QSet<QByteArray> items = column(u"items-quake2.tsv"_s, 1, true);
    // Quake 2's give also takes these words besides item names.
    const QSet<QByteArray> giveWords{"all", "health", "weapons", "ammo", "armor"};

    const Catalogue c = CatalogueFile::LoadCatalogue(CatalogueFile::path(vbu::test::binDir())).catalogue;
    const int g = c.indexOfKey(QByteArray("{" + group.toLatin1()));
    QVERIFY(g >= 0);
    int checked = 0;
    for (const int s : c.nodes().at(g).children) {
        for (const int i : c.nodes().at(s).children) {
            const QByteArray text = c.nodes().at(i).text;
            const QByteArray word = firstWord(text);
            QVERIFY2(!text.isEmpty() && text == text.trimmed(), text.constData());
            QVERIFY2(names.contains(word), text.constData());
            if (group == "Quake"_L1 && word == "impulse")
                QVERIFY2(impulses.contains(rest(text)), text.constData());
            if (group == "Quake2"_L1 && (word == "use" || word == "drop"))
                QVERIFY2(items.contains(rest(text).toLower()), text.constData());
            if (group == "Quake2"_L1 && word == "give")
                QVERIFY2(items.contains(rest(text).toLower()) || giveWords.contains(rest(text)), text.constData());
            ++checked;
        }
    }
    QVERIFY(checked >= 150);
}

QTEST_GUILESS_MAIN(TestCatalogueFile)
#include "tst_cataloguefile.moc"
