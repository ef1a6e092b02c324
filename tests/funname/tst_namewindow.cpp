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
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using vbu::ConsoleFont;
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

struct Fixture
{
    NameWindow *open()
    {
        h.window->toggleFunNameEditor();
        return qobject_cast<NameWindow *>(h.window->funNameSwitch().window());
    }
    static void click(QWidget *cell) { QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(8, 8)); }
    static vbu::GlyphCell *paletteCell(NameWindow *w, int code)
    {
        return child<vbu::GlyphCell>(w, u"Image1_"_s + QString::number(code));
    }
    static vbu::GlyphCell *nameCell(NameWindow *w, int k)
    {
        return child<vbu::GlyphCell>(w, u"imgName_"_s + QString::number(k));
    }
    static QAction *action(NameWindow *w, const char *name) { return w->findChild<QAction *>(QLatin1StringView(name)); }
    static bool isEmpty(NameWindow *w)
    {
        bool empty = w->composer().namePos() == 0 && child<QLabel>(w, u"PlaceHolder"_s)->pos() == QPoint(8, 20);
        for (int k = 0; k < 15; ++k)
            empty = empty && Fixture::nameCell(w, k)->glyph().isNull() && Fixture::nameCell(w, k)->bytes().isEmpty();
        return empty;
    }
    vbu::test::MainWindowHarness h;
};

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
        QTest::newRow("fill to 15") << run(65, 15) << run(65, 15) << 15 << 0;
        QTest::newRow("16th pick refused") << run(65, 16) << run(65, 15) << 15 << 1;
        QTest::newRow("backspace at 0") << u"<"_s << QString() << 0 << 0;
        QTest::newRow("backspace at 15") << run(65, 15) + u" <"_s << run(65, 14) << 14 << 0;
        QTest::newRow("moved back, overwrite") << u"72 101 108 108 111 @2 65"_s << u"72 101 65 108 111"_s << 3 << 0;
        QTest::newRow("full, to 0, overwrite") << run(65, 15) + u" @0 90"_s << u"90 "_s + run(66, 14) << 1 << 0;
        QTest::newRow("gap after the name") << u"65 66 67 @10 68"_s << u"65 66 67 . . . . . . . 68"_s << 11 << 0;
        QTest::newRow("backspace empties the cell before") << u"65 66 67 @1 <"_s << u". 66 67"_s << 0 << 0;
        QTest::newRow("last cell, two picks") << u"@14 65 66"_s << u". . . . . . . . . . . . . . 65"_s << 15 << 1;
        QTest::newRow("cell 0: a glyph, no character") << u"0 65 0"_s << u"0 65 0"_s << 3 << 0;
        QTest::newRow("double quote") << u"34 72 34"_s << u"34 72 34"_s << 3 << 0;
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
            const QByteArray before = composer.name();
            if (word == u"<")
                composer.backspace();
            else if (word == u"new")
                composer.clear();
            else if (word.startsWith(u'@'))
                composer.moveTo(word.mid(1).toInt());
            else if (composer.pick(word.toInt()) == NameComposer::Pick::Refused) {
                QCOMPARE(composer.name(), before);
                ++refusals;
            }
        }
        QCOMPARE(composer.namePos(), namePos);
        QCOMPARE(refusals, refused);
        const QStringList shown = pictures.split(u' ', Qt::SkipEmptyParts);
        QByteArray name;
        for (int k = 0; k < NameComposer::cellCount; ++k) {
            const int picture = k < shown.size() && shown.at(k) != u"." ? shown.at(k).toInt() : -1;
            QCOMPARE(composer.cell(k).picture, picture);
            QCOMPARE(composer.cell(k).text, picture > 0 ? QByteArray(1, char(picture)) : QByteArray());
            name += composer.cell(k).text;
        }
        QCOMPARE(composer.name(), name);
    }

    // The composition rules are the composer's; here they go through the cells, the marker,
    // the message and the menu.
    void composeByMouse()
    {
        Fixture f;
        NameWindow *w = f.open();
        QCOMPARE(child<QCheckBox>(w, u"chkDocked"_s)->text(), u"Dock to Main Window"_s);
        QStringList entries;
        for (const QAction *a : w->findChild<QMenu *>(u"mnuFile"_s)->actions()) {
            entries.append(a->objectName() + u'=' + (a->isSeparator() ? u"-"_s : a->text()));
            QVERIFY(a->shortcut().isEmpty());
        }
        QCOMPARE(entries,
                 (QStringList{u"mnuNew=&New"_s, u"mnuSave=&Add to Bind"_s, u"mnuSep1=-"_s, u"mnuExit=E&xit"_s}));

        f.h.prompter.answerMessage(Prompter::Ok);
        for (int code = 65; code <= 80; ++code)
            Fixture::click(Fixture::paletteCell(w, code));
        QCOMPARE(w->composer().name(), "ABCDEFGHIJKLMNO"_ba);
        QCOMPARE(child<QLabel>(w, u"PlaceHolder"_s)->geometry(), QRect(8 + 16 * 14, 20, 16, 9));
        for (int k = 0; k < 15; ++k)
            QCOMPARE(Fixture::nameCell(w, k)->glyph(), ConsoleFont::shared().glyph(65 + k));
        QCOMPARE(f.h.prompter.asked.size(), 1);
        const auto &message = f.h.prompter.last().message;
        QCOMPARE(message.text, u"The maximum number of caracters you can use is 15"_s);
        QCOMPARE(message.title, u"Vantor's Bind Utility"_s);
        QCOMPARE(message.buttons, Prompter::Buttons(Prompter::Ok));
        QCOMPARE(message.icon, Prompter::Icon::None);

        // Back to the first cell, typed over; the button empties it again.
        Fixture::click(Fixture::nameCell(w, 0));
        Fixture::click(Fixture::paletteCell(w, 90));
        QCOMPARE(w->composer().name(), "ZBCDEFGHIJKLMNO"_ba);
        QCOMPARE(child<QLabel>(w, u"PlaceHolder"_s)->pos(), QPoint(24, 20));
        QTest::mouseClick(child<QPushButton>(w, u"Command1"_s), Qt::LeftButton);
        QVERIFY(Fixture::nameCell(w, 0)->glyph().isNull());
        QCOMPARE(child<QLabel>(w, u"PlaceHolder"_s)->pos(), QPoint(8, 20));
        Fixture::action(w, "mnuNew")->trigger();
        QVERIFY(Fixture::isEmpty(w));
        QCOMPARE(f.h.prompter.unexpected, 0);
        QVERIFY(f.h.lines().isEmpty());
    }

    // The line goes to the top whatever is selected, bytes as they are, and again on each use.
    void addToBind()
    {
        Fixture f;
        f.h.setLines({"bind a +attack"});
        f.h.child<QTreeView>("lstBind")->setCurrentIndex(f.h.child<QTreeView>("lstBind")->model()->index(0, 0));
        NameWindow *w = f.open();
        QAction *save = Fixture::action(w, "mnuSave");
        save->trigger();
        for (const int code : {34, 0, 72, 200, 34})
            Fixture::click(Fixture::paletteCell(w, code));
        save->trigger();
        save->trigger();
        const QByteArray line = "name \"\"H\xc8\"\"";
        QCOMPARE(f.h.lines(), (QByteArrayList{line, line, "name \"\"", "bind a +attack"}));
        QCOMPARE(f.h.window->funNameSwitch().window(), w);
        f.h.window->edits().history()->undo();
        QCOMPARE(f.h.lines(), (QByteArrayList{line, "name \"\"", "bind a +attack"}));
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
        Fixture f;
        f.h.window->setCataloguePath(f.h.path(u"commands.dat"_s));
        vbu::test::writeAll(f.h.window->cataloguePath(), "//1.0\r\n{Moves}\r\n[Jump]\r\n+jump\r\n");
        QAction *entry = f.h.action("mnuFunName");
        QToolButton *button = f.h.toolbarButton("FunName");
        f.h.window->show();
        NameWindow *w = f.open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(entry->isChecked() && button->isChecked());
        Fixture::click(Fixture::paletteCell(w, 72));
        child<QCheckBox>(w, u"chkDocked"_s)->click();
        QPointer<NameWindow> gone(w);
        if (how == u"exit")
            Fixture::action(w, "mnuExit")->trigger();
        else if (how == u"box")
            QVERIFY(w->close());
        else if (how == u"entry")
            entry->trigger();
        else if (how == u"button")
            button->click();
        else
            f.h.window->toggleCommandList();
        QVERIFY(!f.h.window->funNameSwitch().isOpen());
        QVERIFY(!entry->isChecked() && !button->isChecked());
        QTRY_VERIFY(gone.isNull());

        NameWindow *again = f.open();
        QVERIFY(again && entry->isChecked() && button->isChecked());
        QVERIFY(Fixture::isEmpty(again));
        QVERIFY(child<QCheckBox>(again, u"chkDocked"_s)->isChecked());
        QVERIFY(!f.h.window->commandListSwitch().isOpen());
        QCOMPARE(f.h.prompter.unexpected, 0);
    }
};

QTEST_MAIN(TestNameWindow)
#include "tst_namewindow.moc"
