#include "core/check/OpenChangeFindings.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"
#include "support/TestData.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <random>

using namespace Qt::StringLiterals;
using vbu::OpenChanges;
using vbu::ScriptLines;
using vbu::ScriptModel;
using vbu::ScriptReader;
using vbu::ScriptWriter;
using Items = QList<QByteArray>;

namespace {

// Lines written one a letter: '_' an empty line, 'N' the line the operations put in.
Items itemsOf(const QByteArray &letters)
{
    Items items;
    for (const char c : letters)
        items.append(c == '_' ? QByteArray() : c == 'N' ? "new \xff"_ba : QByteArray(1, c));
    return items;
}

enum class Op { Insert, Replace, Remove, Move };

// "LINE-LAST:FIRST+COUNT:FLAGS" an entry, FLAGS of s (split at commas), q (quotes dropped) and
// b (blanks dropped).
QByteArray entriesOf(const OpenChanges &changes)
{
    QByteArray out;
    for (const OpenChanges::Entry &e : changes.entries()) {
        out += ' ' + QByteArray::number(e.line) + '-' + QByteArray::number(e.line + e.lineCount - 1) + ':' +
               QByteArray::number(e.firstItem) + '+' + QByteArray::number(e.itemCount) + ':';
        for (int bit = 0; bit < 3; ++bit)
            out += QByteArray((e.changes.toInt() >> bit) & 1, "sqb"[bit]);
    }
    return out.mid(1);
}

// A model holding the items read, with the marks Open gives them.
void load(ScriptModel &model, const QByteArray &bytes)
{
    OpenChanges changes;
    ScriptLines lines = ScriptReader::parse(bytes, ScriptReader::Mode::Open, &changes);
    model.replaceAll(std::move(lines), vbu::OpenMarks(std::move(changes)));
}

} // namespace

Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(ScriptReader::Mode)

// Reading a script as Open and the command line do, holding it for the list, writing it as Save does.
class TestScript : public QObject
{
    Q_OBJECT

private slots:
    void fields_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Items>("open");
        QTest::addColumn<QByteArray>("changes");
        QTest::newRow("quote inside a field, comma splits")
            << "bind x \"say a, b\"\r\n"_ba << Items{"bind x \"say a", "b\""} << "1-1:0+2:s"_ba;
        QTest::newRow("leading tabs and blanks skipped, trailing kept")
            << "\t \tset hand 0  \r\n"_ba << Items{"set hand 0  "} << "1-1:0+1:b"_ba;
        QTest::newRow("blank-only line") << "x\r\n   \r\n"_ba << Items{"x", ""} << "2-2:1+1:b"_ba;
        QTest::newRow("comma inside quotes") << "\"a,b\",c\r\n"_ba << Items{"a,b", "c"} << "1-1:0+2:sq"_ba;
        QTest::newRow("text after closing quote kept")
            << "\"bind\" x \"y\", b\r\n"_ba << Items{"bind x \"y\"", "b"} << "1-1:0+2:sq"_ba;
        QTest::newRow("blanks inside quotes kept") << "  \" in \"\r\n"_ba << Items{" in "} << "1-1:0+1:qb"_ba;
        QTest::newRow("empty quotes") << "\"\"\r\nx\r\n"_ba << Items{"", "x"} << "1-1:0+1:q"_ba;
        QTest::newRow("quoted field runs across line ends")
            << "\"a,\r\nb\nc\" d\re,f\r\n"_ba << Items{"a,\r\nb\nc d", "e", "f"} << "1-3:0+1:q 4-4:1+2:s"_ba;
        QTest::newRow("unclosed quote runs to the end of the last line")
            << "x\r\n\"open, still\r\nnext\r\n"_ba << Items{"x", "open, still\r\nnext"} << "2-3:1+1:q"_ba;
        QTest::newRow("n commas give n+1 fields") << "a,b,,c\r\n"_ba << Items{"a", "b", "", "c"} << "1-1:0+4:s"_ba;
        QTest::newRow("last line without line end") << "a\r\nb,c"_ba << Items{"a", "b", "c"} << "2-2:1+2:s"_ba;
        QTest::newRow("trailing comma on last line") << "a,"_ba << Items{"a", ""} << "1-1:0+2:s"_ba;
        QTest::newRow("empty file") << QByteArray() << Items{} << QByteArray();
        QTest::newRow("single CR LF") << "\r\n"_ba << Items{""} << QByteArray();
        QTest::newRow("mixed line ends") << "a\r\nb\nc\rd\r\n"_ba << Items{"a", "b", "c", "d"} << QByteArray();
        QTest::newRow("LF CR and CR CR LF are two line ends")
            << "a\n\rb\r\r\nc"_ba << Items{"a", "", "b", "", "c"} << QByteArray();
        QTest::newRow("high bytes; NUL is a byte")
            << QByteArray("name \x80\xe9\xff\r\na\0b,\0", 15)
            << Items{"name \x80\xe9\xff", QByteArray("a\0b", 3), QByteArray(1, '\0')} << "2-2:1+2:s"_ba;
    }

    // The command line gives Open's items without the empty ones. Open notes the lines it did
    // not take back as they stand.
    void fields()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Items, open);
        QFETCH(QByteArray, changes);
        OpenChanges found;
        QCOMPARE(ScriptReader::parse(bytes, ScriptReader::Mode::Open, &found).toList(), open);
        QCOMPARE(entriesOf(found), changes);
        open.removeIf([](const QByteArray &item) { return item.isEmpty(); });
        QCOMPARE(ScriptReader::parse(bytes, ScriptReader::Mode::CommandLine).toList(), open);
    }

    void exactLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Items>("items");
        QTest::newRow("empty file") << QByteArray() << Items{};
        QTest::newRow("commas, quotes and blanks stay") << "bind \",\" \"+moveleft\"\r\n  say gg, wp\r\n\"x\"\r\n"_ba
                                                        << Items{"bind \",\" \"+moveleft\"", "  say gg, wp", "\"x\""};
        QTest::newRow("every line end; the last line has none")
            << "a\nb\rc\r\n\n\rd"_ba << Items{"a", "b", "c", "", "", "d"};
        QTest::newRow("empty last line; NUL") << QByteArray("\0\r\n\r\n", 5) << Items{QByteArray(1, '\0'), ""};
        QTest::newRow("a quote that never closes") << "\"a\r\nb"_ba << Items{"\"a", "b"};
    }

    // Open Exactly: every line one item as it stands, and Save writes the file back.
    void exactLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Items, items);
        OpenChanges changes;
        const ScriptLines lines = ScriptReader::parse(bytes, ScriptReader::Mode::Exact, &changes);
        QCOMPARE(lines.toList(), items);
        QVERIFY(changes.isEmpty());
        QCOMPARE(ScriptWriter::toBytes(lines), vbu::test::withCrLf(bytes));
    }

    void openChangeTexts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("warning");
        const QString useExact = u" Use File > Open Exactly to keep the file's lines as they are."_s;
        QTest::newRow("blanks and quotes dropped")
            << "  \"x\"\r\n"_ba
            << u"Open dropped double quotes from line 1 of the file and dropped the blanks at the start of it; saving "
               "writes the line without them."_s +
                   useExact
            << u"Open drops the blanks at the start of this line and its double quotes; saving writes the line "
               "without them (use Open Exactly)"_s;
        QTest::newRow("a quote across line ends")
            << "\"a\r\nb\nc\", d\r\n"_ba
            << u"Open read lines 1 to 3 of the file as one piece (a double quote runs on across a line end), split "
               "them at commas into 2 items and dropped double quotes from them; saving writes the 2 items as 4 "
               "lines."_s +
                   useExact
            << u"Open reads this line and the next 2 as 2 items; saving them writes 4 lines (use Open Exactly)"_s;
    }

    // What the row of a changed line says, and the check's warning for the line.
    void openChangeTexts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, toolTip);
        QFETCH(QString, warning);
        ScriptModel model;
        load(model, bytes);
        const int row = model.rowCount() - 1;
        QCOMPARE(model.index(row).data(Qt::ToolTipRole).toString(), toolTip);
        const QList<vbu::CheckFinding> found = vbu::OpenChangeFindings::withMarks({}, model.marks());
        QCOMPARE(found.constLast().text, warning);
        QCOMPARE(found.constLast().line, row + 1);
    }

    // Missing, a folder, no permission, and an I/O error: reading this process's memory from
    // address 0 fails after a good open. A /proc file reports size 0 and is read on in steps.
    void readFile()
    {
        QTemporaryDir dir;
        const QString locked = dir.filePath(u"locked.cfg"_s);
        vbu::test::writeAll(locked, "bind a b\r\n"_ba);
        QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
        QStringList paths{dir.filePath(u"absent.cfg"_s), dir.path()};
        if (geteuid() != 0) // permissions do not stop root
            paths.append(locked);
        for (const QString &path : paths + QStringList{u"/proc/self/mem"_s}) {
            const auto result = ScriptReader::readFile(path, ScriptReader::Mode::Open);
            QVERIFY2(!result.ok && !result.error.isEmpty(), qPrintable(path));
            QCOMPARE(result.opened, !paths.contains(path));
            QVERIFY(path != dir.path() || result.error.contains(u"folder"_s));
        }
        const auto result = ScriptReader::readFile(u"/proc/self/status"_s, ScriptReader::Mode::CommandLine);
        QVERIFY2(result.ok && result.lines.size() > 5, qPrintable(result.error));
        QVERIFY(result.lines.view(0).startsWith("Name:"));
    }

    void bytes_data()
    {
        QTest::addColumn<Items>("items");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray huge(3 << 20, 'L'); // longer than the writer's blocks
        QTest::newRow("empty list") << Items{} << QByteArray();
        QTest::newRow("bytes pass unchanged")
            << Items{QByteArray("\x01\0\x80\xff", 4), " x "} << QByteArray("\x01\0\x80\xff\r\n x \r\n", 11);
        QTest::newRow("line break inside an item") << Items{"a\nb", "c\r"} << "a\nb\r\nc\r\r\n"_ba;
        QTest::newRow("line longer than a block")
            << Items{"short", huge, "", "tail"} << QByteArray("short\r\n" + huge + "\r\n\r\ntail\r\n");
    }

    // Save over an old file leaves no temporary beside it.
    void bytes()
    {
        QFETCH(Items, items);
        QFETCH(QByteArray, expected);
        ScriptLines lines;
        for (const QByteArray &item : items)
            lines.append(item);
        QCOMPARE(ScriptWriter::toBytes(lines), expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.cfg"_s);
        vbu::test::writeAll(path, QByteArray(5000, 'o'));
        QString why;
        QVERIFY2(ScriptWriter::writeFile(path, lines, &why), qPrintable(why));
        QCOMPARE(vbu::test::readAll(path), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.cfg"_s});
    }

    void operations_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArray>("expected");
        // A row marked *: it came from a line Open changed.
        QTest::addColumn<QByteArray>("marked");
        QTest::newRow("insert first") << Op::Insert << 0 << 0 << "Nab_de"_ba
                                      << ".*..*."_ba;
        QTest::newRow("insert middle") << Op::Insert << 2 << 0 << "abN_de"_ba
                                       << "*...*."_ba;
        QTest::newRow("insert after last") << Op::Insert << 5 << 0 << "ab_deN"_ba
                                           << "*..*.."_ba;
        QTest::newRow("replace first") << Op::Replace << 0 << 0 << "Nb_de"_ba
                                       << "...*."_ba;
        QTest::newRow("replace middle") << Op::Replace << 2 << 0 << "abNde"_ba
                                        << "*..*."_ba;
        QTest::newRow("replace last") << Op::Replace << 4 << 0 << "ab_dN"_ba
                                      << "*..*."_ba;
        QTest::newRow("remove first") << Op::Remove << 0 << 0 << "b_de"_ba
                                      << "..*."_ba;
        QTest::newRow("remove middle") << Op::Remove << 2 << 0 << "abde"_ba
                                       << "*.*."_ba;
        QTest::newRow("remove last") << Op::Remove << 4 << 0 << "ab_d"_ba
                                     << "*..*"_ba;
        QTest::newRow("move first to last") << Op::Move << 0 << 4 << "b_dea"_ba
                                            << "..*.*"_ba;
        QTest::newRow("move last to first") << Op::Move << 4 << 0 << "eab_d"_ba
                                            << ".*..*"_ba;
        QTest::newRow("move middle down") << Op::Move << 1 << 3 << "a_dbe"_ba
                                          << "*.*.."_ba;
        QTest::newRow("move to itself") << Op::Move << 2 << 2 << "ab_de"_ba
                                        << "*..*."_ba;
    }

    // The model's signals must keep every view's rows on their lines, and the marks of the
    // lines Open changed stay with their rows unless the text is replaced. Rows show the bytes
    // through Latin-1, every byte one character.
    void operations()
    {
        QFETCH(Op, op);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArray, expected);
        QFETCH(QByteArray, marked);
        const QByteArray n = itemsOf("N").at(0);

        ScriptModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        // Slices of one buffer, the way a loaded file is held.
        load(model, " a\r\nb\r\n\r\n\"d\"\r\ne\r\n"_ba);
        QCOMPARE(reset.size(), 1);
        QList<QPersistentModelIndex> held;
        for (int row = 0; row < model.rowCount(); ++row)
            held.append(model.index(row));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        if (op == Op::Insert)
            model.insert(from, n);
        else if (op == Op::Replace)
            model.setLine(from, n);
        else if (op == Op::Remove)
            model.remove(from);
        else
            model.moveLine(from, to);
        const Items want = itemsOf(expected);
        QCOMPARE(model.lines().toList(), want);
        for (int row = 0; row < held.size(); ++row) {
            if (op == Op::Remove && row == from)
                QVERIFY(!held.at(row).isValid());
            else
                QCOMPARE(held.at(row).data(ScriptModel::LineBytesRole).toByteArray(),
                         op == Op::Replace && row == from ? n : itemsOf("ab_de").at(row));
        }
        QCOMPARE(changed.size(), op == Op::Replace ? 1 : 0);
        if (op == Op::Replace)
            QCOMPARE(changed.at(0).at(0).toModelIndex().row(), from);
        QByteArray marks;
        for (int row = 0; row < model.rowCount(); ++row) {
            marks += model.index(row).data(ScriptModel::OpenChangedRole).toBool() ? '*' : '.';
            QCOMPARE(model.index(row).data().toString(), QString::fromLatin1(want.at(row)));
        }
        QCOMPARE(marks, marked);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), u"Bindings"_s);
    }

    void randomEdits_data()
    {
        QTest::addColumn<ScriptReader::Mode>("mode");
        QTest::newRow("open") << ScriptReader::Mode::Open;
        QTest::newRow("command line") << ScriptReader::Mode::CommandLine;
        QTest::newRow("exact") << ScriptReader::Mode::Exact;
    }

    // A file of random records read whole gives the items of its records read one by one, and
    // edits give what they give on a plain list; a copy taken before them keeps the items.
    void randomEdits()
    {
        QFETCH(ScriptReader::Mode, mode);
        std::mt19937 random(1234);
        const auto pick = [&random](qsizetype n) { return qsizetype(random() % quint32(n)); };
        QByteArray file;
        Items expected;
        for (int record = 0; record < 3000; ++record) {
            QByteArray text;
            for (qsizetype field = 0, fields = 1 + pick(3); field < fields; ++field) {
                text += QByteArray(field ? "," : "") + QByteArray(pick(2), ' ');
                // Plain, long (around the length kept apart), empty, quoted (across a line end too), joined.
                const QByteArray inner = QByteArray(1, "ab \t;,\"\n"[pick(8)]) + "xy"_ba.repeated(pick(4));
                QByteArray quoted = inner;
                quoted.replace('"', 'q');
                const QByteArray fieldText[] = {
                    "k" + inner, QByteArray(100 + pick(60), 'L'), {}, '"' + quoted + '"', "\"j\"tail"};
                text += fieldText[pick(5)];
            }
            text += pick(2) ? "\n" : "\r\n";
            expected += ScriptReader::parse(text, mode).toList();
            file += text;
        }
        file += "\"runs to the end";
        expected += ScriptReader::parse("\"runs to the end", mode).toList();
        ScriptLines lines = ScriptReader::parse(file, mode);
        QCOMPARE(lines.toList(), expected);

        const ScriptLines copy = lines;
        const Items copied = expected;
        for (int step = 0; step < 2000 && !expected.isEmpty(); ++step) {
            const qsizetype row = pick(expected.size());
            const qsizetype other = pick(expected.size());
            const QByteArray text = QByteArray::number(step);
            const qsizetype kind = pick(4);
            const auto edit = [&](auto &list) {
                if (kind == 0)
                    list.insert(other, text);
                else if (kind == 1)
                    list.replace(row, text);
                else if (kind == 2)
                    list.remove(row);
                else
                    list.move(row, other);
            };
            edit(lines);
            edit(expected);
            const qsizetype seen = pick(expected.size());
            QCOMPARE(lines.view(seen), expected.at(seen));
        }
        QCOMPARE(lines.toList(), expected);
        QCOMPARE(copy.toList(), copied);
    }

    // A player's script costs its bytes and little more, and stays when another program empties
    // the file; lines kept apart reuse the room of the ones removed, and an empty list holds nothing.
    void memoryUsed()
    {
        QByteArray bytes;
        for (int i = 0; i < 10'000; ++i)
            bytes += "bind " + QByteArray::number(i) + " \"+attack\"\r\n";
        QTemporaryDir dir;
        const QString path = dir.filePath(u"binds.cfg"_s);
        vbu::test::writeAll(path, bytes);
        ScriptLines lines = ScriptReader::readFile(path, ScriptReader::Mode::Open).lines;
        QVERIFY(QFile::resize(path, 0));
        QCOMPARE(ScriptWriter::toBytes(lines), bytes);
        const qsizetype size = bytes.size();
        QVERIFY2(lines.memoryUsed() >= size && lines.memoryUsed() <= size * 11 / 10,
                 qPrintable(QString::number(lines.memoryUsed())));
        lines.replace(1, "a");
        lines.insert(3, "c");
        lines.remove(3);
        const qsizetype settled = lines.memoryUsed();
        for (int i = 0; i < 1000; ++i) {
            lines.insert(3, QByteArray(100, 'x'));
            lines.remove(3);
        }
        QCOMPARE(lines.memoryUsed(), settled);
        lines.clear();
        QCOMPARE(lines.memoryUsed(), 0);
    }
};

QTEST_GUILESS_MAIN(TestScript)
#include "tst_script.moc"
