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
        // makes a name goes now and then.
        for (const uint seed : {9u, 10u})
            QTest::addRow("port %u", seed) << CheckGame::Quake << u"quakespasm"_s << seed << 20;
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
                case 0:
                    edits.insert(row(1), pick());
                    break;
                case 1:
                    edits.remove(row(0));
                    break;
                case 2:
                    edits.replace(row(0), pick());
                    break;
                case 3:
                    edits.move(row(0), row(0));
                    break;
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
};

QTEST_GUILESS_MAIN(TestIncrementalCheck)
#include "tst_incrementalcheck.moc"
