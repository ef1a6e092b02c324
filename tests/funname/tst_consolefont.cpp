#include "core/funname/ConsoleFont.h"
#include "core/funname/GameFontFinder.h"
#include "core/funname/PakFile.h"
#include "core/funname/PcxImage.h"
#include "core/funname/WadFile.h"

#include "FontFiles.h"
#include "support/TestData.h"

#include <QBitArray>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;
using namespace vbu::test::fontfiles;
using vbu::ConsoleFont;
using vbu::PakFile;
using vbu::PcxImage;
using vbu::WadFile;

namespace {

// The bytes with the little-endian field of size bytes at at set to value.
QByteArray patched(QByteArray bytes, qsizetype at, qint64 value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char(value >> (8 * i));
    return bytes;
}

// Two equal names, an empty entry, and a name that fills its field.
const QList<Entry> pakEntries = {{"gfx.wad", "wad bytes"},
                                 {"GFX/Palette.lmp", QByteArray(768, 'p')},
                                 {"empty", {}},
                                 {"gfx.wad", "second"},
                                 {QByteArray(56, 'n'), "x"}};

// conchars is the second lump, after 64 bytes of data; its table entry is at concharsEntry.
const QByteArray sampleWad = wad({{"conback", QByteArray(64, 'b')}, {"conchars", conchars()}});
constexpr qsizetype concharsEntry = 12 + 64 + WadFile::concharsSize + WadFile::lumpSize;

enum class Family { None, Grey, Gold, BrownRed };

// The colour family of a lit pixel, judged by hue and saturation.
Family familyOf(QRgb pixel)
{
    const QColor colour = QColor::fromRgb(pixel);
    const int hue = colour.hsvHue();
    return colour.hsvSaturation() < 20 ? Family::Grey
           : hue >= 27 && hue <= 60    ? Family::Gold
           : hue >= 0 && hue < 22      ? Family::BrownRed
                                       : Family::None;
}

// Which of the 64 font pixels of a glyph are lit.
QBitArray shape(const ConsoleFont &font, int code)
{
    QBitArray bits(64);
    for (int i = 0; i < 64; ++i)
        bits.setBit(i, (font.glyph(code).pixel(2 * (i % 8), 2 * (i / 8)) & 0xffffff) != 0);
    return bits;
}

} // namespace

// The game's console font: its files read as hostile input, found where the games are
// installed, and our own drawing when none is.
class TestConsoleFont : public QObject
{
    Q_OBJECT

private slots:
    void pakDirectory()
    {
        for (const bool directoryFirst : {false, true}) {
            const QByteArray whole = pak(pakEntries, directoryFirst);
            const std::unique_ptr<PakFile> archive = PakFile::fromBytes(whole);
            QVERIFY(archive);
            QCOMPARE(archive->entries().size(), pakEntries.size());
            for (qsizetype i = 0; i < pakEntries.size(); ++i) {
                QCOMPARE(archive->entries()[i].name, pakEntries[i].name);
                QCOMPARE(archive->read(archive->entries()[i], 1000), pakEntries[i].data);
            }
            // The first of two equal names is the one the games find.
            QCOMPARE(archive->find("gfx.wad", PakFile::Names::CaseSensitive), &archive->entries()[0]);
            QCOMPARE(archive->find("GFX.WAD", PakFile::Names::CaseSensitive), nullptr);
            QCOMPARE(archive->find("gfx/palette.lmp", PakFile::Names::CaseInsensitive), &archive->entries()[1]);
            QCOMPARE(archive->find("gfx", PakFile::Names::CaseInsensitive), nullptr);
            // An entry longer than the caller takes is not read at all.
            QCOMPARE(archive->read(archive->entries()[1], 767), std::nullopt);

            // Every shorter file either fails to open or gives each entry whole or not at all; the
            // directory must be complete for it to open.
            for (qsizetype cut = 0; cut < whole.size(); ++cut) {
                const std::unique_ptr<PakFile> part = PakFile::fromBytes(whole.left(cut));
                QCOMPARE(bool(part), directoryFirst && cut >= 12 + 64 * pakEntries.size());
                for (const PakFile::Entry &entry : part ? part->entries() : QList<PakFile::Entry>()) {
                    const std::optional<QByteArray> data = part->read(entry, 1 << 20);
                    QCOMPARE(bool(data), entry.offset + entry.length <= cut);
                    if (data)
                        QCOMPARE(*data, whole.mid(entry.offset, entry.length));
                }
            }
        }
    }

    void wadConchars()
    {
        QByteArray bytes = wad({{"conback", QByteArray(40, 'b')}, {"ConChars", conchars()}, {"x", "y"}});
        // Found in any case and whatever its type: files disagree on the type.
        bytes[12 + 40 + WadFile::concharsSize + 1 + WadFile::lumpSize + 12] = 0;
        QCOMPARE(WadFile::conchars(bytes), conchars());
        // The first conchars decides, even when it is damaged, as in the game.
        const QByteArray other = patched(conchars(), 5, 'o', 1);
        QCOMPARE(WadFile::conchars(wad({{"conchars", other}, {"conchars", conchars()}})), other);
        QCOMPARE(WadFile::conchars(wad({{"conchars", other.left(100)}, {"conchars", conchars()}})), QByteArray());
    }

    // What a loader makes of damaged bytes: 0 nothing; for a pak, 1 the directory without the
    // first gfx.wad readable, 2 that entry's bytes. The row's name begins with the format.
    void damaged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("outcome");
        const QByteArray good = pak(pakEntries);
        const qint32 entry = qFromLittleEndian<qint32>(good.constData() + 4);
        const QList<Entry> most(PakFile::maxEntries, Entry{"f", {}});
        QTest::newRow("pak magic") << patched(good, 3, 'C', 1) << 0;
        QTest::newRow("pak negative directory offset") << patched(good, 4, -64) << 0;
        QTest::newRow("pak empty directory") << patched(good, 8, 0) << 1;
        QTest::newRow("pak partial entry ignored") << patched(good + QByteArray(10, 'z'), 8, 5 * 64 + 10) << 2;
        QTest::newRow("pak entry offset negative") << patched(good, entry + 56, -1) << 1;
        QTest::newRow("pak most entries") << pak(most) << 1;
        QTest::newRow("pak one entry too many") << pak(most + QList<Entry>{{"f", {}}}) << 0;
        const QByteArray w = sampleWad;
        const qsizetype e = concharsEntry;
        QTest::newRow("wad magic") << patched(w, 3, '3', 1) << 0;
        QTest::newRow("wad negative table") << patched(w, 8, -32) << 0;
        QTest::newRow("wad disk size short") << patched(w, e + 4, 100) << 0;
        QTest::newRow("wad compressed") << patched(w, e + 13, 1, 1) << 0;
        QTest::newRow("wad data past end") << patched(w, e, w.size() - WadFile::concharsSize + 1) << 0;
        // Found by fuzzing: a lump table that starts inside the header.
        QTest::newRow("wad table inside header")
            << QByteArray::fromBase64("V0FEMgEAAAACAAAAUAAAAGNvbmNoYXJzYmEAIAAAAAL////AY29uY3Jz") << 0;
        const QByteArray p = pcx(4, 4, conchars().left(16), palette());
        QTest::newRow("pcx 3 planes") << patched(p, 65, 3, 1) << 0;
        QTest::newRow("pcx lines shorter than width") << patched(p, 66, 3, 2) << 0;
    }

    void damaged()
    {
        const QByteArrayView format = QByteArrayView(QTest::currentDataTag()).first(3);
        QFETCH(QByteArray, bytes);
        QFETCH(int, outcome);
        int got = 0;
        if (format == "wad")
            got = WadFile::conchars(bytes).isEmpty() ? 0 : 2;
        else if (format == "pcx")
            got = PcxImage::decode(bytes) ? 2 : 0;
        else if (const std::unique_ptr<PakFile> archive = PakFile::fromBytes(bytes)) {
            const PakFile::Entry *first = archive->find("gfx.wad", PakFile::Names::CaseSensitive);
            const std::optional<QByteArray> data = first ? archive->read(*first, 1 << 20) : std::nullopt;
            QVERIFY(!data || *data == pakEntries[0].data);
            got = data ? 2 : 1;
        }
        QCOMPARE(got, outcome);
    }

    // A wad's lump table is at its end: any cut loses it or part of it. A pcx's palette is the
    // last 768 bytes whatever the length, so only the cut of the marker still leaves every pixel.
    // Whole files give the font.
    void truncated()
    {
        QCOMPARE(WadFile::conchars(sampleWad), conchars());
        for (qsizetype cut = 0; cut < sampleWad.size(); ++cut) {
            if (!WadFile::conchars(QByteArrayView(sampleWad).first(cut)).isEmpty())
                QFAIL(qPrintable(u"a wad cut at %1 gave a font"_s.arg(cut)));
        }
        // Runs, and bytes that look like run counts.
        const QByteArray pixels = conchars().left(127 * 128);
        const QByteArray whole = pcx(127, 128, pixels, palette(), 130); // rows padded past an odd width
        for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
            const std::optional<PcxImage> image = PcxImage::decode(QByteArrayView(whole).first(cut));
            if (image.has_value() != (cut >= whole.size() - 1))
                QFAIL(qPrintable(u"a pcx cut at %1 of %2"_s.arg(cut).arg(whole.size())));
            if (!image)
                continue;
            QCOMPARE(image->width, 127);
            QCOMPARE(image->height, 128);
            QCOMPARE(image->pixels, pixels);
        }
        QCOMPARE(PcxImage::decode(whole)->palette[0], qRgb(0, 255, 0));
        QCOMPARE(PcxImage::decode(whole)->palette[200], qRgb(200, 55, (200 * 7) & 0xff));
        // The largest picture.
        const QByteArray largest = conchars().repeated(19).left(639 * 479);
        QCOMPARE(PcxImage::decode(pcx(639, 479, largest, palette()))->pixels, largest);
    }

    void gameFont_data()
    {
        QTest::addColumn<QByteArrayList>("files"); // path, bytes, path, bytes...
        QTest::addColumn<QString>("place");        // VBU_GAME_DIR below the temporary folder
        QTest::addColumn<int>("source");           // ConsoleFont::Source; 0 the built-in font
        QTest::addColumn<QString>("origin");       // the file the font came from
        using L = QByteArrayList;
        const QList<Entry> q = quakeFiles();
        const QByteArray quake = pak(q);
        const QByteArray sheet = pcx(128, 128, conchars(), palette());
        const QByteArray quake2 = pak({{"pics/conchars.pcx", sheet}});
        const QByteArray wide = pak({{"pics/conchars.pcx", pcx(256, 128, conchars().repeated(2), palette())}});
        const QByteArray capitals = pak({{"GFX.WAD", q[0].data}, {"GFX/PALETTE.LMP", q[1].data}});
        const QByteArray wadOnly = pak({q[0]});
        const QByteArray damaged = quake.chopped(1);
        const int q1 = int(ConsoleFont::Source::Quake);
        const int q2 = int(ConsoleFont::Source::Quake2);
        QTest::newRow("quake base") << L{"id1/pak0.pak", quake} << u""_s << q1 << u"id1/pak0.pak"_s;
        QTest::newRow("quake folder") << L{"id1/pak0.pak", quake} << u"id1"_s << q1 << u"id1/pak0.pak"_s;
        QTest::newRow("quake pak") << L{"id1/pak0.pak", quake} << u"id1/pak0.pak"_s << q1 << u"id1/pak0.pak"_s;
        QTest::newRow("quake2 capitals") << L{"BaseQ2/Pak0.pak", pak({{"PICS/CONCHARS.PCX", sheet}})} << u""_s << q2
                                         << u"BaseQ2/Pak0.pak"_s;
        QTest::newRow("both games") << L{"id1/pak0.pak", quake, "baseq2/pak0.pak", quake2} << u""_s << q1
                                    << u"id1/pak0.pak"_s;
        QTest::newRow("damaged quake") << L{"id1/pak0.pak", damaged, "baseq2/pak0.pak", quake2} << u""_s << q2
                                       << u"baseq2/pak0.pak"_s;
        QTest::newRow("later pak first") << L{"id1/pak0.pak", quake, "id1/pak1.pak", wadOnly} << u""_s << q1
                                         << u"id1/pak1.pak"_s;
        QTest::newRow("loose files") << L{"id1/GFX.WAD", q[0].data, "id1/Gfx/Palette.LMP", q[1].data} << u"id1"_s << q1
                                     << u"id1/GFX.WAD"_s;
        QTest::newRow("quake names as spelt") << L{"id1/pak0.pak", capitals} << u""_s << 0 << u""_s;
        QTest::newRow("no palette") << L{"id1/pak0.pak", wadOnly} << u""_s << 0 << u""_s;
        QTest::newRow("quake2 not 128") << L{"baseq2/pak0.pak", wide} << u""_s << 0 << u""_s;
        QTest::newRow("nothing there") << L{} << u"missing"_s << 0 << u""_s;
    }

    // The font the editor finds in a place, or the built-in one when nothing there serves.
    void gameFont()
    {
        QFETCH(QByteArrayList, files);
        QFETCH(QString, place);
        QFETCH(int, source);
        QFETCH(QString, origin);
        QTemporaryDir dir;
        for (qsizetype i = 0; i < files.size(); i += 2) {
            const QString path = dir.filePath(QString::fromLatin1(files[i]));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            vbu::test::writeAll(path, files[i + 1]);
        }
        qputenv(vbu::GameFontFinder::environmentVariable, QFile::encodeName(dir.filePath(place)));
        const ConsoleFont font = ConsoleFont::load();
        QCOMPARE(int(font.source()), source);
        QCOMPARE(font.path(), origin.isEmpty() ? QString() : dir.filePath(origin));
        const ConsoleFont builtIn = ConsoleFont::builtIn();
        const QByteArray sheet = conchars();
        const auto colours = *ConsoleFont::paletteFromRgb(palette());
        const int transparent = font.source() == ConsoleFont::Source::Quake ? 0 : 255;
        for (int code = 0; code < 256; ++code) {
            const QImage &glyph = font.glyph(code);
            if (font.source() == ConsoleFont::Source::BuiltIn) {
                QCOMPARE(glyph, builtIn.glyph(code));
                continue;
            }
            QCOMPARE(glyph.size(), QSize(16, 16));
            QCOMPARE(glyph.format(), QImage::Format_RGB32);
            // The synthetic font through the game's palette, every pixel doubled.
            for (int pixel = 0; pixel < 256; ++pixel) {
                const int x = pixel % 16;
                const int y = pixel / 16;
                const int i = quint8(sheet[((code / 16) * 8 + y / 2) * 128 + (code % 16) * 8 + x / 2]);
                if (glyph.pixel(x, y) != (i == transparent ? qRgb(0, 0, 0) : colours[i]))
                    QFAIL(qPrintable(u"code %1 pixel %2,%3"_s.arg(code).arg(x).arg(y)));
            }
        }
    }

    // Every code of the built-in font: drawn unless a blank, in its colour family, and sharing
    // the shapes it should.
    void builtInFont()
    {
        const ConsoleFont font = ConsoleFont::builtIn();
        for (int code = 0; code < ConsoleFont::glyphCount; ++code) {
            const int base = code & 0x7f;
            QCOMPARE(shape(font, code).count(true) == 0, base == ' ');
            // The whole second set brown-red, the gold digits too; in the first set the text and
            // the brackets grey; the other symbols have colours of their own.
            const bool digit = base >= 18 && base <= 27;
            const Family family = code >= 128                              ? Family::BrownRed
                                  : digit                                  ? Family::Gold
                                  : base >= 32 || base == 16 || base == 17 ? Family::Grey
                                                                           : Family::None;
            for (int pixel = 0; pixel < 256 && family != Family::None; ++pixel) {
                const QRgb rgb = font.glyph(code).pixel(pixel % 16, pixel / 16);
                if ((rgb & 0xffffff) != 0 && familyOf(rgb) != family)
                    QFAIL(qPrintable(u"code %1 has a pixel of colour %2"_s.arg(code).arg(rgb, 6, 16)));
            }
            QCOMPARE(shape(font, code), shape(font, base));
            if (base >= 'a' && base <= 'z')
                QCOMPARE(shape(font, code), shape(font, base - 'a' + 'A'));
            if (digit)
                QCOMPARE(shape(font, code), shape(font, base - 18 + '0'));
        }
        // A char from a line serves as its code.
        QCOMPARE(font.glyph("\xc1"[0]), font.glyph(0xc1));
    }
};

QTEST_MAIN(TestConsoleFont)
#include "tst_consolefont.moc"
