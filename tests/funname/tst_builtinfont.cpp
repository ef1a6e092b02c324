#include "core/funname/ConsoleFont.h"

#include "support/TestData.h"

#include <QBitArray>
#include <QColor>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::ConsoleFont;

namespace {

enum class Family { Grey, Gold, BrownRed };

// The colour family a lit pixel belongs to, judged by hue and saturation.
std::optional<Family> familyOf(QRgb pixel)
{
    const QColor colour = QColor::fromRgb(pixel);
    if (colour.hsvSaturation() < 20)
        return Family::Grey;
    const int hue = colour.hsvHue();
    if (hue >= 27 && hue <= 60)
        return Family::Gold;
    if (hue >= 0 && hue < 22)
        return Family::BrownRed;
    return std::nullopt;
}

bool lit(QRgb pixel)
{
    return (pixel & 0xffffff) != 0;
}

// Which of the 64 font pixels are lit.
QBitArray shape(const QImage &glyph)
{
    QBitArray bits(64);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            bits.setBit(y * 8 + x, lit(glyph.pixel(2 * x, 2 * y)));
    }
    return bits;
}

} // namespace

class TestBuiltInFont : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void colourFamilies_data();
    void colourFamilies();
    void everyVisibleCodeHasPixels();
    void sharedShapes_data();
    void sharedShapes();
    void drawnGlyphsDiffer();
    void barPiecesJoin_data();
    void barPiecesJoin();
    void glyphTakesCharBytes();
    void writeGrid();

private:
    ConsoleFont m_font = ConsoleFont::builtIn();
};

void TestBuiltInFont::initTestCase()
{
    QCOMPARE(m_font.source(), ConsoleFont::Source::BuiltIn);
    QVERIFY(m_font.path().isEmpty());
}

void TestBuiltInFont::colourFamilies_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("family");
    QTest::newRow("brackets") << 16 << 17 << int(Family::Grey);
    QTest::newRow("gold digits") << 18 << 27 << int(Family::Gold);
    QTest::newRow("text") << 32 << 127 << int(Family::Grey);
    QTest::newRow("second symbols") << 128 << 145 << int(Family::BrownRed);
    QTest::newRow("second digits") << 146 << 155 << int(Family::Gold);
    QTest::newRow("second bar") << 156 << 159 << int(Family::BrownRed);
    QTest::newRow("second text") << 160 << 255 << int(Family::BrownRed);
}

void TestBuiltInFont::colourFamilies()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, family);
    for (int code = first; code <= last; ++code) {
        const QImage &glyph = m_font.glyph(code);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb pixel = glyph.pixel(x, y);
                if (lit(pixel) && familyOf(pixel) != Family(family))
                    QFAIL(qPrintable(u"code %1 has a pixel of colour %2"_s.arg(code).arg(pixel, 6, 16)));
            }
        }
    }
}

void TestBuiltInFont::everyVisibleCodeHasPixels()
{
    for (int code = 0; code < ConsoleFont::glyphCount; ++code) {
        const bool blank = (code & 0x7f) == ' ';
        QCOMPARE(shape(m_font.glyph(code)).count(true) == 0, blank);
    }
}

void TestBuiltInFont::sharedShapes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("like");
    for (int c = 0; c < 128; ++c)
        QTest::addRow("second set %d", c + 128) << c + 128 << c;
    for (int d = 0; d < 10; ++d)
        QTest::addRow("gold %d", d) << 18 + d << '0' + d;
    for (char c = 'a'; c <= 'z'; ++c) {
        QTest::addRow("%c", c) << int(c) << int(c - 'a' + 'A');
        QTest::addRow("second %c", c) << int(c) + 128 << int(c - 'a' + 'A');
    }
}

void TestBuiltInFont::sharedShapes()
{
    QFETCH(int, code);
    QFETCH(int, like);
    QCOMPARE(shape(m_font.glyph(code)), shape(m_font.glyph(like)));
}

// A glyph drawn twice by mistake (or a capital left out) shows as two equal pictures.
void TestBuiltInFont::drawnGlyphsDiffer()
{
    QList<int> drawn;
    for (int code = 0; code < 128; ++code) {
        if ((code < 18 || code > 27) && (code < 'a' || code > 'z') && code != ' ')
            drawn.append(code);
    }
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        for (qsizetype j = i + 1; j < drawn.size(); ++j) {
            if (m_font.glyph(drawn[i]) == m_font.glyph(drawn[j]))
                QFAIL(qPrintable(u"codes %1 and %2 look the same"_s.arg(drawn[i]).arg(drawn[j])));
        }
    }
}

void TestBuiltInFont::barPiecesJoin_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("middle");
    QTest::addColumn<int>("right");
    QTest::newRow("slider") << 0 << 1 << 2;
    QTest::newRow("bar") << 29 << 30 << 31;
}

// Drawn side by side (left, middles, right) the pieces make one bar without gaps or steps.
void TestBuiltInFont::barPiecesJoin()
{
    QFETCH(int, left);
    QFETCH(int, middle);
    QFETCH(int, right);
    const QImage &l = m_font.glyph(left);
    const QImage &m = m_font.glyph(middle);
    const QImage &r = m_font.glyph(right);
    bool any = false;
    for (int y = 0; y < 16; ++y) {
        QCOMPARE(lit(l.pixel(15, y)), lit(m.pixel(0, y)));
        QCOMPARE(lit(m.pixel(15, y)), lit(m.pixel(0, y)));
        QCOMPARE(lit(m.pixel(15, y)), lit(r.pixel(0, y)));
        // The ends close the bar.
        QVERIFY(!lit(l.pixel(0, y)));
        QVERIFY(!lit(r.pixel(15, y)));
        any = any || lit(m.pixel(0, y));
    }
    QVERIFY(any);
}

void TestBuiltInFont::glyphTakesCharBytes()
{
    const QByteArray name = "\xc1\x12";
    QCOMPARE(m_font.glyph(name[0]), m_font.glyph(0xc1));
    QCOMPARE(m_font.glyph(name[1]), m_font.glyph(0x12));
}

// The picture of the whole font, twice the size, to look at: build/font-grid.png.
void TestBuiltInFont::writeGrid()
{
    const QImage grid = m_font.grid();
    QCOMPARE(grid.size(), QSize(256, 256));
    QCOMPARE(grid.copy(16 * 4, 16 * 5, 16, 16), m_font.glyph(5 * 16 + 4));
    const QString path = vbu::test::binDir() + "/../font-grid.png"_L1;
    QVERIFY(grid.scaled(512, 512).save(path));
}

QTEST_MAIN(TestBuiltInFont)
#include "tst_builtinfont.moc"
