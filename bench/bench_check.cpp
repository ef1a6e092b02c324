// Script checks on large lists, as the editor's check window would run them.
#include "Figures.h"
#include "core/check/ScriptChecker.h"
#include "core/editor/ScriptEdits.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"
#include "gui/editor/CheckReportWindow.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <array>
#include <ctime>
#include <functional>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// Binds to many keys, settings, aliases with binds inside and comments, in the editor's list.
vbu::ScriptLines makeLines(int count)
{
    static constexpr std::array commands = {
        "+forward", "+attack", "+jump", "use rocket launcher", "weapnext", "say gg; wait; say re", "impulse 7"};
    static constexpr std::array keys = {"w", "a", "mouse1", "space", "f1", "kp_enter", "mouse4", "mwheelup"};
    std::mt19937 random(20240601);
    QByteArray buffer;
    buffer.reserve(qsizetype(count) * 32);
    for (int i = 0; i < count; ++i) {
        const unsigned pick = random() % 100;
        if (pick < 60) {
            // Many distinct keys, so few of them are bound twice.
            const QByteArray key =
                pick < 40 ? "aux"_ba + QByteArray::number(random() % 32 + 1) : QByteArray(keys[random() % keys.size()]);
            buffer += "bind "_ba + key + " \"" + commands[random() % commands.size()] + '"';
        } else if (pick < 80) {
            buffer += "set sensitivity \""_ba + QByteArray::number(random() % 20) + '"';
        } else if (pick < 92) {
            buffer += "alias zoom"_ba + QByteArray::number(random() % 100) + " \"fov 30; bind f2 unzoom\"";
        } else {
            buffer += "// weapons; movement"_ba;
        }
        buffer += "\r\n";
    }
    // None of the lines holds a comma, so each comes back whole.
    return vbu::ScriptReader::parse(buffer, vbu::ScriptReader::Mode::Open);
}

void BM_CheckLines(benchmark::State &state)
{
    const vbu::ScriptLines lines = makeLines(int(state.range(0)));
    const vbu::CheckGame game = state.range(1) == 0 ? vbu::CheckGame::Quake2 : vbu::CheckGame::Both;
    qsizetype findings = 0;
    for (auto _ : state) {
        const QList<vbu::CheckFinding> out = vbu::ScriptChecker::check(lines, game);
        findings = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.counters["findings"] = double(findings);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckLines)
    ->ArgNames({"lines", "both"})
    ->Args({1'000, 0})
    ->Args({1'000, 1})
    ->Args({100'000, 0})
    ->Args({100'000, 1})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Unit(benchmark::kMillisecond);

// Nanoseconds of processor time of the calling thread or of the whole program.
qint64 processorTime(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// The longest time the event loop went without turning: a timer that wants to tick every
// millisecond notes each gap between its ticks. On a busy machine a gap also holds time the
// window's thread waited for a processor, so the most processor time it used in one gap is
// noted as well: that is the window's own doing.
class LoopGaps
{
public:
    LoopGaps()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_timer.start();
    }
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 used = processorTime(CLOCK_THREAD_CPUTIME_ID);
        m_longest = std::max(m_longest, now - m_last);
        m_mostUsed = std::max(m_mostUsed, used - m_lastUsed);
        m_last = now;
        m_lastUsed = used;
    }
    double longestMs() const { return double(m_longest) / 1e6; }
    double mostUsedMs() const { return double(m_mostUsed) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_lastUsed = processorTime(CLOCK_THREAD_CPUTIME_ID);
    qint64 m_mostUsed = 0;
};

struct Took
{
    double seconds = 0;
    double processorSeconds = 0; // of all threads
};

// Runs act from the event loop and turns the loop until the report has checked every line.
Took untilChecked(const vbu::CheckReportWindow &report, LoopGaps &gaps, const std::function<void()> &act)
{
    QEventLoop loop;
    QObject::connect(&report, &vbu::CheckReportWindow::checkFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    qint64 used = 0;
    QTimer::singleShot(0, &loop, [&] {
        gaps.tick();
        clock.start();
        used = processorTime(CLOCK_PROCESS_CPUTIME_ID);
        act();
        if (!report.isChecking())
            loop.quit();
    });
    loop.exec();
    const Took took{double(clock.nsecsElapsed()) / 1e9, double(processorTime(CLOCK_PROCESS_CPUTIME_ID) - used) / 1e9};
    gaps.tick();
    return took;
}

// The check window on the editor's list: how long the window may go without answering while a
// check runs (budget 16 ms), how long a whole check takes (budget 1 s for one game), and how long
// after a one-line edit the report is right again (budget 50 ms, the worst of several edits).
// Each comes as time on the clock and, for a machine busy with other work, as processor time:
// the window thread's in the longest gap, and all threads' for a check.
void BM_CheckReport(benchmark::State &state)
{
    const qsizetype count = state.range(0);
    vbu::ScriptModel script;
    vbu::ScriptEdits edits(script);
    edits.load(makeLines(int(count)));
    vbu::CheckReportWindow report(script);
    report.show();
    // The games as the window offers them, with their profiles.
    auto *games = report.findChild<QComboBox *>(QStringLiteral("cmbProfile"));
    const int game = games->findData(state.range(1) == 0 ? u"quake2"_s : u"both"_s);
    const std::function<void()> edit[] = {
        [&] { edits.replace(count / 2, "bind aux1 +jump"); },
        [&] { edits.insert(0, "bind mouse1 +attack"); },
        [&] { edits.remove(1); },
        [&] { edits.move(0, count / 3); },
        [&] { edits.replace(count - 1, "unbindall"); },
        [&] { edits.history()->undo(); },
    };
    for (auto _ : state) {
        LoopGaps gaps;
        const Took check = untilChecked(report, gaps, [&] {
            if (games->currentIndex() == game)
                report.runCheck();
            else
                games->setCurrentIndex(game);
        });
        Took worstEdit;
        for (const std::function<void()> &act : edit) {
            const Took took = untilChecked(report, gaps, act);
            worstEdit.seconds = std::max(worstEdit.seconds, took.seconds);
            worstEdit.processorSeconds = std::max(worstEdit.processorSeconds, took.processorSeconds);
        }
        state.counters["block_ms"] = gaps.longestMs();
        state.counters["block_cpu_ms"] = gaps.mostUsedMs();
        state.counters["check_s"] = check.seconds;
        state.counters["check_cpu_s"] = check.processorSeconds;
        state.counters["edit_ms"] = worstEdit.seconds * 1000;
        state.counters["edit_cpu_ms"] = worstEdit.processorSeconds * 1000;
        state.counters["findings"] = double(report.findings().size());
        if (state.range(1) == 0) { // the budgets are for one game
            Figures::note(u"check: longest block of the window (ms)"_s, gaps.longestMs(), 16, u"ms"_s);
            Figures::note(u"check: whole check, Quake 2 (s)"_s, check.seconds, 1, u"s"_s);
            Figures::note(u"check: worst one-line edit (ms)"_s, worstEdit.seconds * 1000, 50, u"ms"_s);
        }
    }
}
BENCHMARK(BM_CheckReport)
    ->ArgNames({"lines", "both"})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Files of shapes that once took the check quadratic time; each is about a megabyte.
enum Shape { CommentSemicolons, ManyCommands, Semicolons, TinyLines };

QByteArray makeShape(Shape shape)
{
    switch (shape) {
    case CommentSemicolons:
        return QByteArray("//;").repeated(320'000);
    case ManyCommands: {
        // Each command binds a key of its own name, which the game does not know.
        QByteArray out;
        for (int i = 1; i <= 80'000; ++i)
            out += "bind k"_ba + QByteArray::number(i) + " +attack;";
        return out;
    }
    case Semicolons:
        return QByteArray(1'000'000, ';');
    case TinyLines:
        return QByteArray("+jump\n;\n//\n\nw\n").repeated(100'000);
    }
    return {};
}

void BM_CheckShape(benchmark::State &state)
{
    const QByteArray bytes = makeShape(Shape(state.range(0)));
    qsizetype findings = 0;
    for (auto _ : state) {
        const QList<vbu::CheckFinding> out = vbu::ScriptChecker::checkFile(bytes, vbu::CheckGame::Both);
        findings = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.counters["findings"] = double(findings);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_CheckShape)
    ->ArgName("shape")
    ->Arg(CommentSemicolons)
    ->Arg(ManyCommands)
    ->Arg(Semicolons)
    ->Arg(TinyLines)
    ->Unit(benchmark::kMillisecond);

} // namespace
