#include "core/ui/LogoBands.h"
#include "core/ui/LogoPainter.h"
#include "core/ui/LogoSurface.h"
#include "core/ui/OleColor.h"
#include "gui/ui/LogoBox.h"
#include "support/MainWindowHarness.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using vbu::LogoBands;
using vbu::LogoPainter;
using Rgb16 = vbu::LogoBands::Rgb16;

Q_DECLARE_METATYPE(Rgb16)

namespace {

// A strip painted into an image, counting how often it is shown.
class ImageSurface final : public vbu::LogoSurface
{
public:
    explicit ImageSurface(int height, int width = 16) : image(width, height, QImage::Format_RGB32)
    {
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        // A colour the strip never uses, so unpainted rows stand out.
        image.fill(QColor(255, 0, 255));
        font.setPointSize(8);
    }

    QPaintDevice *drawingDevice() override { return &image; }
    double twipsWidth() const override { return image.width() * 15.0; }
    double twipsHeight() const override { return heightTwips.value_or(image.height() * 15.0); }
    QFont drawingFont() const override { return font; }
    QColor foreColor() const override { return Qt::white; }
    void refresh() override { ++refreshes; }

    QRgb at(int row, int column = 15) const { return image.pixel(column, row) & 0xFFFFFF; }

    QImage image;
    QFont font;
    std::optional<double> heightTwips;
    int refreshes = 0;
};

QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b) & 0xFFFFFF;
}

// Text pixels: anything brighter than the (black) strip.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 40)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace

class TestLogo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void pixelsFromTwipsRoundHalfToEven_data();
    void pixelsFromTwipsRoundHalfToEven();
    void bandLayout_data();
    void bandLayout();
    void bandColoursLagOnePassAndRoundHalfToEven_data();
    void bandColoursLagOnePassAndRoundHalfToEven();
    void stripWithoutHeightFailsAfterTheFirstBand();

    void translatesOleColours_data();
    void translatesOleColours();
    void mulDivRoundsHalvesAwayFromZero_data();
    void mulDivRoundsHalvesAwayFromZero();
    void fontDescriptionFollowsTheSurfaceFont_data();
    void fontDescriptionFollowsTheSurfaceFont();

    void startsWithBlackAndButtonFace();
    void colourSettersDrawOnlyOnChange();
    void gettersReturnColoursUntranslated();
    void defaultStripOf348Pixels();
    void stripsOf255And510Pixels_data();
    void stripsOf255And510Pixels();
    void captionRunsUpwardsFromSixteenAboveTheBottom();
    void failuresLeaveTheSurfaceUnrefreshed_data();
    void failuresLeaveTheSurfaceUnrefreshed();
    void mainWindowPaintsItsStripAtStartUp();

private:
    QColor m_buttonFace{240, 200, 100};
};

void TestLogo::initTestCase()
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Button, m_buttonFace);
    palette.setColor(QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Text, QColor(4, 5, 6));
    palette.setColor(QPalette::ButtonText, QColor(7, 8, 9));
    palette.setColor(QPalette::Highlight, QColor(10, 11, 12));
    QGuiApplication::setPalette(palette);
}

void TestLogo::pixelsFromTwipsRoundHalfToEven_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("design height") << 5220.0 << 348;
    QTest::newRow("design width") << 240.0 << 16;
    QTest::newRow("one short of a pixel") << 14.0 << 0;
    QTest::newRow("14.5 rounds down to even") << 14.5 << 0;
    QTest::newRow("15.5 rounds up to even") << 15.5 << 1;
    QTest::newRow("29.5 rounds up to 30") << 29.5 << 2;
    QTest::newRow("28.5 rounds down to 28") << 28.5 << 1;
    QTest::newRow("nothing") << 0.0 << 0;
}

void TestLogo::pixelsFromTwipsRoundHalfToEven()
{
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(LogoBands::pixels(twips), pixels);
}

void TestLogo::bandLayout_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("bands");
    QTest::addColumn<int>("lastTop");
    QTest::newRow("design strip") << 348 << 1 << 349 << -1;
    QTest::newRow("255: still one-pixel bands") << 255 << 1 << 256 << -1;
    QTest::newRow("254") << 254 << 1 << 255 << -1;
    QTest::newRow("510: two-pixel bands") << 510 << 2 << 256 << -2;
    QTest::newRow("600") << 600 << 2 << 301 << -2;
    QTest::newRow("766: last band partly visible") << 766 << 3 << 256 << -2;
    QTest::newRow("one pixel") << 1 << 1 << 2 << -1;
}

void TestLogo::bandLayout()
{
    QFETCH(int, height);
    QFETCH(int, step);
    QFETCH(int, bands);
    QFETCH(int, lastTop);
    const LogoBands plan = LogoBands::compute(240, height * 15.0, Rgb16{}, Rgb16{255, 255, 255});
    QVERIFY(plan.complete);
    QCOMPARE(plan.width, 16);
    QCOMPARE(plan.height, height);
    QCOMPARE(plan.step, step);
    QCOMPARE(plan.bands.size(), bands);
    QCOMPARE(plan.bands.constFirst().bottom, height);
    QCOMPARE(plan.bands.constLast().top, lastTop);
    // Bands tile the strip from the bottom up, each S rows tall.
    for (qsizetype i = 0; i < plan.bands.size(); ++i) {
        QCOMPARE(plan.bands[i].bottom - plan.bands[i].top, step);
        if (i > 0)
            QCOMPARE(plan.bands[i].bottom, plan.bands[i - 1].top);
    }
}

void TestLogo::bandColoursLagOnePassAndRoundHalfToEven_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<Rgb16>("start");
    QTest::addColumn<Rgb16>("end");
    QTest::addColumn<int>("band");
    QTest::addColumn<Rgb16>("color");
    const Rgb16 black{};
    QTest::newRow("bottom band: start") << 348 << Rgb16{10, 20, 30} << Rgb16{240, 200, 100} << 0 << Rgb16{10, 20, 30};
    QTest::newRow("second band: still start")
        << 348 << Rgb16{10, 20, 30} << Rgb16{240, 200, 100} << 1 << Rgb16{10, 20, 30};
    QTest::newRow("top row: 346/348 of the way") << 348 << black << Rgb16{240, 200, 100} << 347 << Rgb16{239, 199, 99};
    QTest::newRow("end colour never reached") << 348 << black << Rgb16{240, 200, 100} << 348 << Rgb16{239, 199, 100};
    // Height 4 and a difference of 2 or 6 put exact halves into the steps.
    QTest::newRow("0.5 goes to 0") << 4 << black << Rgb16{2, 6, 0} << 2 << Rgb16{0, 2, 0};
    QTest::newRow("1.5 up to 2, 4.5 down to 4") << 4 << black << Rgb16{2, 6, 0} << 4 << Rgb16{2, 4, 0};
    QTest::newRow("falling colours") << 4 << Rgb16{200, 6, 255} << Rgb16{0, 0, 255} << 3 << Rgb16{100, 3, 255};
    QTest::newRow("falling halves") << 4 << Rgb16{3, 7, 0} << Rgb16{1, 1, 0} << 2 << Rgb16{2, 6, 0};
}

void TestLogo::bandColoursLagOnePassAndRoundHalfToEven()
{
    QFETCH(int, height);
    QFETCH(Rgb16, start);
    QFETCH(Rgb16, end);
    QFETCH(int, band);
    QFETCH(Rgb16, color);
    const LogoBands plan = LogoBands::compute(15, height * 15.0, start, end);
    QVERIFY(band < plan.bands.size());
    const Rgb16 got = plan.bands.at(band).color;
    QCOMPARE(QList<int>({got.red, got.green, got.blue}), QList<int>({color.red, color.green, color.blue}));
}

void TestLogo::stripWithoutHeightFailsAfterTheFirstBand()
{
    const LogoBands plan = LogoBands::compute(240, 14, Rgb16{}, Rgb16{255, 255, 255});
    QCOMPARE(plan.height, 0);
    QVERIFY(!plan.complete);
    QCOMPARE(plan.bands.size(), 1);
    QCOMPARE(plan.bands.constFirst().top, -1);
    QCOMPARE(plan.bands.constFirst().bottom, 0);
}

void TestLogo::translatesOleColours_data()
{
    QTest::addColumn<quint32>("ole");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint32>("rgb");
    QTest::newRow("plain red") << 0x000000FFu << true << 0x0000FFu;
    QTest::newRow("plain mixed") << 0x00123456u << true << 0x123456u;
    QTest::newRow("palette-relative") << 0x02123456u << true << 0x123456u;
    QTest::newRow("palette index without palette") << 0x01000005u << false << 0u;
    QTest::newRow("button face") << 0x8000000Fu << true << vbu::OleColors::fromQColor(QColor(240, 200, 100));
    QTest::newRow("window") << 0x80000005u << true << 0x030201u;
    QTest::newRow("window text") << 0x80000008u << true << 0x060504u;
    QTest::newRow("button text") << 0x80000012u << true << 0x090807u;
    QTest::newRow("highlight") << 0x8000000Du << true << 0x0C0B0Au;
    QTest::newRow("only the low byte is the index") << 0x80FF000Fu << true << 0x64C8F0u;
    QTest::newRow("unused index") << 0x80000019u << false << 0u;
    QTest::newRow("index out of range") << 0x800000FFu << false << 0u;
    QTest::newRow("unknown kind") << 0x40000000u << false << 0u;
}

void TestLogo::translatesOleColours()
{
    QFETCH(quint32, ole);
    QFETCH(bool, valid);
    QFETCH(quint32, rgb);
    const auto got = vbu::OleColors::translate(ole);
    QCOMPARE(got.has_value(), valid);
    if (valid)
        QCOMPARE(*got, rgb);
}

void TestLogo::mulDivRoundsHalvesAwayFromZero_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("result");
    QTest::newRow("8 pt at 96 dpi") << 8 << 96 << 72 << 11;
    QTest::newRow("half up") << 3 << 1 << 2 << 2;
    QTest::newRow("half away from zero") << -3 << 1 << 2 << -2;
    QTest::newRow("negative divisor") << 3 << 1 << -2 << -2;
    QTest::newRow("no intermediate overflow") << 100000 << 100000 << 200000 << 50000;
    QTest::newRow("division by zero") << 5 << 1 << 0 << -1;
    QTest::newRow("result overflows") << 100000 << 100000 << 3 << -1;
}

void TestLogo::mulDivRoundsHalvesAwayFromZero()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, result);
    QCOMPARE(LogoPainter::MulDiv(a, b, c), result);
}

void TestLogo::fontDescriptionFollowsTheSurfaceFont_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("weight");
    QTest::newRow("8.25 pt") << u"Sans"_s << 8.25 << 96 << false << true << -11 << 400;
    QTest::newRow("14.25 pt bold") << u"Serif"_s << 14.25 << 96 << true << true << -19 << 700;
    QTest::newRow("9.75 pt rounds up") << u"Sans"_s << 9.75 << 96 << false << true << -13 << 400;
    QTest::newRow("10.5 pt rounds to even") << u"Sans"_s << 10.5 << 96 << false << true << -13 << 400;
    QTest::newRow("11.5 pt rounds to even") << u"Sans"_s << 11.5 << 96 << false << true << -16 << 400;
    QTest::newRow("120 dpi") << u"Sans"_s << 8.0 << 120 << false << true << -13 << 400;
    QTest::newRow("33 characters fit") << QString(33, u'x') << 8.0 << 96 << false << true << -11 << 400;
    QTest::newRow("34 characters do not") << QString(34, u'x') << 8.0 << 96 << false << false << 0 << 0;
    QTest::newRow("Latin-1 name") << u"Caf\u00e9"_s << 8.0 << 96 << false << true << -11 << 400;
    QTest::newRow("character without a byte") << u"\u0141\u00f3d\u017a"_s << 8.0 << 96 << false << false << 0 << 0;
}

void TestLogo::fontDescriptionFollowsTheSurfaceFont()
{
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(int, dpi);
    QFETCH(bool, bold);
    QFETCH(bool, ok);
    QFETCH(int, height);
    QFETCH(int, weight);
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(true);
    font.setStrikeOut(true);
    const auto lf = LogoPainter::BuildLogFont(font, dpi);
    QCOMPARE(lf.has_value(), ok);
    if (!ok)
        return;
    QCOMPARE(lf->height, height);
    QCOMPARE(lf->weight, weight);
    QVERIFY(lf->italic);
    QVERIFY(!lf->underline);
    QVERIFY(lf->strikeOut);
    QCOMPARE(lf->escapement, 0);
    // The platform reads at most 31 characters of the name.
    QCOMPARE(lf->family(), family.left(31));
}

void TestLogo::startsWithBlackAndButtonFace()
{
    const LogoPainter logo;
    QCOMPARE(logo.startColor(), 0u);
    QCOMPARE(logo.endColor(), vbu::OleColors::buttonFace);
    QVERIFY(logo.startComponents() == (Rgb16{0, 0, 0}));
    QVERIFY(logo.endComponents() == (Rgb16{240, 200, 100}));
    QVERIFY(logo.caption().isEmpty());
    QVERIFY(!logo.drawingObject());
}

void TestLogo::colourSettersDrawOnlyOnChange()
{
    ImageSurface surface(348);
    LogoPainter logo;
    // Without a surface a change is only stored.
    logo.setEndColor(0x00FF0000);
    QCOMPARE(logo.endColor(), 0x00FF0000u);
    logo.setDrawingObject(&surface);
    logo.setCaption(u"x"_s);
    QCOMPARE(surface.refreshes, 0);

    logo.setStartColor(0);
    logo.setEndColor(0x00FF0000);
    QCOMPARE(surface.refreshes, 0);
    QCOMPARE(surface.at(347), rgb(255, 0, 255));

    logo.setStartColor(0x000000FF);
    QCOMPARE(surface.refreshes, 1);
    QCOMPARE(surface.at(347), rgb(255, 0, 0));
    logo.setStartColor(0x000000FF);
    QCOMPARE(surface.refreshes, 1);

    logo.setEndColor(0x8000000D);
    QCOMPARE(surface.refreshes, 2);
    logo.setEndColor(0x8000000D);
    QCOMPARE(surface.refreshes, 2);
}

void TestLogo::gettersReturnColoursUntranslated()
{
    LogoPainter logo;
    logo.setStartColor(vbu::OleColors::buttonFace);
    QCOMPARE(logo.startColor(), vbu::OleColors::buttonFace);
    QVERIFY(logo.startComponents() == (Rgb16{240, 200, 100}));
    // A value with no colour behind it is kept as given and painted black.
    logo.setEndColor(0x01000005);
    QCOMPARE(logo.endColor(), 0x01000005u);
    QVERIFY(logo.endComponents() == (Rgb16{0, 0, 0}));
}

void TestLogo::defaultStripOf348Pixels()
{
    ImageSurface surface(348);
    LogoPainter logo;
    logo.setDrawingObject(&surface);
    logo.Draw();
    QCOMPARE(surface.refreshes, 1);
    for (const int column : {0, 7, 15}) {
        QCOMPARE(surface.at(347, column), rgb(0, 0, 0));
        QCOMPARE(surface.at(346, column), rgb(0, 0, 0));
        QCOMPARE(surface.at(0, column), rgb(239, 199, 99));
    }
    QCOMPARE(surface.at(345), rgb(1, 1, 0));
    // Every row is painted and brightens upwards.
    for (int y = 0; y < 347; ++y) {
        QVERIFY2(surface.at(y) != rgb(255, 0, 255), qPrintable(QString::number(y)));
        QVERIFY(qRed(surface.at(y)) >= qRed(surface.at(y + 1)));
    }
}

void TestLogo::stripsOf255And510Pixels_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("step");
    QTest::newRow("255") << 255 << 1;
    QTest::newRow("510") << 510 << 2;
}

void TestLogo::stripsOf255And510Pixels()
{
    QFETCH(int, height);
    QFETCH(int, step);
    ImageSurface surface(height);
    LogoPainter logo;
    logo.setEndColor(0x00FFFFFF);
    logo.setDrawingObject(&surface);
    logo.Draw();
    // The two bottom bands share the start colour; at the top 253 of 255 steps are done.
    for (int y = height - 2 * step; y < height; ++y)
        QCOMPARE(surface.at(y), rgb(0, 0, 0));
    QVERIFY(surface.at(height - 2 * step - 1) != rgb(0, 0, 0));
    QCOMPARE(surface.at(0), rgb(253, 253, 253));
    for (int y = 0; y < height; y += step) {
        for (int i = 1; i < step; ++i)
            QCOMPARE(surface.at(y + i), surface.at(y));
        if (y + step < height)
            QVERIFY(surface.at(y) != surface.at(y + step) || y + step >= height - 2 * step);
    }
}

void TestLogo::captionRunsUpwardsFromSixteenAboveTheBottom()
{
    ImageSurface surface(348, 24);
    surface.font = QFont(u"DejaVu Sans"_s);
    surface.font.setPointSize(10);
    LogoPainter logo;
    logo.setEndColor(0); // black throughout: any light pixel is text
    logo.setDrawingObject(&surface);
    logo.Draw();
    QVERIFY(inkBounds(surface.image).isNull());

    logo.setCaption(u"Vantor's Bind Utility"_s);
    logo.Draw();
    const QRect ink = inkBounds(surface.image);
    QVERIFY(!ink.isNull());
    // The text cell starts at y = 332 and grows upwards, its top towards x = 0.
    QVERIFY2(ink.bottom() <= 348 - 16, qPrintable(QString::number(ink.bottom())));
    QVERIFY(ink.bottom() >= 348 - 16 - 4);
    QVERIFY(ink.height() > 3 * ink.width());
    QVERIFY(ink.left() <= 4 && ink.right() <= 16);

    // A longer caption runs off the top edge.
    logo.setCaption(QString(200, u'W'));
    logo.Draw();
    QVERIFY(inkBounds(surface.image).top() == 0);
}

void TestLogo::failuresLeaveTheSurfaceUnrefreshed_data()
{
    QTest::addColumn<double>("heightTwips");
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("gradient");
    QTest::newRow("less than a pixel high") << 14.0 << u"Sans"_s << false;
    QTest::newRow("face name too long") << 348 * 15.0 << QString(34, u'a') << true;
    QTest::newRow("face name not single-byte") << 348 * 15.0 << u"\u4e2d\u6587"_s << true;
}

void TestLogo::failuresLeaveTheSurfaceUnrefreshed()
{
    QFETCH(double, heightTwips);
    QFETCH(QString, family);
    QFETCH(bool, gradient);
    ImageSurface surface(348);
    surface.heightTwips = heightTwips;
    surface.font = QFont(family);
    LogoPainter logo;
    logo.setCaption(u"caption"_s);
    logo.setDrawingObject(&surface);
    logo.Draw();
    QCOMPARE(surface.refreshes, 0);
    // What was painted before the failure stays.
    QCOMPARE(surface.at(347) == rgb(0, 0, 0), gradient);

    LogoPainter unattached;
    unattached.Draw();
    unattached.setStartColor(0x00FFFFFF);
    QCOMPARE(unattached.startColor(), 0x00FFFFFFu);
}

void TestLogo::mainWindowPaintsItsStripAtStartUp()
{
    vbu::test::MainWindowHarness harness;
    auto *box = harness.window->findChild<vbu::LogoBox *>(u"picLogo"_s);
    QVERIFY(box);
    QCOMPARE(box->geometry(), QRect(2, 26, 16, 348));
    const QImage image = box->image();
    QCOMPARE(image.size(), QSize(16, 348));
    QCOMPARE(image.pixel(15, 347) & 0xFFFFFF, rgb(0, 0, 0));
    QCOMPARE(image.pixel(15, 0) & 0xFFFFFF, rgb(239, 199, 99));
    // The caption, in the box's text colour, over the lower part of the strip.
    int lit = 0;
    for (int y = 0; y < 348; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (y > 348 - 16)
                QVERIFY(qGray(image.pixel(x, y)) < 40);
            else if (y > 200 && qGray(image.pixel(x, y)) > 200)
                ++lit;
        }
    }
    QVERIFY(lit > 50);
    // Shown from the kept image, not painted again.
    QCOMPARE(box->grab().toImage().convertToFormat(QImage::Format_RGB32), image);
}

QTEST_MAIN(TestLogo)
#include "tst_logo.moc"
