#include "core/funname/PakFile.h"
#include "core/funname/PcxImage.h"
#include "core/funname/WadFile.h"

#include "FontFiles.h"

#include <QTest>
#include <QtEndian>

#include <functional>

using namespace Qt::StringLiterals;
using namespace vbu::test::fontfiles;
using vbu::PakFile;
using vbu::PcxImage;
using vbu::WadFile;

namespace {

QByteArray patched(QByteArray bytes, qsizetype at, qint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

QByteArray patchedByte(QByteArray bytes, qsizetype at, char value)
{
    bytes[at] = value;
    return bytes;
}

const QList<PakEntry> pakEntries = {
    {"gfx.wad", "wad bytes"}, {"GFX/Palette.lmp", QByteArray(768, 'p')}, {"empty", {}}, {"gfx.wad", "second"}};

// The wad the conchars tests start from: conchars is the second lump, after 64 bytes of data.
QByteArray sampleWad()
{
    return wad({{"conback", QByteArray(64, 'b'), 66}, {"conchars", conchars(), 68}});
}
// Where the conchars lump entry starts in sampleWad().
constexpr qsizetype concharsEntry = 12 + 64 + WadFile::concharsSize + WadFile::lumpSize;

QByteArray pixelsOf(int width, int height)
{
    QByteArray out(qsizetype(width) * height, '\0');
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = char((i / 5) * 37 + (i % 3 == 0 ? 0xc3 : 0)); // runs and bytes that look like run counts
    return out;
}

} // namespace

class TestFontLoaders : public QObject
{
    Q_OBJECT

private slots:
    void pakDirectory_data();
    void pakDirectory();
    void pakNameFillsField();
    void pakDamaged_data();
    void pakDamaged();
    void pakEntryLimit();
    void pakTruncated_data();
    void pakTruncated();

    void wadConchars_data();
    void wadConchars();
    void wadFirstConcharsWins();
    void wadDamaged_data();
    void wadDamaged();
    void wadTruncated();

    void pcxDecodes_data();
    void pcxDecodes();
    void pcxRunsCrossRows();
    void pcxDamaged_data();
    void pcxDamaged();
    void pcxTruncated();
};

void TestFontLoaders::pakDirectory_data()
{
    QTest::addColumn<bool>("directoryFirst");
    QTest::newRow("directory last") << false;
    QTest::newRow("directory first") << true;
}

void TestFontLoaders::pakDirectory()
{
    QFETCH(bool, directoryFirst);
    const std::unique_ptr<PakFile> archive = PakFile::fromBytes(pak(pakEntries, directoryFirst));
    QVERIFY(archive);
    QCOMPARE(archive->entries().size(), pakEntries.size());
    for (qsizetype i = 0; i < pakEntries.size(); ++i) {
        QCOMPARE(archive->entries()[i].name, pakEntries[i].name);
        QCOMPARE(archive->read(archive->entries()[i], 1000), pakEntries[i].data);
    }

    using Names = PakFile::Names;
    // The first of two equal names is the one the games find.
    QCOMPARE(archive->find("gfx.wad", Names::CaseSensitive), &archive->entries()[0]);
    QCOMPARE(archive->find("GFX.WAD", Names::CaseInsensitive), &archive->entries()[0]);
    QCOMPARE(archive->find("GFX.WAD", Names::CaseSensitive), nullptr);
    QCOMPARE(archive->find("gfx/palette.lmp", Names::CaseSensitive), nullptr);
    QCOMPARE(archive->find("gfx/palette.lmp", Names::CaseInsensitive), &archive->entries()[1]);
    QCOMPARE(archive->find("gfx", Names::CaseInsensitive), nullptr);
    QCOMPARE(archive->find("gfx.wad2", Names::CaseInsensitive), nullptr);

    // An entry longer than the caller takes is not read at all.
    QCOMPARE(archive->read(archive->entries()[1], 767), std::nullopt);
}

void TestFontLoaders::pakNameFillsField()
{
    const QByteArray longName(56, 'n');
    const std::unique_ptr<PakFile> archive = PakFile::fromBytes(pak({{longName, "x"}}));
    QVERIFY(archive);
    QCOMPARE(archive->entries().at(0).name, longName);
    QCOMPARE(archive->read(archive->entries().at(0), 1), "x");
}

void TestFontLoaders::pakDamaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("readable"); // the first entry

    const QByteArray good = pak(pakEntries);
    const qint32 directory = qFromLittleEndian<qint32>(good.constData() + 4);
    const qsizetype firstEntry = directory;
    QTest::newRow("intact") << good << true << true;
    QTest::newRow("magic") << patchedByte(good, 3, 'C') << false << false;
    QTest::newRow("header only") << good.left(12) << false << false;
    QTest::newRow("short header") << good.left(11) << false << false;
    QTest::newRow("negative directory offset") << patched(good, 4, -64) << false << false;
    QTest::newRow("negative directory length") << patched(good, 8, -64) << false << false;
    QTest::newRow("directory past end") << patched(good, 4, directory + 1) << false << false;
    QTest::newRow("huge directory length") << patched(good, 8, 0x7fffffff) << false << false;
    QTest::newRow("huge directory offset") << patched(good, 4, 0x7fffffc0) << false << false;
    QTest::newRow("empty directory") << patched(good, 8, 0) << true << false;
    QTest::newRow("partial entry ignored") << patched(good + QByteArray(10, 'z'), 8, 4 * 64 + 10) << true << true;
    QTest::newRow("entry offset negative") << patched(good, firstEntry + 56, -1) << true << false;
    QTest::newRow("entry length negative") << patched(good, firstEntry + 60, -9) << true << false;
    QTest::newRow("entry past end") << patched(good, firstEntry + 56, qint32(good.size()) - 4) << true << false;
    QTest::newRow("entry offset at end") << patched(good, firstEntry + 56, qint32(good.size())) << true << false;
    QTest::newRow("entry sum overflows") << patched(patched(good, firstEntry + 56, 0x7fffffff), firstEntry + 60,
                                                    0x7fffffff)
                                         << true << false;
}

void TestFontLoaders::pakDamaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opens);
    QFETCH(bool, readable);
    const std::unique_ptr<PakFile> archive = PakFile::fromBytes(bytes);
    QCOMPARE(bool(archive), opens);
    if (!archive)
        return;
    const PakFile::Entry *first = archive->find("gfx.wad", PakFile::Names::CaseSensitive);
    if (!first) {
        QVERIFY(!readable);
        return;
    }
    const std::optional<QByteArray> data = archive->read(*first, 1 << 20);
    QCOMPARE(bool(data), readable);
    if (data)
        QCOMPARE(*data, pakEntries[0].data);
}

void TestFontLoaders::pakEntryLimit()
{
    for (const int count : {PakFile::maxEntries, PakFile::maxEntries + 1}) {
        QList<PakEntry> entries;
        for (int i = 0; i < count; ++i)
            entries.append({"f" + QByteArray::number(i), {}});
        const std::unique_ptr<PakFile> archive = PakFile::fromBytes(pak(entries));
        QCOMPARE(bool(archive), count <= PakFile::maxEntries);
    }
}

void TestFontLoaders::pakTruncated_data()
{
    pakDirectory_data();
}

// Every shorter file either fails to open or gives each entry whole or not at all.
void TestFontLoaders::pakTruncated()
{
    QFETCH(bool, directoryFirst);
    const QByteArray whole = pak(pakEntries, directoryFirst);
    const std::unique_ptr<PakFile> reference = PakFile::fromBytes(whole);
    QVERIFY(reference);
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        const std::unique_ptr<PakFile> archive = PakFile::fromBytes(whole.left(cut));
        // The directory must be complete for the pak to open.
        const bool directoryWhole = directoryFirst && cut >= 12 + 64 * pakEntries.size();
        QCOMPARE(bool(archive), directoryWhole);
        if (!archive)
            continue;
        for (const PakFile::Entry &entry : archive->entries()) {
            const std::optional<QByteArray> data = archive->read(entry, 1 << 20);
            QCOMPARE(bool(data), entry.offset + entry.length <= cut);
            if (data)
                QCOMPARE(*data, whole.mid(entry.offset, entry.length));
        }
    }
}

void TestFontLoaders::wadConchars_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("type");
    QTest::newRow("as spelt") << QByteArray("conchars") << 68;
    QTest::newRow("capitals") << QByteArray("CONCHARS") << 68;
    QTest::newRow("mixed") << QByteArray("ConChars") << 68;
    QTest::newRow("picture type") << QByteArray("conchars") << 66;
    QTest::newRow("no type") << QByteArray("conchars") << 0;
}

void TestFontLoaders::wadConchars()
{
    QFETCH(QByteArray, name);
    QFETCH(int, type);
    const QByteArray bytes = wad({{"conback", QByteArray(40, 'b'), 66}, {name, conchars(), type}, {"x", "y", 64}});
    QCOMPARE(WadFile::lumpCount(bytes), 3);
    QCOMPARE(WadFile::conchars(bytes), conchars());
    const std::optional<WadFile::Lump> lump = WadFile::lump(bytes, 1);
    QVERIFY(lump);
    QCOMPARE(lump->name, name);
    QCOMPARE(lump->type, type);
    QCOMPARE(lump->position, 12 + 40);
    QCOMPARE(WadFile::lump(bytes, 3), std::nullopt);
    QCOMPARE(WadFile::lump(bytes, -1), std::nullopt);
}

void TestFontLoaders::wadFirstConcharsWins()
{
    QByteArray other = conchars();
    other[5] = 'o';
    QCOMPARE(WadFile::conchars(wad({{"conchars", other}, {"conchars", conchars()}})), other);
    // The first one decides even when it is damaged, as in the game.
    QCOMPARE(WadFile::conchars(wad({{"conchars", other.left(100)}, {"conchars", conchars()}})), QByteArray());
}

void TestFontLoaders::wadDamaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = sampleWad();
    const qint32 table = qFromLittleEndian<qint32>(good.constData() + 8);
    QCOMPARE(table + WadFile::lumpSize, concharsEntry);
    QTest::newRow("magic") << patchedByte(good, 3, '3');
    QTest::newRow("header only") << good.left(12);
    QTest::newRow("negative count") << patched(good, 4, -1);
    QTest::newRow("huge count") << patched(good, 4, 0x7fffffff);
    QTest::newRow("count past end") << patched(good, 4, 3);
    QTest::newRow("negative table") << patched(good, 8, -32);
    QTest::newRow("table past end") << patched(good, 8, table + 1);
    QTest::newRow("huge table") << patched(good, 8, 0x7fffffff);
    QTest::newRow("no such name") << patchedByte(good, concharsEntry + 16 + 7, 'z');
    QTest::newRow("name runs on") << patchedByte(good, concharsEntry + 16 + 8, 'x');
    QTest::newRow("size short") << patched(good, concharsEntry + 8, WadFile::concharsSize - 1);
    QTest::newRow("size long") << patched(good, concharsEntry + 8, WadFile::concharsSize + 1);
    QTest::newRow("size negative") << patched(good, concharsEntry + 8, -WadFile::concharsSize);
    QTest::newRow("disk size short") << patched(good, concharsEntry + 4, 100);
    QTest::newRow("compressed") << patchedByte(good, concharsEntry + 13, 1);
    QTest::newRow("position negative") << patched(good, concharsEntry, -4);
    QTest::newRow("position past end") << patched(good, concharsEntry, qint32(good.size()));
    QTest::newRow("data past end") << patched(good, concharsEntry, qint32(good.size()) - WadFile::concharsSize + 1);
    QTest::newRow("huge position") << patched(good, concharsEntry, 0x7fffffff);
    // Found by fuzzing: a lump table that starts inside the header.
    QTest::newRow("table inside header") << QByteArray::fromBase64(
        "V0FEMgEAAAACAAAAUAAAAGNvbmNoYXJzYmEAIAAAAAL////AY29uY3Jz");
}

void TestFontLoaders::wadDamaged()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(WadFile::conchars(bytes), QByteArray());
}

// The lump table is at the end: any cut loses it or part of it.
void TestFontLoaders::wadTruncated()
{
    const QByteArray whole = sampleWad();
    QCOMPARE(WadFile::conchars(whole), conchars());
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        if (!WadFile::conchars(QByteArrayView(whole).first(cut)).isEmpty())
            QFAIL(qPrintable(u"a wad cut at %1 gave a font"_s.arg(cut)));
    }
}

void TestFontLoaders::pcxDecodes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bytesPerLine");
    QTest::newRow("font") << 128 << 128 << 128;
    QTest::newRow("padded rows") << 128 << 128 << 130;
    QTest::newRow("odd width") << 5 << 3 << 6;
    QTest::newRow("one pixel") << 1 << 1 << 2;
    QTest::newRow("largest") << 639 << 479 << 640;
}

void TestFontLoaders::pcxDecodes()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bytesPerLine);
    const QByteArray pixels = pixelsOf(width, height);
    const std::optional<PcxImage> image = PcxImage::decode(pcx(width, height, pixels, palette(), bytesPerLine));
    QVERIFY(image);
    QCOMPARE(image->width, width);
    QCOMPARE(image->height, height);
    QCOMPARE(image->pixels, pixels);
    QCOMPARE(image->palette[0], qRgb(0, 255, 0));
    QCOMPARE(image->palette[200], qRgb(200, 55, (200 * 7) & 0xff));
}

// Some writers let a run go on into the next row, through the padding.
void TestFontLoaders::pcxRunsCrossRows()
{
    const QByteArray header = pcx(3, 2, QByteArray(6, '\0'), palette(), 4).left(PcxImage::headerSize);
    const QByteArray data = QByteArray("\xc6\x07\x08\xc0\x09\x09", 6);
    const std::optional<PcxImage> image = PcxImage::decode(QByteArray(header + data + palette()));
    QVERIFY(image);
    // Row 0: 7 7 7 (pad 7); row 1: 7 7 8 (pad 9 after an empty run).
    QCOMPARE(image->pixels, QByteArray("\x07\x07\x07\x07\x07\x08"));
}

void TestFontLoaders::pcxDamaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = pcx(4, 4, pixelsOf(4, 4), palette());
    QVERIFY(PcxImage::decode(good));
    const auto field16 = [&](qsizetype at, quint16 value) {
        QByteArray out = good;
        qToLittleEndian(value, out.data() + at);
        return out;
    };
    QTest::newRow("manufacturer") << patchedByte(good, 0, 0x0b);
    QTest::newRow("version") << patchedByte(good, 1, 3);
    QTest::newRow("not run-length") << patchedByte(good, 2, 0);
    QTest::newRow("4 bits") << patchedByte(good, 3, 4);
    QTest::newRow("3 planes") << patchedByte(good, 65, 3);
    QTest::newRow("xmax before xmin") << field16(4, 5);
    QTest::newRow("ymax before ymin") << field16(6, 5);
    QTest::newRow("too wide") << field16(8, 639);
    QTest::newRow("too high") << field16(10, 479);
    QTest::newRow("huge") << field16(8, 0xffff);
    QTest::newRow("lines shorter than width") << field16(66, 3);
    QTest::newRow("no palette") << good.left(good.size() - 769) + good.right(1);
    QTest::newRow("header and palette only") << good.left(PcxImage::headerSize) + palette();
    QTest::newRow("empty") << QByteArray();
}

void TestFontLoaders::pcxDamaged()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(PcxImage::decode(bytes).has_value(), false);
}

// The palette is the last 768 bytes whatever the length, so only the cut of the marker still
// leaves every pixel; any shorter file misses pixels.
void TestFontLoaders::pcxTruncated()
{
    const QByteArray pixels = conchars();
    const QByteArray whole = pcx(128, 128, pixels, palette());
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const std::optional<PcxImage> image = PcxImage::decode(QByteArrayView(whole).first(cut));
        if (image.has_value() != (cut >= whole.size() - 1))
            QFAIL(qPrintable(u"cut at %1 of %2"_s.arg(cut).arg(whole.size())));
        if (image)
            QCOMPARE(image->pixels, pixels);
    }
}

QTEST_MAIN(TestFontLoaders)
#include "tst_fontloaders.moc"
