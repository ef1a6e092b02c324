// The check that follows the editor's list: whatever the edits, and wherever they fall while the
// worker runs, its findings end up those of a fresh check of the list.
#include "core/check/CheckProfile.h"
#include "core/check/GameProfiles.h"
#include "core/check/IncrementalCheck.h"
#include "core/check/OpenChangeFindings.h"
#include "core/editor/ScriptEdits.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"

#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <random>

using namespace Qt::StringLiterals;
using vbu::CheckFinding;
using vbu::CheckGame;

namespace {

// Lines that bind, unbind and unbind all a few keys, aliases that run one another or lack a twin,
// lines with findings of their own, and long lines that take the script past the command buffer.
const QByteArrayList pool{
    "bind a +attack",
    "bind a +jump",
    "bind MOUSE1 +attack",
    "bind mouse1 x; bind b y",
    "unbind a",
    "unbindall",
    "unbind b; bind a y",
    "bind b x; unbindall; bind b z",
    "bind kp_enter \"say hi\"",
    "bind KP_ENTER x; bind kp_enter y",
    "bind ` kill",
    "bind A x",
    "alias z \"bind a q\"",
    "alias +z \"+attack; y\"",
    "alias -z -attack",
    "alias y \"z; +z\"",
    "set fov 90",
    "set x 1",
    "// c; quit",
    "name \"a\"b\"",
    "",
    "say " + QByteArray(3000, 'x'),
};

} // namespace

class TestIncrementalCheck : public QObject
{
    Q_OBJECT

private slots:
    void followsEdits_data()
    {
        QTest::addColumn<CheckGame>("game");
        QTest::addColumn<QString>("profile"); // none: the engine's rules alone
        QTest::addColumn<uint>("seed");
        QTest::addColumn<int>("lines");
        for (const CheckGame game : {CheckGame::Quake, CheckGame::Quake2, CheckGame::Both}) {
            for (const uint seed : {1u, 2u})
                QTest::addRow("%s %u", qPrintable(vbu::ScriptChecker::gameName(game)), seed)
                    << game << QString() << seed << 300;
        }
        // Names the script makes and uses come and go with the lines; with few lines, the last that
        // makes a name goes now and then. Seed 11 puts a zero byte before the only '-' alias of a
        // '+' alias; seed 33 has a line that Open changed pass the script's size limit.
        for (const uint seed : {9u, 10u, 11u})
            QTest::addRow("port %u", seed) << CheckGame::Quake << u"quakespasm"_s << seed << 20;
        QTest::addRow("port 33") << CheckGame::Quake << u"quakespasm"_s << 33u << 300;
    }

    void followsEdits()
    {
        QFETCH(CheckGame, game);
        QFETCH(QString, profile);
        QFETCH(uint, seed);
        QFETCH(int, lines);
        QString error;
        const std::optional<vbu::CheckProfile> loaded =
            profile.isEmpty() ? std::nullopt : vbu::CheckProfile::load(profile, vbu::GameProfiles::directory(), &error);
        QVERIFY(profile.isEmpty() || loaded);
        const vbu::CheckTarget target = loaded ? loaded->target() : vbu::CheckTarget(game);
        std::mt19937 random(seed);
        // Now and then a zero byte, which ends the script where it stands.
        const auto pick = [&] {
            return random() % 32 == 0 ? "bind a x\0bind b y"_ba : pool.at(qsizetype(random() % pool.size()));
        };
        vbu::ScriptModel model;
        vbu::ScriptEdits edits(model);
        // Read as Open reads a file, so that the lines it cuts in two carry its marks.
        QByteArray file;
        for (int i = 0; i < lines; ++i)
            file += (i % 40 == 0 ? "bind F1 \"say gg, wp\""_ba : pool.at(qsizetype(random() % pool.size()))) + "\r\n";
        vbu::OpenChanges changes;
        vbu::ScriptLines start = vbu::ScriptReader::parse(file, vbu::ScriptReader::Mode::Open, &changes);
        edits.load(std::move(start), std::move(changes));
        vbu::IncrementalCheck check(model);
        check.start(target);

        for (int round = 0; round < 80; ++round) {
            for (int edit = 0, burst = 1 + int(random() % 4); edit < burst; ++edit) {
                const auto row = [&](qsizetype extra) { return qsizetype(random() % (model.count() + extra)); };
                switch (model.count() == 0 ? 0 : random() % 7) {
                // The row first, whatever the compiler, so that a seed makes the same edits.
                case 0: {
                    const qsizetype at = row(1);
                    edits.insert(at, pick());
                    break;
                }
                case 1:
                    edits.remove(row(0));
                    break;
                case 2: {
                    const qsizetype at = row(0);
                    edits.replace(at, pick());
                    break;
                }
                case 3: {
                    const qsizetype from = row(0);
                    edits.move(from, row(0));
                    break;
                }
                case 4:
                    edits.history()->undo();
                    break;
                case 5:
                    edits.history()->redo();
                    break;
                default:
                    // Emptied, and maybe back in one piece: the whole list is checked again.
                    if (random() % 8 == 0) {
                        edits.clear();
                        if (random() % 2)
                            edits.history()->undo();
                    }
                }
                // Now and then the worker gets to start, so that the next edit cancels it.
                if (random() % 2)
                    QCoreApplication::processEvents();
            }
            QVERIFY(QTest::qWaitFor([&] { return !check.isRunning(); }));

            const QList<CheckFinding> fresh =
                vbu::OpenChangeFindings::withMarks(vbu::ScriptChecker::check(model.lines(), target), model.marks());
            QCOMPARE(check.findings(), fresh);
            QCOMPARE(check.findingCount(), fresh.size());
            for (qsizetype row = 0; row < fresh.size(); ++row)
                QCOMPARE(check.finding(row), fresh.at(row));
            QCOMPARE(check.errorCount(), std::count_if(fresh.cbegin(), fresh.cend(), [](const CheckFinding &f) {
                         return f.severity == vbu::CheckSeverity::Error;
                     }));
            QHash<qsizetype, vbu::CheckSeverity> worst;
            for (const CheckFinding &f : fresh)
                worst[f.line - 1] = std::min(worst.value(f.line - 1, f.severity), f.severity);
            for (qsizetype line = 0; line < model.count(); ++line)
                QCOMPARE(check.markOf(line), worst.contains(line) ? std::optional(worst[line]) : std::nullopt);
        }
    }

    // Edits that reach the names the script makes: while a check runs, once the worker has read
    // the names, lines it has checked and lines it has yet to check go, move or change; after it,
    // lines go and come about the script's end.
    void namesFollowEdits_data()
    {
        QTest::addColumn<int>("during");
        QTest::addColumn<int>("after");
        const int none = -1;
        QTest::newRow("checked alias moved") << 0 << 6;
        QTest::newRow("checked alias removed") << 1 << 6;
        QTest::newRow("alias not checked yet replaced") << 2 << none;
        QTest::newRow("alias not checked yet moved past the end") << 3 << none;
        QTest::newRow("line removed, then the alias just past the end") << none << 4;
        QTest::newRow("lines put in, then the alias just before the end") << none << 5;
        QTest::newRow("the end made an alias, then removed") << none << 7;
        QTest::newRow("the end moved before most aliases") << none << 8;
        QTest::newRow("one of the two lines that make an alias removed") << none << 9;
        QTest::newRow("an alias past the end moved before it") << none << 10;
    }

    void namesFollowEdits()
    {
        QFETCH(int, during);
        QFETCH(int, after);
        QString error;
        const std::optional<vbu::CheckProfile> profile =
            vbu::CheckProfile::load(u"quakespasm"_s, vbu::GameProfiles::directory(), &error);
        QVERIFY2(profile, qPrintable(error));
        // Long enough for the worker to hand over the lines in several batches.
        constexpr int count = 60000;
        constexpr int late = 45000; // checked after the edit, most likely
        constexpr int zero = 50000; // the script ends after this line
        QByteArrayList lines(count, "say one two three four five six seven eight nine ten");
        lines[0] = "alias early \"say a\"";
        lines[1] = "bind b early; bind c late; bind d last; bind e new; bind f past";
        lines[3] = "alias last \"say e\"";
        lines[late] = "alias late \"say b\"";
        lines[zero - 1] = "alias last \"say c\"";
        lines[zero] = "// the end"_ba + '\0';
        lines[zero + 1] = "alias early \"say d\"";
        lines[zero + 2] = "alias past \"say f\"";
        vbu::ScriptModel model;
        vbu::ScriptEdits edits(model);
        edits.load(vbu::ScriptReader::parse(lines.join("\r\n"), vbu::ScriptReader::Mode::Open));
        vbu::IncrementalCheck check(model);
        const auto editNow = [&](int edit) {
            switch (edit) {
            case 0:
                edits.move(0, 2);
                break;
            case 1:
                edits.remove(0);
                break;
            case 2:
                edits.replace(late, "// no alias");
                break;
            case 3:
                edits.move(late, count - 1);
                break;
            case 4:
                edits.remove(2);
                edits.remove(zero);
                break;
            case 5:
                edits.insert(2, "// a");
                edits.insert(2, "// b");
                edits.remove(zero + 1);
                break;
            case 8:
                edits.move(zero, 9);
                break;
            case 9:
                edits.remove(zero - 1);
                break;
            case 10:
                edits.move(zero + 2, 5);
                break;
            case 7:
                // Every line's names are read again, and the new line is known to make one.
                edits.replace(zero, "alias new \"say e\"");
                QVERIFY(QTest::qWaitFor([&] { return !check.isRunning(); }, 60000));
                edits.remove(zero);
                break;
            default:
                for (qsizetype row = 0; row < model.count(); ++row) {
                    if (model.lines().view(row) == lines[late])
                        edits.remove(row);
                }
            }
        };
        // Told at the start, then with the room for the lines, then with the names and the first lines.
        int told = 0;
        connect(&check, &vbu::IncrementalCheck::findingsChanged, this, [&] {
            if (++told == 3 && during >= 0)
                QTimer::singleShot(0, this, [&] { editNow(during); });
        });
        check.start(profile->target());
        QVERIFY(QTest::qWaitFor([&] { return told > 3 && !check.isRunning(); }, 60000));
        if (after >= 0) {
            editNow(after);
            QVERIFY(QTest::qWaitFor([&] { return !check.isRunning(); }, 60000));
        }
        QCOMPARE(check.findings(), vbu::ScriptChecker::check(model.lines(), profile->target()));
    }
};

QTEST_GUILESS_MAIN(TestIncrementalCheck)
#include "tst_incrementalcheck.moc"
