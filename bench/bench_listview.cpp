// The bindings list with console-font glyphs and check marks: painting a screenful must cost
// the same for a thousand lines as for a million.
#include "core/check/IncrementalCheck.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"
#include "gui/editor/ScriptLineDelegate.h"

#include <QApplication>
#include <QImage>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Names full of glyphs between ordinary binds, so that both kinds of run are painted.
vbu::ScriptLines makeLines(qsizetype count)
{
    static constexpr std::array samples = {
        "name \"\x90\xc6\xf2\xe1\xee\xeb\x91\"",
        "bind mouse1 \"+attack\"",
        "name \"\x12\x13\x14 Frag \x1d\x1e\x1e\x1f\"",
        "bind w \"+forward\"",
        "say \"\x10gg\x11 \xe7\xe7\"",
        "bind mouse1 \"+jump\"",
        "// weapons; movement",
    };
    QByteArray buffer;
    buffer.reserve(count * 24);
    for (qsizetype i = 0; i < count; ++i) {
        buffer += samples[std::size_t(i) % samples.size()];
        buffer += "\r\n";
    }
    // None of the lines holds a comma, so each comes back whole.
    return vbu::ScriptReader::parse(buffer, vbu::ScriptReader::Mode::Open);
}

// One screenful of the list, painted into an image: args are the lines in the list, whether
// the glyph delegate is installed, and whether marks are shown.
void BM_ListPaint(benchmark::State &state)
{
    vbu::ScriptModel model;
    model.replaceAll(makeLines(state.range(0)));
    QTreeView view;
    view.setRootIsDecorated(false);
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(640, 480);
    vbu::IncrementalCheck check(model);
    if (state.range(1) != 0) {
        auto *delegate = new vbu::ScriptLineDelegate(&view);
        view.setItemDelegate(delegate);
        if (state.range(2) != 0) {
            check.start(vbu::CheckGame::Both);
            while (check.isRunning())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            delegate->showMarks([&check](qsizetype row) { return check.markOf(row); });
        }
    }
    view.show();
    QApplication::processEvents();
    // Somewhere in the middle, away from any cheap start.
    view.scrollTo(model.index(int(model.count() / 2)));
    QApplication::processEvents();
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = double(model.count());
}
BENCHMARK(BM_ListPaint)
    ->ArgNames({"lines", "glyphs", "marks"})
    ->Args({1'000, 0, 0})
    ->Args({1'000, 1, 0})
    ->Args({1'000'000, 0, 0})
    ->Args({1'000'000, 1, 0})
    ->Args({1'000'000, 1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
