#include "core/editor/ScriptEdits.h"
#include "core/funname/ConsoleFont.h"
#include "gui/app/ToolWindowSwitch.h"
#include "gui/funname/GlyphCell.h"
#include "gui/funname/NameWindow.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include "NameSteps.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using vbu::GlyphCell;
using vbu::NameWindow;
using vbu::Prompter;
using vbu::test::MainWindowHarness;
using vbu::test::NameStep;

namespace {

struct Fixture
{
    NameWindow *open()
    {
        h.window->mnuFunName_Click();
        return qobject_cast<NameWindow *>(h.window->funNameSwitch().window());
    }
    // Steps as the player does them: mouse clicks on the cells and the button, New from the menu.
    void play(NameWindow *w, const QString &steps)
    {
        for (const NameStep &step : vbu::test::parseSteps(steps)) {
            switch (step.kind) {
            case NameStep::Pick:
                QTest::mouseClick(cell(w, "Image1_", step.value), Qt::LeftButton, {}, QPoint(8, 8));
                break;
            case NameStep::Move:
                QTest::mouseClick(cell(w, "imgName_", step.value), Qt::LeftButton, {}, QPoint(8, 8));
                break;
            case NameStep::Back:
                QTest::mouseClick(w->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
                break;
            case NameStep::New:
                action(w, "mnuNew")->trigger();
                break;
            }
        }
    }
    static GlyphCell *cell(NameWindow *w, const char *prefix, int index)
    {
        return w->findChild<GlyphCell *>(QLatin1StringView(prefix) + QString::number(index));
    }
    static QAction *action(NameWindow *w, const char *name) { return w->findChild<QAction *>(QLatin1StringView(name)); }
    static bool isEmpty(NameWindow *w)
    {
        for (int k = 0; k < 15; ++k) {
            if (!cell(w, "imgName_", k)->glyph().isNull() || !cell(w, "imgName_", k)->bytes().isEmpty())
                return false;
        }
        return w->NamePos() == 0 && w->PlaceHolder()->pos() == QPoint(8, 20);
    }
    MainWindowHarness h;
};

} // namespace

class TestNameWindow : public QObject
{
    Q_OBJECT

private slots:
    void composeByMouse_data() { vbu::test::addCompositionRows(); }

    void composeByMouse()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, name);
        QFETCH(int, namePos);
        QFETCH(int, marker);
        QFETCH(QString, pictures);
        QFETCH(int, refused);

        Fixture f;
        for (int i = 0; i < refused; ++i)
            f.h.prompter.answerMessage(Prompter::Ok);
        NameWindow *w = f.open();
        f.play(w, steps);

        QCOMPARE(w->composer().name(), name);
        QCOMPARE(w->NamePos(), namePos);
        QCOMPARE(w->PlaceHolder()->geometry(), QRect(8 + 16 * marker, 20, 16, 9));
        const QList<int> expected = vbu::test::parsePictures(pictures);
        QByteArray shown;
        for (int k = 0; k < 15; ++k) {
            const GlyphCell *c = Fixture::cell(w, "imgName_", k);
            if (expected.at(k) < 0)
                QVERIFY(c->glyph().isNull());
            else
                QCOMPARE(c->glyph(), vbu::ConsoleFont::shared().glyph(expected.at(k)));
            shown += c->bytes();
        }
        QCOMPARE(shown, name);

        QCOMPARE(f.h.prompter.asked.size(), refused);
        for (const auto &asked : std::as_const(f.h.prompter.asked)) {
            QCOMPARE(asked.message.text, u"The maximum number of caracters you can use is 15"_s);
            QCOMPARE(asked.message.title, u"Vantor's Bind Utility"_s);
            QCOMPARE(asked.message.buttons, Prompter::Buttons(Prompter::Ok));
            QCOMPARE(asked.message.icon, Prompter::Icon::None);
        }
        QCOMPARE(f.h.prompter.unexpected, 0);
        QVERIFY(f.h.lines().isEmpty());
    }

    void designLayout()
    {
        Fixture f;
        NameWindow *w = f.open();
        QCOMPARE(w->objectName(), u"frmName"_s);
        QCOMPARE(w->windowTitle(), u"Vantor's Name Utility"_s);
        QVERIFY(w->windowFlags() & Qt::Tool);
        QCOMPARE(w->findChild<QWidget *>(u"client"_s)->size(), QSize(281, 341));

        const struct
        {
            const char *name;
            const char *parent;
            QRect place;
        } design[] = {
            {"Picture1", "client", {2, 2, 255, 33}},      {"Frame1", "client", {2, 38, 277, 281}},
            {"Command1", "client", {258, 2, 23, 33}},     {"chkDocked", "client", {70, 324, 151, 13}},
            {"imgName_0", "Picture1", {8, 4, 16, 16}},    {"imgName_3", "Picture1", {56, 4, 16, 16}},
            {"imgName_14", "Picture1", {232, 4, 16, 16}}, {"PlaceHolder", "Picture1", {8, 20, 16, 9}},
            {"imgEmpty", "Picture1", {0, 0, 16, 16}},     {"lblCap", "Picture1", {2, 30, 2, 3}},
            {"Image1_0", "Frame1", {10, 16, 16, 16}},     {"Image1_65", "Frame1", {26, 80, 16, 16}},
            {"Image1_15", "Frame1", {250, 16, 16, 16}},   {"Image1_255", "Frame1", {250, 256, 16, 16}},
        };
        for (const auto &d : design) {
            const QWidget *c = w->findChild<QWidget *>(QLatin1StringView(d.name));
            QVERIFY2(c, d.name);
            QCOMPARE(c->parentWidget()->objectName(), QLatin1StringView(d.parent));
            QCOMPARE(c->geometry(), d.place);
        }
        QVERIFY(w->findChild<QLabel *>(u"imgEmpty"_s)->isHidden());
        QVERIFY(w->findChild<QLabel *>(u"imgEmpty"_s)->pixmap().isNull());
        QCOMPARE(w->lblCap()->text(), u"\""_s);
        QVERIFY(w->Command1()->text().isEmpty());
        QVERIFY(!w->Command1()->icon().isNull());
        QVERIFY(w->chkDocked()->isChecked());
        QCOMPARE(w->chkDocked()->text(), u"Dock to Main Window"_s);
        QCOMPARE(w->findChildren<GlyphCell *>(QRegularExpression(u"^Image1_\\d+$"_s)).size(), 256);
        QCOMPARE(w->findChildren<GlyphCell *>(QRegularExpression(u"^imgName_\\d+$"_s)).size(), 15);

        // Every palette cell shows its own glyph and carries its byte; cell 0 carries none.
        for (int code = 0; code < 256; ++code) {
            const GlyphCell *c = w->Image1(code);
            QCOMPARE(c->glyph(), vbu::ConsoleFont::shared().glyph(code));
            QCOMPARE(c->bytes(), code == 0 ? QByteArray() : QByteArray(1, char(code)));
        }
        QCOMPARE(w->Image1(65)->toolTip(), u"65 (A)"_s);
        QCOMPARE(w->Image1(32)->toolTip(), u"32 (space)"_s);
        QCOMPARE(w->Image1(0)->toolTip(), u"0"_s);
        QCOMPARE(w->Image1(193)->toolTip(), u"193 (red A)"_s);
        QVERIFY(!w->findChild<QGroupBox *>(u"Frame1"_s)->toolTip().isEmpty());

        const QMenu *file = w->findChild<QMenu *>(u"mnuFile"_s);
        QCOMPARE(file->title(), u"&File"_s);
        QStringList entries;
        for (const QAction *a : file->actions()) {
            entries.append(a->objectName() + u'=' + (a->isSeparator() ? u"-"_s : a->text()));
            QVERIFY(a->shortcut().isEmpty());
        }
        QCOMPARE(entries,
                 (QStringList{u"mnuNew=&New"_s, u"mnuSave=&Add to Bind"_s, u"mnuSep1=-"_s, u"mnuExit=E&xit"_s}));
    }

    void addToBind_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("nothing chosen") << QString() << QByteArray("name \"\"");
        QTest::newRow("72 105") << u"72 105"_s << QByteArray("name \"Hi\"");
        QTest::newRow("cells 0 and 5") << u"72 @5 105"_s << QByteArray("name \"Hi\"");
        QTest::newRow("cell 0 adds nothing") << u"0 72 0"_s << QByteArray("name \"H\"");
        QTest::newRow("code 34") << u"34 72 34"_s << QByteArray("name \"\"H\"\"");
        QTest::newRow("codes above 127") << u"128 200 255"_s << QByteArray("name \"\x80\xc8\xff\"");
    }

    void addToBind()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, line);
        Fixture f;
        f.h.setLines({"bind a +attack", "bind b +jump"});
        // The list's selection does not matter: the line goes to the top.
        f.h.window->lstBind()->setCurrentIndex(f.h.window->lstBind()->model()->index(1, 0));
        NameWindow *w = f.open();
        f.play(w, steps);
        const QByteArray name = w->composer().name();
        QAction *save = Fixture::action(w, "mnuSave");

        save->trigger();
        QCOMPARE(f.h.lines(), (QByteArrayList{line, "bind a +attack", "bind b +jump"}));
        // Still open, name unchanged, so the same line can go in again.
        QCOMPARE(f.h.window->funNameSwitch().window(), w);
        QCOMPARE(w->composer().name(), name);
        save->trigger();
        QCOMPARE(f.h.lines(), (QByteArrayList{line, line, "bind a +attack", "bind b +jump"}));

        QUndoStack *history = f.h.window->edits().history();
        history->undo();
        QCOMPARE(f.h.lines(), (QByteArrayList{line, "bind a +attack", "bind b +jump"}));
        history->undo();
        QCOMPARE(f.h.lines(), (QByteArrayList{"bind a +attack", "bind b +jump"}));
    }

    void newEmptiesTheName()
    {
        Fixture f;
        NameWindow *w = f.open();
        f.h.prompter.answerMessage(Prompter::Ok);
        f.play(w, vbu::test::run(160, 16));
        QCOMPARE(w->NamePos(), 15);
        Fixture::action(w, "mnuNew")->trigger();
        QVERIFY(Fixture::isEmpty(w));
        f.play(w, u"66"_s);
        QCOMPARE(Fixture::cell(w, "imgName_", 0)->bytes(), QByteArray("B"));
        QCOMPARE(w->PlaceHolder()->pos(), QPoint(24, 20));
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
        QAction *button = f.h.window->toolbarButton(13);
        f.h.window->show();
        NameWindow *w = f.open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(entry->isChecked() && button->isChecked());
        f.play(w, u"72 105"_s);
        w->chkDocked()->click();
        QPointer<NameWindow> gone(w);

        if (how == u"exit")
            Fixture::action(w, "mnuExit")->trigger();
        else if (how == u"box")
            QVERIFY(w->close());
        else if (how == u"entry")
            entry->trigger();
        else if (how == u"button")
            button->trigger();
        else
            f.h.window->mnuCommandList_Click();
        QVERIFY(!f.h.window->funNameSwitch().isOpen());
        QVERIFY(!entry->isChecked());
        QVERIFY(!button->isChecked());
        QTRY_VERIFY(gone.isNull());

        NameWindow *again = f.open();
        QVERIFY(again);
        QVERIFY(entry->isChecked() && button->isChecked());
        QVERIFY(Fixture::isEmpty(again));
        QVERIFY(again->chkDocked()->isChecked());
        QVERIFY(!f.h.window->commandListSwitch().isOpen());
        QCOMPARE(f.h.prompter.unexpected, 0);
    }

    void keyboardPicksTheFocusedCode()
    {
        Fixture f;
        f.h.window->show();
        NameWindow *w = f.open();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget(), w->Image1(0));

        auto keys = [](std::initializer_list<Qt::Key> list) {
            for (Qt::Key key : list)
                QTest::keyClick(static_cast<QWidget *>(nullptr), key);
        };
        // Edges hold: nothing left of 0 or above the first row.
        keys({Qt::Key_Left, Qt::Key_Up});
        QCOMPARE(QApplication::focusWidget(), w->Image1(0));
        // 0 -> 64 -> 72: H.
        keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down});
        for (int i = 0; i < 8; ++i)
            keys({Qt::Key_Right});
        QCOMPARE(QApplication::focusWidget(), w->Image1(72));
        keys({Qt::Key_Return});
        // 72 -> 104 -> 105: i, picked with Space.
        keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Space});
        // Right runs on into the next row: 111 -> 112.
        keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
              Qt::Key_Enter});
        QCOMPARE(w->composer().name(), QByteArray("Hip"));
        keys({Qt::Key_Backspace});
        QCOMPARE(w->composer().name(), QByteArray("Hi"));
        QCOMPARE(w->NamePos(), 2);
        // Down from the last row holds.
        w->Image1(250)->setFocus();
        keys({Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(w->composer().name(), QByteArray("Hi\xfa"));

        // The palette is one stop of the Tab chain: the cell last visited.
        keys({Qt::Key_Tab});
        QCOMPARE(QApplication::focusWidget(), w->chkDocked());
        keys({Qt::Key_Backtab});
        QCOMPARE(QApplication::focusWidget(), w->Image1(250));
        keys({Qt::Key_Backtab});
        QCOMPARE(QApplication::focusWidget(), w->Command1());
        keys({Qt::Key_Backtab});
        QCOMPARE(QApplication::focusWidget(), w->imgName(0));
        // In the name strip the arrows choose a cell, Enter puts the cursor there.
        keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Return});
        QCOMPARE(w->NamePos(), 2);
        QCOMPARE(w->PlaceHolder()->pos(), QPoint(40, 20));
        keys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Up, Qt::Key_Space});
        QCOMPARE(w->composer().name(), QByteArray("Hi\xea"));
        QCOMPARE(f.h.prompter.unexpected, 0);
    }

    void opensDockedAtItsDesignedHeight()
    {
        Fixture f;
        f.h.window->move(140, 90);
        f.h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.h.window.get()));
        NameWindow *w = f.open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QRect main = f.h.window->frameGeometry();
        QTRY_COMPARE(w->pos(), QPoint(main.left() + main.width(), main.top()));
        QCOMPARE(w->findChild<QWidget *>(u"client"_s)->size(), QSize(281, 341));
        QVERIFY(w->height() > 341);
        QVERIFY(w->height() < 341 + 60);
    }
};

QTEST_MAIN(TestNameWindow)
#include "tst_namewindow.moc"
