#include "core/editor/ScriptEdits.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <QUndoStack>

using vbu::ScriptEdits;
using vbu::ScriptModel;

namespace {

QByteArrayList linesOf(const ScriptModel &m)
{
    return m.lines().toList();
}

using Step = std::function<void(ScriptEdits &)>;

} // namespace

Q_DECLARE_METATYPE(Step)

class TestScriptEdits : public QObject
{
    Q_OBJECT

private slots:
    void everyChangeUndoesAndRedoesExactly_data()
    {
        QTest::addColumn<Step>("change");
        QTest::addColumn<QByteArrayList>("after");
        QTest::newRow("append") << Step([](ScriptEdits &e) { e.append("bind x \"\xff\""); })
                                << QByteArrayList{"a", "b", "c", "bind x \"\xff\""};
        QTest::newRow("insert first") << Step([](ScriptEdits &e) { e.insert(0, "//top"); })
                                      << QByteArrayList{"//top", "a", "b", "c"};
        QTest::newRow("remove middle") << Step([](ScriptEdits &e) { e.remove(1); }) << QByteArrayList{"a", "c"};
        QTest::newRow("replace last") << Step([](ScriptEdits &e) { e.replace(2, "C"); })
                                      << QByteArrayList{"a", "b", "C"};
        QTest::newRow("move down") << Step([](ScriptEdits &e) { e.move(0, 2); }) << QByteArrayList{"b", "c", "a"};
        QTest::newRow("move up") << Step([](ScriptEdits &e) { e.move(2, 0); }) << QByteArrayList{"c", "a", "b"};
        QTest::newRow("clear") << Step([](ScriptEdits &e) { e.clear(); }) << QByteArrayList{};
        QTest::newRow("several") << Step([](ScriptEdits &e) {
            e.replace(0, "");
            e.insert(3, "d");
            e.remove(1);
            e.move(0, 2);
        }) << QByteArrayList{"c", "d", ""};
    }

    void everyChangeUndoesAndRedoesExactly()
    {
        QFETCH(Step, change);
        QFETCH(QByteArrayList, after);
        ScriptModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ScriptEdits edits(model);
        edits.load(vbu::ScriptReader::parse("a\r\nb\r\nc\r\n", vbu::ScriptReader::Mode::Open));
        const QByteArrayList before = linesOf(model);
        change(edits);
        QCOMPARE(linesOf(model), after);
        // Back to the start and forward again, twice over.
        for (int round = 0; round < 2; ++round) {
            while (edits.history()->canUndo())
                edits.history()->undo();
            QCOMPARE(linesOf(model), before);
            while (edits.history()->canRedo())
                edits.history()->redo();
            QCOMPARE(linesOf(model), after);
        }
    }

    void loadingStartsAFreshHistory()
    {
        ScriptModel model;
        ScriptEdits edits(model);
        edits.append("x");
        edits.clear();
        QVERIFY(edits.history()->canUndo());
        edits.load(vbu::ScriptReader::parse("new\n", vbu::ScriptReader::Mode::Open));
        QVERIFY(!edits.history()->canUndo());
        QVERIFY(!edits.history()->canRedo());
        edits.reset();
        QCOMPARE(model.count(), 0);
        QVERIFY(!edits.history()->canUndo());
    }

    void clearingAMillionLinesComesBackWhole()
    {
        QByteArray file;
        for (int i = 0; i < 1000000; ++i)
            file.append("bind k").append(QByteArray::number(i)).append(" \"+attack\"\r\n");
        ScriptModel model;
        ScriptEdits edits(model);
        edits.load(vbu::ScriptReader::parse(file, vbu::ScriptReader::Mode::Open));
        edits.replace(5, "edited");
        edits.clear();
        QCOMPARE(model.count(), 0);
        edits.history()->undo();
        QCOMPARE(model.count(), 1000000);
        QCOMPARE(model.line(5), QByteArray("edited"));
        QCOMPARE(model.line(999999), QByteArray("bind k999999 \"+attack\""));
    }
};

QTEST_GUILESS_MAIN(TestScriptEdits)
#include "tst_scriptedits.moc"
