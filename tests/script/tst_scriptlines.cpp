#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::ScriptLines;
using vbu::ScriptModel;
using Items = QList<QByteArray>;

namespace {

const QByteArray fileBytes = "bind w \"+forward\"\r\nbind s \"+back\"\r\n//c\r\n\r\nset fov 90\r\n"_ba;

// Slices of one buffer, the way a loaded file is held.
ScriptLines loaded()
{
    return vbu::ScriptReader::parse(fileBytes, vbu::ScriptReader::Mode::Open);
}

enum class Op { Insert, Replace, Remove, Move };

} // namespace

Q_DECLARE_METATYPE(Op)

class TestScriptLines : public QObject
{
    Q_OBJECT

private slots:
    void operations_data();
    void operations();
    void keptApartLinesAreReused();
    void memoryUsedIsSane();
    void modelSignals();
    void modelReset();
    void modelData();
};

void TestScriptLines::operations_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<Items>("expected");

    const QByteArray n = "new \xff";
    QTest::newRow("insert first") << Op::Insert << 0 << 0
                                  << Items{n, "bind w \"+forward\"", "bind s \"+back\"", "//c", "", "set fov 90"};
    QTest::newRow("insert middle") << Op::Insert << 2 << 0
                                   << Items{"bind w \"+forward\"", "bind s \"+back\"", n, "//c", "", "set fov 90"};
    QTest::newRow("insert after last") << Op::Insert << 5 << 0
                                       << Items{"bind w \"+forward\"", "bind s \"+back\"", "//c", "", "set fov 90", n};
    QTest::newRow("replace first") << Op::Replace << 0 << 0 << Items{n, "bind s \"+back\"", "//c", "", "set fov 90"};
    QTest::newRow("replace middle") << Op::Replace << 3 << 0
                                    << Items{"bind w \"+forward\"", "bind s \"+back\"", "//c", n, "set fov 90"};
    QTest::newRow("replace last") << Op::Replace << 4 << 0
                                  << Items{"bind w \"+forward\"", "bind s \"+back\"", "//c", "", n};
    QTest::newRow("remove first") << Op::Remove << 0 << 0 << Items{"bind s \"+back\"", "//c", "", "set fov 90"};
    QTest::newRow("remove middle") << Op::Remove << 2 << 0
                                   << Items{"bind w \"+forward\"", "bind s \"+back\"", "", "set fov 90"};
    QTest::newRow("remove last") << Op::Remove << 4 << 0 << Items{"bind w \"+forward\"", "bind s \"+back\"", "//c", ""};
    QTest::newRow("move first to last") << Op::Move << 0 << 4
                                        << Items{"bind s \"+back\"", "//c", "", "set fov 90", "bind w \"+forward\""};
    QTest::newRow("move last to first") << Op::Move << 4 << 0
                                        << Items{"set fov 90", "bind w \"+forward\"", "bind s \"+back\"", "//c", ""};
    QTest::newRow("move middle down") << Op::Move << 1 << 3
                                      << Items{"bind w \"+forward\"", "//c", "", "bind s \"+back\"", "set fov 90"};
    QTest::newRow("move to itself") << Op::Move << 2 << 2
                                    << Items{"bind w \"+forward\"", "bind s \"+back\"", "//c", "", "set fov 90"};
}

// The same change on the bare lines and through the model, which must also tell its views.
void TestScriptLines::operations()
{
    QFETCH(Op, op);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(Items, expected);
    const QByteArray n = "new \xff";

    ScriptLines lines = loaded();
    ScriptModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.replaceAll(loaded());
    switch (op) {
    case Op::Insert:
        lines.insert(from, n);
        model.insert(from, n);
        break;
    case Op::Replace:
        lines.replace(from, n);
        model.setLine(from, n);
        break;
    case Op::Remove:
        lines.remove(from);
        model.remove(from);
        break;
    case Op::Move:
        lines.move(from, to);
        model.moveLine(from, to);
        break;
    }
    QCOMPARE(lines.toList(), expected);
    QCOMPARE(model.lines().toList(), expected);
    QCOMPARE(model.rowCount(), expected.size());
    for (int row = 0; row < expected.size(); ++row)
        QCOMPARE(model.index(row).data(ScriptModel::LineBytesRole).toByteArray(), expected.at(row));
}

void TestScriptLines::keptApartLinesAreReused()
{
    ScriptLines lines = loaded();
    lines.replace(1, "a");
    lines.replace(1, "b"); // an owned line replaced in place
    lines.insert(0, "c");
    lines.remove(0);
    const qsizetype settled = lines.memoryUsed();
    for (int i = 0; i < 1000; ++i) {
        lines.insert(3, QByteArray(100, 'x'));
        lines.remove(3);
    }
    QCOMPARE(lines.memoryUsed(), settled);
    QCOMPARE(lines.toList(), (Items{"bind w \"+forward\"", "b", "//c", "", "set fov 90"}));
}

void TestScriptLines::memoryUsedIsSane()
{
    ScriptLines empty;
    QCOMPARE(empty.memoryUsed(), 0);

    QByteArray bytes = "bind x \"y\"\r\n"_ba.repeated(10'000);
    const qsizetype size = bytes.size();
    ScriptLines lines = vbu::ScriptReader::parse(std::move(bytes), vbu::ScriptReader::Mode::Open);
    QCOMPARE(lines.size(), 10'000);
    const qsizetype used = lines.memoryUsed();
    // The buffer and eight bytes of index a line, with little slack.
    QVERIFY(used >= size + 8 * 10'000);
    QVERIFY2(used < (size + 8 * 10'000) * 11 / 10, qPrintable(QString::number(used)));

    const QByteArray line(1000, 'k');
    lines.append(line);
    QVERIFY(lines.memoryUsed() >= used + line.size());
    lines.clear();
    QCOMPARE(lines.memoryUsed(), 0);
}

void TestScriptLines::modelSignals()
{
    ScriptModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.append("a");
    model.append("b");
    model.insert(0, "c");
    QCOMPARE(inserted.size(), 3);
    QCOMPARE(inserted.at(2).at(1).toInt(), 0);
    QCOMPARE(inserted.at(1).at(1).toInt(), 1);

    model.moveLine(0, 2); // c a b -> a b c
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.at(0).at(1).toInt(), 0);
    QCOMPARE(moved.at(0).at(4).toInt(), 3); // Qt counts the destination before the row leaves
    model.moveLine(2, 0);                   // a b c -> c a b
    QCOMPARE(moved.at(1).at(4).toInt(), 0);

    model.setLine(1, "z");
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);

    model.remove(2);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 2);
    QCOMPARE(model.lines().toList(), (Items{"c", "z"}));
}

void TestScriptLines::modelReset()
{
    ScriptModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append("old");
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.replaceAll(loaded());
    QCOMPARE(reset.size(), 1);
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(model.rowCount(), 5);
    model.clear();
    QCOMPARE(reset.size(), 2);
    QCOMPARE(model.rowCount(), 0);
}

void TestScriptLines::modelData()
{
    ScriptModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QByteArray bytes("name \xe9\xff\x80\0x", 10);
    model.append(bytes);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), u"Bindings"_s);
    const QModelIndex index = model.index(0);
    QCOMPARE(index.data(Qt::DisplayRole).toString(), QString::fromLatin1(bytes));
    QCOMPARE(index.data(Qt::DisplayRole).toString().at(5), QChar(0xe9));
    QCOMPARE(index.data(Qt::DisplayRole).toString().size(), bytes.size());
    QCOMPARE(index.data(ScriptModel::LineBytesRole).toByteArray(), bytes);
}

QTEST_GUILESS_MAIN(TestScriptLines)
#include "tst_scriptlines.moc"
