#include "core/editor/ScriptEdits.h"
#include "core/funname/ConsoleFont.h"
#include "core/funname/NameComposer.h"
#include "gui/app/ToolWindowSwitch.h"
#include "gui/funname/GlyphCell.h"
#include "gui/funname/NameWindow.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using vbu::NameComposer;
using vbu::NameWindow;
using vbu::Prompter;
using vbu::test::child;

namespace {

// count codes picked one after another from first.
QString run(int first, int count)
{
    QStringList words;
    for (int code = first; code < first + count; ++code)
        words.append(QString::number(code));
    return words.join(u' ');
}

NameWindow *open(const vbu::test::MainWindowHarness &h)
{
    h.window->toggleFunNameEditor();
    return qobject_cast<NameWindow *>(h.window->funNameSwitch().window());
}

// Clicks the palette cell of that code, or "imgName_K" for name cell K.
void click(NameWindow *w, int code, const char *prefix = "Image1_")
{
    auto *cell = child<vbu::GlyphCell>(w, QLatin1StringView(prefix) + QString::number(code));
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(8, 8));
}

QPoint marker(NameWindow *w)
{
    return child<QLabel>(w, u"PlaceHolder"_s)->pos();
}

} // namespace

class TestNameWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    // steps: a number picks that palette code, "@k" puts the cursor on name cell k, "<" is
    // backspace, "new" starts a new name. pictures: the glyph codes of the name cells, "." for
    // an empty one; the cells after the last listed are empty.
    void compose_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("pictures");
        QTest::addColumn<int>("namePos");
        QTest::addColumn<int>("refused");
        QTest::newRow("16th pick refused") << run(65, 16) << run(65, 15) << 15 << 1;
        QTest::newRow("backspace at 0") << u"<"_s << QString() << 0 << 0;
        QTest::newRow("full, to 0, overwrite") << run(65, 15) + u" @0 90"_s << u"90 "_s + run(66, 14) << 1 << 0;
        QTest::newRow("gap after the name") << u"65 66 67 @10 68"_s << u"65 66 67 . . . . . . . 68"_s << 11 << 0;
        QTest::newRow("backspace empties the cell before") << u"65 66 67 @1 <"_s << u". 66 67"_s << 0 << 0;
        QTest::newRow("last cell, two picks") << u"@14 65 66"_s << u". . . . . . . . . . . . . . 65"_s << 15 << 1;
        QTest::newRow("cell 0: a glyph, no character") << u"0 65 0"_s << u"0 65 0"_s << 3 << 0;
        QTest::newRow("codes above 127") << u"128 255 193 127"_s << u"128 255 193 127"_s << 4 << 0;
        QTest::newRow("new after a full name") << run(65, 15) + u" new 66"_s << u"66"_s << 1 << 0;
    }

    // The name is the cells' bytes in order; code 0 and empty cells add nothing.
    void compose()
    {
        QFETCH(QString, steps);
        QFETCH(QString, pictures);
        QFETCH(int, namePos);
        QFETCH(int, refused);
        NameComposer composer;
        int refusals = 0;
        for (const QString &word : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (word == u"<")
                composer.backspace();
            else if (word == u"new")
                composer.clear();
            else if (word.startsWith(u'@'))
                composer.moveTo(word.mid(1).toInt());
            else
                refusals += composer.pick(word.toInt()) == NameComposer::Pick::Refused;
        }
        QCOMPARE(composer.namePos(), namePos);
        QCOMPARE(refusals, refused);
        const QStringList shown = pictures.split(u' ', Qt::SkipEmptyParts);
        QByteArray name;
        for (int k = 0; k < NameComposer::cellCount; ++k) {
            const int picture = k < shown.size() && shown.at(k) != u"." ? shown.at(k).toInt() : -1;
            QCOMPARE(composer.cell(k).picture, picture);
            const QByteArray text = picture > 0 ? QByteArray(1, char(picture)) : QByteArray();
            QCOMPARE(composer.cell(k).text, text);
            name += text;
        }
        QCOMPARE(composer.name(), name);
    }

    // The composition rules are the composer's; here they go through the cells, the marker,
    // the message and the menu. Add to Bind puts the line on top whatever is selected, bytes as
    // they are, and again on each use.
    void composeByMouseAndAddToBind()
    {
        vbu::test::MainWindowHarness h;
        h.setLines({"bind a +attack"});
        h.window->selectRow(0);
        NameWindow *w = open(h);
        h.prompter.answerMessage(Prompter::Ok);
        for (int code = 65; code <= 80; ++code)
            click(w, code);
        QCOMPARE(w->composer().name(), "ABCDEFGHIJKLMNO"_ba);
        QCOMPARE(marker(w), QPoint(8 + 16 * 14, 20));
        QCOMPARE(h.prompter.lastMessage(),
                 u"Vantor's Bind Utility|The maximum number of caracters you can use is 15|Ok|Ok|None"_s);

        // Back to the first cell, typed over; the button empties it again.
        click(w, 0, "imgName_");
        click(w, 90);
        QCOMPARE(w->composer().name(), "ZBCDEFGHIJKLMNO"_ba);
        QCOMPARE(child<vbu::GlyphCell>(w, u"imgName_0"_s)->glyph(), vbu::ConsoleFont::shared().glyph(90));
        QCOMPARE(marker(w), QPoint(24, 20));
        QTest::mouseClick(child<QPushButton>(w, u"Command1"_s), Qt::LeftButton);
        QVERIFY(child<vbu::GlyphCell>(w, u"imgName_0"_s)->glyph().isNull());
        QCOMPARE(marker(w), QPoint(8, 20));
        w->findChild<QAction *>(u"mnuNew"_s)->trigger();
        QVERIFY(child<vbu::GlyphCell>(w, u"imgName_1"_s)->glyph().isNull());
        QVERIFY(w->composer().name().isEmpty());

        auto *save = w->findChild<QAction *>(u"mnuSave"_s);
        save->trigger();
        for (const int code : {34, 0, 72, 200, 34})
            click(w, code);
        save->trigger();
        save->trigger();
        const QByteArray line = "name \"\"H\xc8\"\"";
        QCOMPARE(h.lines(), (QByteArrayList{line, line, "name \"\"", "bind a +attack"}));
        h.window->edits().history()->undo();
        QCOMPARE(h.lines(), (QByteArrayList{line, "name \"\"", "bind a +attack"}));
    }

    void everyCloseReleasesTheSwitch_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << u"exit"_s;
        QTest::newRow("close box") << u"box"_s;
        QTest::newRow("Options entry") << u"entry"_s;
        QTest::newRow("toolbar button") << u"button"_s;
        QTest::newRow("Command List opened") << u"other"_s;
    }

    void everyCloseReleasesTheSwitch()
    {
        QFETCH(QString, how);
        vbu::test::MainWindowHarness h;
        h.window->setCataloguePath(h.path(u"commands.dat"_s));
        vbu::test::writeAll(h.window->cataloguePath(), "//1.0\r\n{Moves}\r\n[Jump]\r\n+jump\r\n");
        QAction *entry = h.action("mnuFunName");
        QToolButton *button = h.toolbarButton("FunName");
        h.window->show();
        NameWindow *w = open(h);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(entry->isChecked() && button->isChecked());
        click(w, 72);
        child<QCheckBox>(w, u"chkDocked"_s)->click();
        QPointer<NameWindow> gone(w);
        if (how == u"exit")
            w->findChild<QAction *>(u"mnuExit"_s)->trigger();
        else if (how == u"box")
            QVERIFY(w->close());
        else if (how == u"entry")
            entry->trigger();
        else if (how == u"button")
            button->click();
        else
            h.window->toggleCommandList();
        QVERIFY(!h.window->funNameSwitch().isOpen());
        QVERIFY(!entry->isChecked() && !button->isChecked());
        QTRY_VERIFY(gone.isNull());

        // A new window, a new name, docked again.
        NameWindow *again = open(h);
        QVERIFY(again && entry->isChecked() && button->isChecked());
        QVERIFY(again->composer().name().isEmpty());
        QVERIFY(child<QCheckBox>(again, u"chkDocked"_s)->isChecked());
        QVERIFY(!h.window->commandListSwitch().isOpen());
    }
};

QTEST_MAIN(TestNameWindow)
#include "tst_namewindow.moc"
