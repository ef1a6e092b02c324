#include "core/editor/ScriptChecker.h"
#include "core/funname/ConsoleFont.h"
#include "gui/editor/ScriptLineDelegate.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;
using vbu::CheckFinding;
using vbu::CheckSeverity;
using vbu::ConsoleFont;
using vbu::test::MainWindowHarness;

namespace {

constexpr int fontPixels = ConsoleFont::Sheet::cell;

// The font's own colour of one font pixel of a glyph (its pictures hold each pixel twice).
QRgb fontPixel(int code, int x, int y)
{
    const int scale = ConsoleFont::glyphSize / fontPixels;
    return ConsoleFont::shared().glyph(code).pixel(x * scale, y * scale) | 0xff000000;
}

bool isBlack(QRgb c)
{
    return (c & 0xffffff) == 0;
}

vbu::ScriptLineDelegate *delegateOf(const MainWindowHarness &h)
{
    return qobject_cast<vbu::ScriptLineDelegate *>(h.window->lstBind()->itemDelegate());
}

QImage grabRow(const MainWindowHarness &h, int row)
{
    QTreeView *list = h.window->lstBind();
    const QImage all = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(list->visualRect(list->model()->index(row, 0)));
}

QRgb background(const MainWindowHarness &h)
{
    return h.window->lstBind()->palette().color(QPalette::Active, QPalette::Base).rgb();
}

// Whether the codes are drawn side by side from (left, top), each glyph in a square of side
// pixels: every font pixel, looked at in its middle, has the font's colour, or the list's
// background where the font is black.
bool glyphsAt(const QImage &row, int left, int top, int side, const QByteArray &codes, QRgb back)
{
    for (qsizetype i = 0; i < codes.size(); ++i) {
        for (int y = 0; y < fontPixels; ++y) {
            for (int x = 0; x < fontPixels; ++x) {
                const int px = left + int(i) * side + (2 * x + 1) * side / (2 * fontPixels);
                const int py = top + (2 * y + 1) * side / (2 * fontPixels);
                if (!row.rect().contains(px, py))
                    return false;
                const QRgb font = fontPixel(uchar(codes.at(i)), x, y);
                if (row.pixel(px, py) != (isBlack(font) ? back : font))
                    return false;
            }
        }
    }
    return true;
}

// The leftmost column that is not all background, or -1.
int firstInkColumn(const QImage &row, QRgb back)
{
    for (int x = 0; x < row.width(); ++x) {
        for (int y = 0; y < row.height(); ++y) {
            if (row.pixel(x, y) != back)
                return x;
        }
    }
    return -1;
}

QSet<QRgb> colours(const QImage &image)
{
    QSet<QRgb> out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            out.insert(image.pixel(x, y));
    }
    return out;
}

} // namespace

class TestScriptLineDelegate : public QObject
{
    Q_OBJECT

private slots:
    void specialBytesPaintAsGlyphs_data()
    {
        QTest::addColumn<QByteArray>("codes");
        QTest::newRow("high bytes") << "\x80\x85\x9b\xc6\xe1"_ba;
        QTest::newRow("control bytes") << "\x01\x10\x12\x1d\x1f"_ba;
        QTest::newRow("delete and the top") << "\x7f\xff\xa1"_ba;
    }

    void specialBytesPaintAsGlyphs()
    {
        QFETCH(QByteArray, codes);
        for (const char code : codes) {
            bool drawn = false;
            for (int i = 0; i < fontPixels * fontPixels; ++i)
                drawn = drawn || !isBlack(fontPixel(uchar(code), i % fontPixels, i / fontPixels));
            QVERIFY2(drawn, "every code of the test must have a visible glyph");
        }
        MainWindowHarness h;
        const QByteArray line = "name \"" + codes + "x\"";
        h.setLines({line});
        QVERIFY(h.showActive());
        h.window->lstBind()->selectionModel()->clearSelection();
        QVERIFY(delegateOf(h));

        const QImage row = grabRow(h, 0);
        const int side = vbu::ScriptLineDelegate::glyphSide(QFontMetrics(h.window->lstBind()->font()).height());
        QVERIFY(side >= fontPixels);
        QVERIFY(side <= row.height());
        int found = 0;
        for (int top = 0; top + side <= row.height(); ++top) {
            for (int left = 0; left < row.width(); ++left)
                found += glyphsAt(row, left, top, side, codes, background(h)) ? 1 : 0;
        }
        QVERIFY(found > 0);

        // Only the picture changed: the list, the file and the edit box still get the bytes.
        const QModelIndex index = h.window->script().index(0);
        QCOMPARE(index.data(vbu::ScriptModel::LineBytesRole).toByteArray(), line);
        QCOMPARE(index.data().toString(), QString::fromLatin1(line));
        const QString name = h.path(u"glyphs.cfg"_s);
        h.prompter.answerFile(name);
        h.action("mnuSave")->trigger();
        QCOMPARE(vbu::test::readAll(name), line + "\r\n");
    }

    void asciiPaintsAsText()
    {
        MainWindowHarness h;
        const QByteArray line = "bind mouse1 \"+attack; say {~}\"";
        h.setLines({line, "\x80"});
        QVERIFY(h.showActive());
        h.window->lstBind()->selectionModel()->clearSelection();
        const QImage ours = grabRow(h, 0);

        // Plain text rows look as any list's rows: as the stock delegate paints them.
        QTreeView *list = h.window->lstBind();
        QStyledItemDelegate stock;
        list->setItemDelegate(&stock);
        const QImage plain = grabRow(h, 0);
        list->setItemDelegate(nullptr);
        QVERIFY(firstInkColumn(plain, background(h)) >= 0);
        QCOMPARE(ours, plain);
    }

    void selectedRowsUseTheHighlight()
    {
        MainWindowHarness h;
        h.setLines({"bind a b"});
        QVERIFY(h.showActive());
        h.window->selectRow(0);
        const QColor highlight = h.window->lstBind()->palette().color(QPalette::Active, QPalette::Highlight);
        const QPalette palette = h.window->lstBind()->palette();
        QVERIFY(palette.color(QPalette::Active, QPalette::Text) !=
                palette.color(QPalette::Active, QPalette::HighlightedText));
        const QSet<QRgb> seen = colours(grabRow(h, 0));
        QVERIFY(seen.contains(highlight.rgb()));
        QVERIFY(seen.contains(palette.color(QPalette::Active, QPalette::HighlightedText).rgb()));
        QVERIFY(!seen.contains(palette.color(QPalette::Active, QPalette::Text).rgb()));
    }

    void marksPaintTheWorstSeverity()
    {
        MainWindowHarness h;
        h.setLines({"", "", "", "x"});
        QVERIFY(h.showActive());
        h.window->lstBind()->selectionModel()->clearSelection();
        vbu::ScriptLineDelegate *delegate = delegateOf(h);
        const QRgb back = background(h);
        const int textBefore = firstInkColumn(grabRow(h, 3), back);
        QVERIFY(textBefore >= 0);

        const auto finding = [](qsizetype line, CheckSeverity severity) {
            CheckFinding f;
            f.line = line;
            f.severity = severity;
            return f;
        };
        delegate->showMarks({finding(1, CheckSeverity::Warning), finding(1, CheckSeverity::Error),
                             finding(2, CheckSeverity::Warning), finding(2, CheckSeverity::Warning)});
        QCOMPARE(delegate->markOf(0), CheckSeverity::Error);
        QCOMPARE(delegate->markOf(1), CheckSeverity::Warning);
        QVERIFY(!delegate->markOf(2));
        const QImage error = grabRow(h, 0);
        const QImage warning = grabRow(h, 1);
        QVERIFY(firstInkColumn(error, back) >= 0);
        QVERIFY(firstInkColumn(warning, back) >= 0);
        QVERIFY(error != warning);
        QCOMPARE(firstInkColumn(grabRow(h, 2), back), -1);
        // While marks are shown every row makes room for one, so the lines stay level.
        const int side = vbu::ScriptLineDelegate::glyphSide(QFontMetrics(h.window->lstBind()->font()).height());
        QVERIFY(firstInkColumn(grabRow(h, 3), back) >= textBefore + side);

        delegate->clearMarks();
        QCOMPARE(firstInkColumn(grabRow(h, 0), back), -1);
        QCOMPARE(firstInkColumn(grabRow(h, 3), back), textBefore);
    }
};

QTEST_MAIN(TestScriptLineDelegate)
#include "tst_scriptlinedelegate.moc"
