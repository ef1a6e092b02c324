#include "core/funname/ConsoleFont.h"
#include "core/funname/GameFontFinder.h"

#include "FontFiles.h"
#include "support/TestData.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vbu::test::fontfiles;
using vbu::ConsoleFont;
using vbu::GameFontFinder;

namespace {

// Contents the layouts below are made of.
QByteArray content(const QString &kind)
{
    const QList<PakEntry> quake = quakeFiles();
    if (kind == "quake"_L1)
        return pak(quake);
    if (kind == "quake capitals"_L1)
        return pak({{"GFX.WAD", quake[0].data}, {"GFX/PALETTE.LMP", quake[1].data}});
    if (kind == "wad only"_L1)
        return pak({quake[0]});
    if (kind == "no conchars"_L1)
        return pak({{"gfx.wad", wad({{"conback", QByteArray(16384, 'x')}})}, quake[1]});
    if (kind == "short palette"_L1)
        return pak({quake[0], {"gfx/palette.lmp", palette().left(767)}});
    if (kind == "damaged"_L1)
        return pak(quake).chopped(1);
    if (kind == "loose wad"_L1)
        return quake[0].data;
    if (kind == "loose palette"_L1)
        return quake[1].data;
    if (kind == "quake2"_L1)
        return pak(quake2Files());
    if (kind == "quake2 capitals"_L1)
        return pak({{"PICS/CONCHARS.PCX", quake2Files()[0].data}});
    if (kind == "quake2 wide"_L1)
        return pak({{"pics/conchars.pcx", pcx(256, 128, QByteArray(256 * 128, 'w'), palette())}});
    qFatal("unknown content %s", qPrintable(kind));
}

// What the synthetic font must look like through a game's palette.
void checkGlyphs(const ConsoleFont &font, int transparent)
{
    const QByteArray sheet = conchars();
    const QByteArray colours = palette();
    for (int code = 0; code < 256; ++code) {
        const QImage &glyph = font.glyph(code);
        QCOMPARE(glyph.size(), QSize(16, 16));
        QCOMPARE(glyph.format(), QImage::Format_RGB32);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int index = quint8(sheet[((code / 16) * 8 + y / 2) * 128 + (code % 16) * 8 + x / 2]);
                const QRgb expected = index == transparent
                                          ? qRgb(0, 0, 0)
                                          : qRgb(quint8(colours[3 * index]), quint8(colours[3 * index + 1]),
                                                 quint8(colours[3 * index + 2]));
                if (glyph.pixel(x, y) != expected)
                    QFAIL(qPrintable(u"code %1 pixel %2,%3"_s.arg(code).arg(x).arg(y)));
            }
        }
    }
}

bool isBuiltIn(const ConsoleFont &font)
{
    const ConsoleFont builtIn = ConsoleFont::builtIn();
    for (int code = 0; code < 256; ++code) {
        if (font.glyph(code) != builtIn.glyph(code))
            return false;
    }
    return font.source() == ConsoleFont::Source::BuiltIn && font.path().isEmpty();
}

} // namespace

class TestFontDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layouts_data();
    void layouts();
    void truncatedPakFallsBack();
    void usualPlaces();
    void sheetMustBeWhole();

private:
    // Writes "relative path=kind" files into the temporary folder.
    void write(const QStringList &files);

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedVariable;
};

void TestFontDiscovery::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_savedVariable = qgetenv(GameFontFinder::environmentVariable);
}

void TestFontDiscovery::cleanup()
{
    qputenv(GameFontFinder::environmentVariable, m_savedVariable);
    m_dir.reset();
}

void TestFontDiscovery::write(const QStringList &files)
{
    for (const QString &file : files) {
        const QString relative = file.section(u'=', 0, 0);
        const QString path = m_dir->filePath(relative);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        vbu::test::writeAll(path, content(file.section(u'=', 1)));
    }
}

void TestFontDiscovery::layouts_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("place");  // VBU_GAME_DIR below the temporary folder
    QTest::addColumn<int>("source");     // ConsoleFont::Source
    QTest::addColumn<QString>("origin"); // the file the font came from

    const int builtIn = int(ConsoleFont::Source::BuiltIn);
    const int quake = int(ConsoleFont::Source::Quake);
    const int quake2 = int(ConsoleFont::Source::Quake2);
    const QStringList quakePak = {u"id1/pak0.pak=quake"_s};
    const QStringList quake2Pak = {u"baseq2/pak0.pak=quake2"_s};

    QTest::newRow("quake base") << quakePak << u""_s << quake << u"id1/pak0.pak"_s;
    QTest::newRow("quake folder") << quakePak << u"id1"_s << quake << u"id1/pak0.pak"_s;
    QTest::newRow("quake pak") << quakePak << u"id1/pak0.pak"_s << quake << u"id1/pak0.pak"_s;
    QTest::newRow("capitals on disk") << QStringList{u"ID1/PAK0.PAK=quake"_s} << u""_s << quake << u"ID1/PAK0.PAK"_s;
    QTest::newRow("quake2 base") << quake2Pak << u""_s << quake2 << u"baseq2/pak0.pak"_s;
    QTest::newRow("quake2 folder") << quake2Pak << u"baseq2"_s << quake2 << u"baseq2/pak0.pak"_s;
    QTest::newRow("quake2 pak") << quake2Pak << u"baseq2/pak0.pak"_s << quake2 << u"baseq2/pak0.pak"_s;
    QTest::newRow("quake2 capitals") << QStringList{u"BaseQ2/Pak0.pak=quake2 capitals"_s} << u""_s << quake2
                                     << u"BaseQ2/Pak0.pak"_s;
    QTest::newRow("mod folder") << QStringList{u"mymod/pak0.pak=quake2"_s} << u"mymod"_s << quake2
                                << u"mymod/pak0.pak"_s;
    QTest::newRow("both games") << quakePak + quake2Pak << u""_s << quake << u"id1/pak0.pak"_s;
    QTest::newRow("damaged quake") << QStringList{u"id1/pak0.pak=damaged"_s} + quake2Pak << u""_s << quake2
                                   << u"baseq2/pak0.pak"_s;
    QTest::newRow("later pak first") << QStringList{u"id1/pak0.pak=quake"_s, u"id1/pak1.pak=wad only"_s} << u""_s
                                     << quake << u"id1/pak1.pak"_s;
    QTest::newRow("numbering gap") << QStringList{u"id1/pak0.pak=quake"_s, u"id1/pak2.pak=wad only"_s} << u""_s << quake
                                   << u"id1/pak0.pak"_s;
    QTest::newRow("damaged later pak") << QStringList{u"id1/pak0.pak=quake"_s, u"id1/pak1.pak=damaged"_s} << u""_s
                                       << quake << u"id1/pak0.pak"_s;
    QTest::newRow("loose files") << QStringList{u"id1/GFX.WAD=loose wad"_s, u"id1/Gfx/Palette.LMP=loose palette"_s}
                                 << u"id1"_s << quake << u"id1/GFX.WAD"_s;
    QTest::newRow("pak before loose") << QStringList{u"id1/gfx.wad=loose wad"_s, u"id1/pak0.pak=quake"_s} << u""_s
                                      << quake << u"id1/pak0.pak"_s;

    QTest::newRow("quake names as spelt") << QStringList{u"id1/pak0.pak=quake capitals"_s} << u""_s << builtIn << u""_s;
    QTest::newRow("no conchars") << QStringList{u"id1/pak0.pak=no conchars"_s} << u""_s << builtIn << u""_s;
    QTest::newRow("short palette") << QStringList{u"id1/pak0.pak=short palette"_s} << u""_s << builtIn << u""_s;
    QTest::newRow("no palette") << QStringList{u"id1/pak0.pak=wad only"_s} << u""_s << builtIn << u""_s;
    QTest::newRow("quake2 not 128") << QStringList{u"baseq2/pak0.pak=quake2 wide"_s} << u""_s << builtIn << u""_s;
    QTest::newRow("quake pak in quake2 folder")
        << QStringList{u"baseq2/pak0.pak=quake"_s} << u"baseq2"_s << builtIn << u""_s;
    QTest::newRow("nothing there") << QStringList{} << u"missing"_s << builtIn << u""_s;
    QTest::newRow("empty folder") << QStringList{} << u""_s << builtIn << u""_s;
}

void TestFontDiscovery::layouts()
{
    QFETCH(QStringList, files);
    QFETCH(QString, place);
    QFETCH(int, source);
    QFETCH(QString, origin);
    write(files);
    qputenv(GameFontFinder::environmentVariable, QFile::encodeName(m_dir->filePath(place)));

    const ConsoleFont font = ConsoleFont::load();
    QCOMPARE(int(font.source()), source);
    if (font.source() == ConsoleFont::Source::BuiltIn) {
        QVERIFY(isBuiltIn(font));
        return;
    }
    QCOMPARE(font.path(), m_dir->filePath(origin));
    checkGlyphs(font, font.source() == ConsoleFont::Source::Quake ? 0 : 255);
}

// A pak cut anywhere loses its directory (or its last entry's bytes): the built-in font.
void TestFontDiscovery::truncatedPakFallsBack()
{
    const QByteArray whole = content(u"quake"_s);
    const QString path = m_dir->filePath(u"pak0.pak"_s);
    qputenv(GameFontFinder::environmentVariable, QFile::encodeName(path));
    const qsizetype directory = whole.size() - 2 * 64;
    for (qsizetype cut = 0; cut < whole.size(); cut += cut < 64 || cut >= directory - 64 ? 1 : 97) {
        vbu::test::writeAll(path, whole.left(cut));
        if (ConsoleFont::load().source() != ConsoleFont::Source::BuiltIn)
            QFAIL(qPrintable(u"a pak cut at %1 gave a font"_s.arg(cut)));
    }
    vbu::test::writeAll(path, whole);
    QCOMPARE(ConsoleFont::load().source(), ConsoleFont::Source::Quake);
}

// Without the variable the usual install places are searched, Quake's before Quake 2's.
void TestFontDiscovery::usualPlaces()
{
    if (QFileInfo::exists(u"/usr/share/games/quake"_s) || QFileInfo::exists(u"/usr/share/games/quake2"_s))
        QSKIP("a game is installed on this machine");
    const QString home = m_dir->path();
    const QStringList places = GameFontFinder::standardPlaces(home);
    QCOMPARE(ConsoleFont::loadFrom(places).source(), ConsoleFont::Source::BuiltIn);

    write({u".yq2/baseq2/pak0.pak=quake2"_s});
    ConsoleFont font = ConsoleFont::loadFrom(places);
    QCOMPARE(font.source(), ConsoleFont::Source::Quake2);
    QCOMPARE(font.path(), home + "/.yq2/baseq2/pak0.pak"_L1);

    write({u".local/share/Steam/steamapps/common/Quake/rerelease/id1/pak0.pak=quake"_s});
    font = ConsoleFont::loadFrom(places);
    QCOMPARE(font.source(), ConsoleFont::Source::Quake);
    QCOMPARE(font.path(), home + "/.local/share/Steam/steamapps/common/Quake/rerelease/id1/pak0.pak"_L1);

    qunsetenv(GameFontFinder::environmentVariable);
    QCOMPARE(GameFontFinder::places(), GameFontFinder::standardPlaces(QDir::homePath()));
    qputenv(GameFontFinder::environmentVariable, QFile::encodeName(home));
    QCOMPARE(GameFontFinder::places(), QStringList{home});
}

void TestFontDiscovery::sheetMustBeWhole()
{
    ConsoleFont::Sheet sheet;
    sheet.pixels = conchars();
    QVERIFY(ConsoleFont::fromSheet(sheet, ConsoleFont::Source::Quake));
    sheet.pixels.chop(1);
    QVERIFY(!ConsoleFont::fromSheet(sheet, ConsoleFont::Source::Quake));
}

QTEST_MAIN(TestFontDiscovery)
#include "tst_fontdiscovery.moc"
