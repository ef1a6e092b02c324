#include "core/app/MruList.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;
using vbu::Prompter;
using vbu::test::MainWindowHarness;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    // A line, or the reason none is added: the binding text is checked before the key.
    void addComposesLinesByteForByte_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("error");
        QTest::newRow("bind") << u"bind"_s << u"mouse1"_s << u"+attack"_s << QByteArray("bind mouse1 \"+attack\"")
                              << QString();
        QTest::newRow("quotes inside stay")
            << u"bind"_s << u"f1"_s << u"say \"hi\""_s << QByteArray("bind f1 \"say \"hi\"\"") << QString();
        QTest::newRow("blanks kept") << u"bind"_s << u" k "_s << u" echo hi "_s << QByteArray("bind  k  \" echo hi \"")
                                     << QString();
        QTest::newRow("empty type") << QString() << u"x"_s << u"y"_s << QByteArray(" x \"y\"") << QString();
        QTest::newRow("upper case kept") << u"unbind"_s << u"MOUSE1"_s << u"+Attack"_s
                                         << QByteArray("unbind MOUSE1 \"+Attack\"") << QString();
        QTest::newRow("high bytes") << u"set"_s << u"x"_s << QString::fromLatin1("say \xe9\xff\x80")
                                    << QByteArray("set x \"say \xe9\xff\x80\"") << QString();
        QTest::newRow("both empty") << u"bind"_s << QString() << QString() << QByteArray()
                                    << u"You must fill in the binding space"_s;
        QTest::newRow("key empty") << u"bind"_s << QString() << u"+jump"_s << QByteArray()
                                   << u"You must fill in the key space"_s;
    }

    void addComposesLinesByteForByte()
    {
        QFETCH(QString, type);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        QFETCH(QString, error);
        MainWindowHarness h;
        h.child<QComboBox>("cmbType")->setEditText(type);
        h.child<QComboBox>("txtKey")->setEditText(key);
        h.child<QLineEdit>("txtBind")->setText(text);
        if (!error.isEmpty())
            h.prompter.answerMessage(Prompter::Ok);
        h.window->addBinding();
        QCOMPARE(h.lines(), line.isEmpty() ? QByteArrayList() : QByteArrayList{line});
        QCOMPARE(h.child<QLineEdit>("txtBind")->text(), error.isEmpty() ? QString() : text);
        if (error.isEmpty())
            return;
        const auto &m = h.prompter.last().message;
        QCOMPARE(m.text, error);
        QCOMPARE(m.title, u"Error"_s);
        QCOMPARE(m.buttons, Prompter::Buttons(Prompter::Ok));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
    }

    void typingAddsAtTheEndWhateverIsSelected()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"one", "two"});
        h.window->selectRow(0);
        // Down in the type box chooses "set" and sends the focus to the key box.
        QTest::keyClick(h.child<QComboBox>("cmbType"), Qt::Key_Down);
        QTRY_VERIFY(h.child<QComboBox>("txtKey")->hasFocus());
        QLineEdit *key = h.child<QComboBox>("txtKey")->lineEdit();
        key->selectAll();
        QTest::keyClicks(key, u"F1"_s);
        QTest::keyClick(key, Qt::Key_Tab);
        // Typed one key at a time; a character with no byte in a script file is refused.
        for (const QChar c : u"echo \u00e9\u20ac!"_s)
            QTest::sendKeyEvent(QTest::Click, h.child<QLineEdit>("txtBind"), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        QTest::keyClick(h.child<QLineEdit>("txtBind"), Qt::Key_Return);
        QCOMPARE(h.lines(), (QByteArrayList{"one", "two", "set F1 \"echo \xe9!\""}));
        QCOMPARE(h.window->selectedRow(), 0);
        QVERIFY(h.child<QLineEdit>("txtBind")->text().isEmpty());
        QCOMPARE(h.child<QComboBox>("txtKey")->currentText(), u"F1"_s);
        QTRY_VERIFY(h.child<QComboBox>("txtKey")->hasFocus());
        h.prompter.answerMessage(Prompter::Ok);
        QTest::mouseClick(h.window->findChild<QPushButton *>(u"cmdAdd"_s), Qt::LeftButton);
        QCOMPARE(h.prompter.last().message.text, u"You must fill in the binding space"_s);
    }

    // The menu's keys win in every field; Enter runs Add wherever no control takes it.
    void menuKeysWinOverTheFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("effect"); // question asked | clipboard | lines
        QTest::newRow("Exit") << u"cmbType"_s << u"Ctrl+X"_s << u"Confirm|before|3"_s;
        QTest::newRow("Copy") << u"txtKey"_s << u"Ctrl+C"_s << u"|two|3"_s;
        QTest::newRow("Clear All") << u"txtBind"_s << u"Ctrl+A"_s << u"Warning|before|3"_s;
        QTest::newRow("Undo") << u"txtKey"_s << u"Ctrl+Z"_s << u"|before|2"_s;
        QTest::newRow("Enter in the key") << u"txtKey"_s << u"Return"_s << u"|before|4"_s;
        QTest::newRow("Enter in the list") << u"lstBind"_s << u"Return"_s << u"|before|4"_s;
    }

    void menuKeysWinOverTheFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, effect);
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"one", "two"});
        h.window->selectRow(1);
        QGuiApplication::clipboard()->setText(u"before"_s);
        h.child<QLineEdit>("txtBind")->setText(u"+jump"_s);
        QTest::keyClick(h.child<QLineEdit>("txtBind"), Qt::Key_Return);
        h.child<QLineEdit>("txtBind")->setText(u"+duck"_s);
        auto *target = h.window->findChild<QWidget *>(field);
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        if (!effect.startsWith(u'|'))
            h.prompter.answerMessage(Prompter::No);
        QTest::keySequence(target, QKeySequence(keys));
        const QString asked = h.prompter.asked.isEmpty() ? QString() : h.prompter.last().message.title;
        QCOMPARE(asked + u'|' + QGuiApplication::clipboard()->text() + u'|' + QString::number(h.lines().size()),
                 effect);
    }

    void doubleClickEditsTheSelectedLine_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("questions");
        QTest::newRow("replaced whole") << QString::fromLatin1("name \xff") << QByteArray("name \xff") << 1;
        QTest::newRow("empty answer keeps") << QString() << QByteArray("bind w \"+forward\"") << 1;
        QTest::newRow("no byte for a character") << u"snow \u2603"_s << QByteArray("bind w \"+forward\"") << 2;
    }

    // A right click opens the Edit menu instead; a left one does not.
    void doubleClickEditsTheSelectedLine()
    {
        QFETCH(QString, answer);
        QFETCH(QByteArray, result);
        QFETCH(int, questions);
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"", "bind w \"+forward\""});
        auto *list = h.child<QTreeView>("lstBind");
        // An empty line and no selection are not edited.
        h.window->editSelectedLine();
        h.window->selectRow(0);
        h.window->editSelectedLine();
        h.prompter.answerInput(answer);
        if (questions == 2)
            h.prompter.answerMessage(Prompter::Ok); // why the answer was refused
        const QPoint at = list->visualRect(h.window->script().index(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(h.prompter.asked.size(), questions);
        const auto &asked = h.prompter.asked.at(0);
        QCOMPARE(asked.prompt, u"Enter the updated text."_s);
        QCOMPARE(asked.title, u"Edit Command"_s);
        QCOMPARE(asked.proposed, u"bind w \"+forward\""_s);
        QCOMPARE(h.lines(), (QByteArrayList{"", result}));
        auto *menu = h.child<QMenu>("mnuEdit");
        QVERIFY(!menu->isVisible());
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        QTRY_VERIFY(menu->isVisible());
        menu->close();
    }

    void exitAsksFirstAndClosingDoesNot_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("endings");
        QTest::newRow("menu, yes") << u"menu"_s << 1;
        QTest::newRow("toolbar, no") << u"toolbar"_s << 0;
        QTest::newRow("close box") << u"close"_s << 1;
    }

    void exitAsksFirstAndClosingDoesNot()
    {
        QFETCH(QString, how);
        QFETCH(int, endings);
        MainWindowHarness h;
        h.setLines({"unsaved"});
        h.window->show();
        QSignalSpy ending(h.window.get(), &vbu::MainWindow::programEnding);
        if (how == "close"_L1) {
            QVERIFY(h.window->close());
        } else {
            h.prompter.answerMessage(endings ? Prompter::Yes : Prompter::No);
            if (how == "menu"_L1)
                h.action("mnuExit")->trigger();
            else
                h.toolbarButton("Exit")->click();
            const auto &m = h.prompter.last().message;
            QCOMPARE(m.text, u"Do you really want to Exit"_s);
            QCOMPARE(m.title, u"Confirm"_s);
            QCOMPARE(m.buttons, Prompter::Yes | Prompter::No);
            QCOMPARE(m.defaultButton, Prompter::Yes);
            QCOMPARE(m.icon, Prompter::Icon::Question);
        }
        QCOMPARE(ending.size(), endings);
        QCOMPARE(h.lines(), QByteArrayList{"unsaved"});
    }

    void startUpOpensTheCommandLineFileQuietly_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("none") << QString() << QByteArrayList{};
        QTest::newRow("existing, empty fields left out")
            << u"my autoexec.cfg"_s << QByteArrayList{"bind w \"+forward\"", "echo a", "b"};
        QTest::newRow("missing") << u"gone.cfg"_s << QByteArrayList{};
        QTest::newRow("quoted") << u"\"my autoexec.cfg\""_s << QByteArrayList{};
    }

    void startUpOpensTheCommandLineFileQuietly()
    {
        QFETCH(QString, argument);
        QFETCH(QByteArrayList, lines);
        QTemporaryDir dir;
        vbu::test::writeAll(dir.filePath(u"my autoexec.cfg"_s), "bind w \"+forward\"\r\n\r\necho a, b\r\n");
        QString commandLine = argument;
        if (!argument.isEmpty())
            commandLine.insert(argument.startsWith(u'"') ? 1 : 0, dir.path() + u'/');
        MainWindowHarness h(commandLine);
        QCOMPARE(h.lines(), lines);
        const bool loaded = !lines.isEmpty();
        QCOMPARE(h.window->windowTitle(), loaded ? commandLine : u"Vantor's Bind Utility"_s);
        QCOMPARE(h.window->recentFiles().files(), loaded ? QStringList{commandLine} : QStringList());
        QCOMPARE(h.action("mnuMRUDiv")->isVisible(), loaded);
        // A fixed size, and nothing to maximize.
        QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
        QVERIFY(!(h.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
