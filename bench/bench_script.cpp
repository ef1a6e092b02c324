// Script files of a million lines: loading into the list, saving, memory, and the list view.
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr int scriptLines = 1'000'000;

// A player's script, many times over: binds mostly, then settings, aliases and comments,
// now and then an echo with a comma in it.
QByteArray makeScript()
{
    static constexpr std::array keys = {"w",    "a",     "s",  "d",  "mouse1", "mouse2", "space",
                                        "ctrl", "shift", "f1", "f2", "1",      "2",      "3",
                                        "q",    "e",     "r",  "t",  "tab",    "escape", "mwheelup"};
    static constexpr std::array commands = {"+forward", "+back",    "+attack", "+jump",     "use rocket launcher",
                                            "+moveup",  "weapnext", "+speed",  "say gg",    "impulse 7",
                                            "+zoom",    "inven",    "score",   "+movedown", "use railgun"};
    static constexpr std::array cvars = {"sensitivity", "fov", "cl_gun", "hand", "rate", "crosshair", "gamma"};
    static constexpr std::array notes = {"// weapons", "// movement", "// chat", "//", "// eof"};

    std::mt19937 random(20240601);
    QByteArray out;
    out.reserve(24 * scriptLines);
    for (int i = 0; i < scriptLines; ++i) {
        const unsigned pick = random() % 100;
        if (pick < 70) {
            out += "bind "_ba + keys[random() % keys.size()] + " \"" + commands[random() % commands.size()] + '"';
        } else if (pick < 85) {
            out += "set "_ba + cvars[random() % cvars.size()] + " \"" + QByteArray::number(random() % 200) + '"';
        } else if (pick < 93) {
            out += "alias +zoom"_ba + QByteArray::number(random() % 10) + " \"fov 30;sensitivity 2\"";
        } else if (pick < 99) {
            out += notes[random() % notes.size()];
        } else {
            out += "echo ready, set, go"_ba;
        }
        out += "\r\n";
    }
    return out;
}

struct ScriptFixture
{
    QTemporaryDir dir;
    QString path;
    qint64 fileSize = 0;

    ScriptFixture()
    {
        path = dir.filePath(u"million.cfg"_s);
        const QByteArray bytes = makeScript();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the benchmark script");
        fileSize = bytes.size();
    }

    static ScriptFixture &instance()
    {
        static ScriptFixture fixture;
        return fixture;
    }
};

qint64 residentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

void BM_ScriptLoad(benchmark::State &state)
{
    const ScriptFixture &f = ScriptFixture::instance();
    vbu::ScriptModel model;
    for (auto _ : state) {
        vbu::ScriptReader::Result read = vbu::ScriptReader::readFile(f.path, vbu::ScriptReader::Mode::Open);
        if (!read.ok)
            state.SkipWithError("read failed");
        model.replaceAll(std::move(read.lines));
        benchmark::DoNotOptimize(model.count());
    }
    state.counters["lines"] = double(model.count());
    state.SetBytesProcessed(state.iterations() * f.fileSize);
}
BENCHMARK(BM_ScriptLoad)->Unit(benchmark::kMillisecond);

void BM_ScriptSave(benchmark::State &state)
{
    const ScriptFixture &f = ScriptFixture::instance();
    const vbu::ScriptReader::Result read = vbu::ScriptReader::readFile(f.path, vbu::ScriptReader::Mode::Open);
    const QString target = f.dir.filePath(u"saved.cfg"_s);
    for (auto _ : state) {
        QString why;
        if (!vbu::ScriptWriter::writeFile(target, read.lines, &why))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(state.iterations() * f.fileSize);
}
BENCHMARK(BM_ScriptSave)->Unit(benchmark::kMillisecond);

// What holding the script costs: the list's own count, and what the process grew by.
void BM_ScriptMemory(benchmark::State &state)
{
    const ScriptFixture &f = ScriptFixture::instance();
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const qint64 before = residentBytes();
        state.ResumeTiming();
        auto model = std::make_unique<vbu::ScriptModel>();
        model->replaceAll(vbu::ScriptReader::readFile(f.path, vbu::ScriptReader::Mode::Open).lines);
        state.PauseTiming();
        const qint64 grown = residentBytes() - before;
        const auto used = double(model->lines().memoryUsed());
        state.counters["file_MB"] = double(f.fileSize) / 1e6;
        state.counters["list_MB"] = used / 1e6;
        state.counters["rss_growth_MB"] = double(grown) / 1e6;
        state.counters["list_per_file"] = used / double(f.fileSize);
        state.counters["rss_per_file"] = double(grown) / double(f.fileSize);
        model.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScriptMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// A reset of the whole list with a million rows in a view, up to the next painted frame.
void BM_ScriptView(benchmark::State &state)
{
    const ScriptFixture &f = ScriptFixture::instance();
    const vbu::ScriptLines lines = vbu::ScriptReader::readFile(f.path, vbu::ScriptReader::Mode::Open).lines;
    vbu::ScriptModel model;
    QTreeView view;
    view.setRootIsDecorated(false);
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(640, 480);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        vbu::ScriptLines copy = lines;
        model.clear();
        QApplication::processEvents();
        state.ResumeTiming();
        model.replaceAll(std::move(copy));
        QApplication::processEvents();
        view.scrollToBottom();
        QApplication::processEvents();
        view.repaint();
    }
    state.counters["rows"] = double(model.rowCount());
}
BENCHMARK(BM_ScriptView)->Unit(benchmark::kMillisecond);

} // namespace
