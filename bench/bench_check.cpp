// Script checks on large lists, as the editor's check window would run them.
#include "core/check/ScriptChecker.h"
#include "core/script/ScriptReader.h"

#include <benchmark/benchmark.h>

#include <array>
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
