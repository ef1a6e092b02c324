#include "core/check/OpenChangeFindings.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"
#include "support/TestData.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

ScriptLines linesOf(const Items &items)
{
    ScriptLines lines;
    for (const QByteArray &item : items)
        lines.append(item);
    return lines;
}

// Any other file in the folder would be a temporary left behind.
QStringList filesIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Lines written one a letter: '_' an empty line, 'N' the line the operations put in.
Items itemsOf(const QByteArray &letters)
{
    Items items;
    for (const char c : letters)
        items.append(c == '_' ? QByteArray() : c == 'N' ? "new \xff"_ba : QByteArray(1, c));
    return items;
}

enum class Op { Insert, Replace, Remove, Move };

// "LINE[-LAST]:FIRST+COUNT:FLAGS" an entry, FLAGS of s (split at commas), q (quotes dropped) and
// b (blanks dropped).
QByteArray entriesOf(const OpenChanges &changes)
{
    QByteArrayList out;
    for (const OpenChanges::Entry &e : changes.entries()) {
        QByteArray text = QByteArray::number(e.line);
        if (e.lineCount > 1)
            text += '-' + QByteArray::number(e.line + e.lineCount - 1);
        text += ':' + QByteArray::number(e.firstItem) + '+' + QByteArray::number(e.itemCount) + ':';
        for (int bit = 0; bit < 3; ++bit) {
            if (e.changes.toInt() & (1 << bit))
                text += "sqb"[bit];
        }
        out.append(text);
    }
    return out.join(' ');
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
            << "bind x \"say a, b\"\r\n"_ba << Items{"bind x \"say a", "b\""} << "1:0+2:s"_ba;
        QTest::newRow("leading tabs and blanks skipped, trailing kept")
            << "\t \tset hand 0  \r\n"_ba << Items{"set hand 0  "} << "1:0+1:b"_ba;
        QTest::newRow("blank-only line") << "x\r\n   \r\n"_ba << Items{"x", ""} << "2:1+1:b"_ba;
        QTest::newRow("comma inside quotes") << "\"a,b\",c\r\n"_ba << Items{"a,b", "c"} << "1:0+2:sq"_ba;
        QTest::newRow("text after closing quote kept")
            << "\"bind\" x \"y\", b\r\n"_ba << Items{"bind x \"y\"", "b"} << "1:0+2:sq"_ba;
        QTest::newRow("blanks inside quotes kept") << "  \" in \"\r\n"_ba << Items{" in "} << "1:0+1:qb"_ba;
        QTest::newRow("empty quotes") << "\"\"\r\nx\r\n"_ba << Items{"", "x"} << "1:0+1:q"_ba;
        QTest::newRow("quoted field runs across line ends")
            << "\"a,\r\nb\nc\" d\re,f\r\n"_ba << Items{"a,\r\nb\nc d", "e", "f"} << "1-3:0+1:q 4:1+2:s"_ba;
        QTest::newRow("unclosed quote runs to the end of the last line")
            << "x\r\n\"open, still\r\nnext\r\n"_ba << Items{"x", "open, still\r\nnext"} << "2-3:1+1:q"_ba;
        QTest::newRow("n commas give n+1 fields") << "a,b,,c\r\n"_ba << Items{"a", "b", "", "c"} << "1:0+4:s"_ba;
        QTest::newRow("last line without line end") << "a\r\nb,c"_ba << Items{"a", "b", "c"} << "2:1+2:s"_ba;
        QTest::newRow("trailing comma on last line") << "a,"_ba << Items{"a", ""} << "1:0+2:s"_ba;
        QTest::newRow("empty file") << QByteArray() << Items{} << QByteArray();
        QTest::newRow("single CR LF") << "\r\n"_ba << Items{""} << QByteArray();
        QTest::newRow("mixed line ends") << "a\r\nb\nc\rd\r\n"_ba << Items{"a", "b", "c", "d"} << QByteArray();
        QTest::newRow("LF CR is two line ends") << "a\n\rb"_ba << Items{"a", "", "b"} << QByteArray();
        QTest::newRow("CR CR LF") << "a\r\r\nb"_ba << Items{"a", "", "b"} << QByteArray();
        QTest::newRow("high bytes") << "name \x80\xe9\xff\r\n\xa0x\r\n"_ba << Items{"name \x80\xe9\xff", "\xa0x"}
                                    << QByteArray();
        QTest::newRow("NUL is a byte") << QByteArray("a\0b,\0\r\n", 7)
                                       << Items{QByteArray("a\0b", 3), QByteArray(1, '\0')} << "1:0+2:s"_ba;
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
        QTest::newRow("split, quotes dropped")
            << "x\r\nbind \",\" \"+moveleft\"\r\n"_ba
            << u"Open split line 2 of the file at commas into 2 items and dropped double quotes from it; saving "
               "writes the 2 items as 2 lines."_s +
                   useExact
            << u"Open reads this line as 2 items; saving them writes 2 lines (use Open Exactly)"_s;
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
    // address 0 fails after a good open. Then files that load though unusual.
    void readFile()
    {
        QTemporaryDir dir;
        const QString locked = dir.filePath(u"locked.cfg"_s);
        vbu::test::writeAll(locked, "bind a b\r\n"_ba);
        QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
        const bool root = geteuid() == 0; // permissions do not stop root
        QStringList paths{dir.filePath(u"absent.cfg"_s), dir.path()};
        if (!root)
            paths.append(locked);
        for (const QString &path : paths + QStringList{u"/proc/self/mem"_s}) {
            const auto result = ScriptReader::readFile(path, ScriptReader::Mode::Open);
            QVERIFY2(!result.ok, qPrintable(path));
            QCOMPARE(result.opened, !paths.contains(path));
            QVERIFY(!result.error.isEmpty());
            QVERIFY(path != dir.path() || result.error.contains(u"folder"_s));
        }

        // /proc files report size 0 and are read on in steps.
        auto result = ScriptReader::readFile(u"/proc/self/status"_s, ScriptReader::Mode::CommandLine);
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(result.lines.size() > 5);
        QVERIFY(result.lines.view(0).startsWith("Name:"));

        // 100 MB of lines, then two of a megabyte, one quoted; the last line has no line end.
        const QByteArray line = "bind mouse1 \"+attack\", \"weapnext\"\r\n"_ba;
        const qsizetype repeats = 100'000'000 / line.size();
        const QByteArray wide(1 << 20, 'w');
        const QString path = dir.filePath(u"big.cfg"_s);
        vbu::test::writeAll(path, line.repeated(repeats) + wide + "\r\n\"" + wide + '"');
        result = ScriptReader::readFile(path, ScriptReader::Mode::Open);
        QVERIFY(result.ok);
        QCOMPARE(result.lines.size(), 2 * repeats + 2);
        QCOMPARE(result.lines.view(2 * repeats - 2), "bind mouse1 \"+attack\"");
        QCOMPARE(result.lines.view(2 * repeats - 1), "weapnext");
        QCOMPARE(result.lines.view(2 * repeats), wide);
        QCOMPARE(result.lines.view(2 * repeats + 1), wide);
    }

    void changedOnDiskAfterRead_data()
    {
        QTest::addColumn<qint64>("keep"); // bytes kept when cut short, or -1: overwritten in place
        QTest::newRow("emptied") << qint64(0);
        QTest::newRow("cut short") << qint64(4000);
        QTest::newRow("overwritten") << qint64(-1);
    }

    // Another program changes the file after it was read: the list keeps what was read, and
    // saving writes it back.
    void changedOnDiskAfterRead()
    {
        QFETCH(qint64, keep);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"changing.cfg"_s);
        const QByteArray bytes = "bind mouse1 \"+attack\"\r\n"_ba.repeated(50'000);
        vbu::test::writeAll(path, bytes);
        const ScriptLines lines = ScriptReader::readFile(path, ScriptReader::Mode::Open).lines;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(keep < 0 ? file.write(QByteArray(bytes.size(), 'x')) == bytes.size() : file.resize(keep));
        file.close();
        QCOMPARE(lines.size(), 50'000);
        QCOMPARE(lines.view(49'999), "bind mouse1 \"+attack\"");
        QVERIFY(ScriptWriter::writeFile(path, lines, nullptr));
        QCOMPARE(vbu::test::readAll(path), bytes);
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

    void bytes()
    {
        QFETCH(Items, items);
        QFETCH(QByteArray, expected);
        const ScriptLines lines = linesOf(items);
        QCOMPARE(ScriptWriter::toBytes(lines), expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.cfg"_s);
        vbu::test::writeAll(path, QByteArray(5000, 'o'));
        QString why;
        QVERIFY2(ScriptWriter::writeFile(path, lines, &why), qPrintable(why));
        QCOMPARE(vbu::test::readAll(path), expected);
        QCOMPARE(filesIn(dir), QStringList{u"out.cfg"_s});
    }

    // Lines made the way the form composes them: type, key and the text in double quotes.
    void composedLinesRoundTrip()
    {
        const Items texts{"+forward", "use rocket launcher;wait;+attack", "say \x80\xff\xe9 hi", "", "fov 30; x 2"};
        Items composed{"//Created by : Vantor's Bind Utility"};
        for (const char *type : {"bind", "set", "alias"}) {
            for (const QByteArray &key : {"w"_ba, "F3"_ba, "\xe0"_ba}) {
                for (const QByteArray &text : texts)
                    composed.append(type + " "_ba + key + " \"" + text + '"');
            }
        }
        const QByteArray bytes = ScriptWriter::toBytes(linesOf(composed));
        QCOMPARE(ScriptReader::parse(bytes, ScriptReader::Mode::Open).toList(), composed);
        QCOMPARE(ScriptReader::parse(bytes, ScriptReader::Mode::CommandLine).toList(), composed);
    }

    void corpusRoundTrips_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = vbu::test::corpusFiles();
        QVERIFY(!files.isEmpty());
        for (const QString &path : files)
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }

    // Reading a saved item back gives the item itself unless it holds a comma or begins with a
    // blank, a tab or a double quote. Real configs have a few such items (bind "," "+moveleft"
    // loads as [bind "] and [ +moveleft"]); those may come back changed, but only as their own
    // line would.
    void corpusRoundTrips()
    {
        QFETCH(QString, path);
        const auto first = ScriptReader::readFile(path, ScriptReader::Mode::Open);
        QVERIFY2(first.ok, qPrintable(first.error));
        QVERIFY(!first.lines.isEmpty());
        QTemporaryDir dir;
        const QString copy = dir.filePath(u"saved.cfg"_s);
        QString why;
        QVERIFY2(ScriptWriter::writeFile(copy, first.lines, &why), qPrintable(why));
        const auto second = ScriptReader::readFile(copy, ScriptReader::Mode::Open);
        QVERIFY(second.ok);

        Items expected;
        for (const QByteArray &item : first.lines.toList()) {
            const Items back = ScriptReader::parse(item + "\r\n", ScriptReader::Mode::Open).toList();
            if (!item.contains(',') && !item.startsWith(' ') && !item.startsWith('\t') && !item.startsWith('"'))
                QCOMPARE(back, Items{item});
            expected += back;
        }
        QCOMPARE(second.lines.toList(), expected);
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
    // lines Open changed stay with their rows unless the text is replaced.
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
        for (int row = 0; row < model.rowCount(); ++row)
            marks += model.index(row).data(ScriptModel::OpenChangedRole).toBool() ? '*' : '.';
        QCOMPARE(marks, marked);
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
            switch (pick(4)) {
            case 0:
                lines.insert(other, text);
                expected.insert(other, text);
                break;
            case 1:
                lines.replace(row, text);
                expected.replace(row, text);
                break;
            case 2:
                lines.remove(row);
                expected.remove(row);
                break;
            default:
                lines.move(row, other);
                expected.move(row, other);
            }
            const qsizetype seen = pick(expected.size());
            QCOMPARE(lines.view(seen), expected.at(seen));
        }
        QCOMPARE(lines.toList(), expected);
        QCOMPARE(copy.toList(), copied);
    }

    // A player's script costs its bytes and little more; lines kept apart reuse the room of
    // the ones removed, and an empty list holds nothing.
    void memoryUsed()
    {
        QByteArray bytes;
        for (int i = 0; i < 10'000; ++i)
            bytes += "bind " + QByteArray::number(i) + " \"+attack\"\r\n";
        QTemporaryDir dir;
        vbu::test::writeAll(dir.filePath(u"binds.cfg"_s), bytes);
        ScriptLines lines = ScriptReader::readFile(dir.filePath(u"binds.cfg"_s), ScriptReader::Mode::Open).lines;
        const qsizetype size = bytes.size();
        QVERIFY(lines.memoryUsed() >= size);
        QVERIFY2(lines.memoryUsed() <= size * 11 / 10, qPrintable(QString::number(lines.memoryUsed())));

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

    // Rows show the bytes through Latin-1, every byte one character.
    void modelData()
    {
        ScriptModel model;
        const QByteArray bytes("name \xe9\xff\x80\0x", 10);
        model.append(bytes);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), u"Bindings"_s);
        QCOMPARE(model.index(0).data(Qt::DisplayRole).toString(), QString::fromLatin1(bytes));
    }
};

QTEST_GUILESS_MAIN(TestScript)
#include "tst_script.moc"
