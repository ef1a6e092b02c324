#include "core/ui/LogoBands.h"
#include "core/ui/LogoPainter.h"
#include "core/ui/LogoSurface.h"
#include "core/ui/OleColor.h"

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
    explicit ImageSurface(int height) : image(16, height, QImage::Format_RGB32)
    {
        // A colour the strip never uses, so unpainted rows stand out.
        image.fill(QColor(255, 0, 255));
    }

    QPaintDevice *drawingDevice() override { return &image; }
    double twipsWidth() const override { return image.width() * 15.0; }
    double twipsHeight() const override { return heightTwips.value_or(image.height() * 15.0); }
    QFont drawingFont() const override { return font; }
    QColor foreColor() const override { return Qt::white; }
    void refresh() override { ++refreshes; }

    // The last column, so that a band painted short of the full width shows.
    QRgb at(int row) const { return image.pixel(15, row) & 0xFFFFFF; }

    QImage image;
    QFont font;
    std::optional<double> heightTwips;
    int refreshes = 0;
};

QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b) & 0xFFFFFF;
}

} // namespace

class TestLogo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QPalette palette = QGuiApplication::palette();
        palette.setColor(QPalette::Button, QColor(240, 200, 100));
        QGuiApplication::setPalette(palette);
    }

    void roundsAsTheDrawingDoes()
    {
        // Twips to pixels: halves to even (30 and 28 twips).
        QCOMPARE(LogoBands::pixels(29.5), 2);
        QCOMPARE(LogoBands::pixels(28.5), 1);
        // The caption's height: whole points (halves to even), then pixels with halves away from zero.
        QFont font(u"Sans"_s);
        font.setPointSizeF(10.5);
        QCOMPARE(LogoPainter::buildLogFont(font, 96).value().height, -13);
        font.setPointSize(11);
        QCOMPARE(LogoPainter::buildLogFont(font, 108).value().height, -17);
        // 31 characters of the name are read; 33 single-byte ones still fit, 34 do not.
        font.setFamily(QString(32, u'x') + u'\u00e9');
        QCOMPARE(LogoPainter::buildLogFont(font, 96).value().family(), font.family().left(31));
        font.setFamily(QString(34, u'x'));
        QVERIFY(!LogoPainter::buildLogFont(font, 96));
    }

    void bands_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("step");
        QTest::addColumn<Rgb16>("start");
        QTest::addColumn<Rgb16>("end");
        QTest::addColumn<int>("band");
        QTest::addColumn<Rgb16>("color");
        // Each band takes the colour worked out in the pass before it.
        QTest::newRow("766: last band partly visible")
            << 766 << 3 << Rgb16{} << Rgb16{255, 255, 255} << 255 << Rgb16{254, 254, 254};
        QTest::newRow("one pixel") << 1 << 1 << Rgb16{} << Rgb16{255, 255, 255} << 1 << Rgb16{};
        // Height 4 and a difference of 2 or 6 put exact halves into the steps.
        QTest::newRow("0.5 goes to 0") << 4 << 1 << Rgb16{} << Rgb16{2, 6, 0} << 2 << Rgb16{0, 2, 0};
        QTest::newRow("1.5 up to 2, 4.5 down to 4") << 4 << 1 << Rgb16{} << Rgb16{2, 6, 0} << 4 << Rgb16{2, 4, 0};
        QTest::newRow("falling halves") << 4 << 1 << Rgb16{3, 7, 0} << Rgb16{1, 1, 0} << 2 << Rgb16{2, 6, 0};
    }

    void bands()
    {
        QFETCH(int, height);
        QFETCH(int, step);
        QFETCH(Rgb16, start);
        QFETCH(Rgb16, end);
        QFETCH(int, band);
        QFETCH(Rgb16, color);
        const LogoBands plan = LogoBands::compute(240, height * 15.0, start, end);
        QVERIFY(plan.complete);
        QCOMPARE(plan.width, 16);
        QCOMPARE(plan.step, step);
        // H div S + 1 passes, tiling the strip from the bottom up, each S rows tall.
        QCOMPARE(plan.bands.size(), height / step + 1);
        for (qsizetype i = 0; i < plan.bands.size(); ++i) {
            QCOMPARE(plan.bands[i].bottom, height - i * step);
            QCOMPARE(plan.bands[i].top, plan.bands[i].bottom - step);
        }
        const Rgb16 got = plan.bands.at(band).color;
        QCOMPARE(QList<int>({got.red, got.green, got.blue}), QList<int>({color.red, color.green, color.blue}));
    }

    void settersKeepColoursUntranslatedAndDrawOnlyOnChange()
    {
        LogoPainter logo;
        QCOMPARE(logo.endColor(), vbu::OleColors::buttonFace);
        // What each value paints with: plain, palette-relative, a system colour by the low byte of
        // its index, and black where nothing stands behind it. Without a surface nothing is drawn.
        const QList<std::pair<quint32, Rgb16>> values{{0x00123456, {0x56, 0x34, 0x12}},
                                                      {0x02123456, {0x56, 0x34, 0x12}},
                                                      {0x80FF000F, {240, 200, 100}},
                                                      {0x800000FF, {}},
                                                      {0x01000005, {}}};
        for (const auto &[ole, components] : values) {
            logo.setEndColor(ole);
            QCOMPARE(logo.endColor(), ole);
            QVERIFY2(logo.endComponents() == components, qPrintable(QString::number(ole, 16)));
        }
        ImageSurface surface(348);
        logo.setDrawingObject(&surface);
        logo.setStartColor(0);
        logo.setEndColor(0x01000005);
        QCOMPARE(surface.refreshes, 0);
        QCOMPARE(surface.at(347), rgb(255, 0, 255));

        logo.setStartColor(0x000000FF);
        QCOMPARE(surface.refreshes, 1);
        QCOMPARE(surface.at(347), rgb(255, 0, 0));
        logo.setStartColor(0x000000FF);
        QCOMPARE(surface.refreshes, 1);
        logo.setEndColor(0x8000000D);
        QCOMPARE(surface.refreshes, 2);
    }

    // Bottom to top, the rows 347, 346, 345 and 0 of a strip 348 pixels high: with the default
    // colours, one-pixel bands, the bottom two black and row 0 the start colour plus 346/348 of
    // the difference. What was painted before a failure stays, and is not shown.
    void painting_data()
    {
        QTest::addColumn<double>("twipsHigh"); // 0: the image's height
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("refreshes");
        QTest::addColumn<QList<QRgb>>("rows");
        const QList<QRgb> painted{rgb(0, 0, 0), rgb(0, 0, 0), rgb(1, 1, 0), rgb(239, 199, 99)};
        QTest::newRow("defaults") << 0.0 << u"Sans"_s << 1 << painted;
        QTest::newRow("less than a pixel high") << 14.0 << u"Sans"_s << 0 << QList<QRgb>(4, rgb(255, 0, 255));
        QTest::newRow("a face name the caption's font cannot hold") << 0.0 << u"\u0141\u00f3d\u017a"_s << 0 << painted;
    }

    void painting()
    {
        QFETCH(double, twipsHigh);
        QFETCH(QString, font);
        QFETCH(int, refreshes);
        QFETCH(QList<QRgb>, rows);
        ImageSurface surface(348);
        if (twipsHigh > 0)
            surface.heightTwips = twipsHigh;
        surface.font = QFont(font);
        LogoPainter logo;
        logo.setCaption(u"caption"_s);
        logo.setDrawingObject(&surface);
        logo.draw();
        QCOMPARE(surface.refreshes, refreshes);
        QCOMPARE((QList<QRgb>{surface.at(347), surface.at(346), surface.at(345), surface.at(0)}), rows);
        LogoPainter().draw(); // and with no surface at all
    }
};

QTEST_MAIN(TestLogo)
#include "tst_logo.moc"
