// Script files of a million lines: reading, saving, memory, the editor opening one, and the
// command-line tool beside a terminal text editor.
#include "Figures.h"
#include "ProcessTime.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"
#include "gui/app/MainWindow.h"
#include "gui/ui/QtPrompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QStandardPaths>
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

// The reader alone: the file's bytes to the list's items.
void BM_ScriptRead(benchmark::State &state)
{
    const ScriptFixture &f = ScriptFixture::instance();
    QList<double> ms;
    qsizetype items = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const vbu::ScriptReader::Result read = vbu::ScriptReader::readFile(f.path, vbu::ScriptReader::Mode::Open);
        ms.append(double(timer.nsecsElapsed()) / 1e6);
        if (!read.ok)
            state.SkipWithError("read failed");
        items = read.lines.size();
    }
    state.counters["items"] = double(items);
    state.SetBytesProcessed(state.iterations() * f.fileSize);
    Figures::note(u"reader, 1,000,000 lines (ms)"_s, Figures::median(ms), 20, u"ms"_s);
}
BENCHMARK(BM_ScriptRead)->Unit(benchmark::kMillisecond);

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
        // What the list holds, not what the allocator keeps of the reader's freed scratch.
        malloc_trim(0);
        const qint64 grown = residentBytes() - before;
        const auto used = double(model->lines().memoryUsed());
        state.counters["file_MB"] = double(f.fileSize) / 1e6;
        state.counters["list_MB"] = used / 1e6;
        state.counters["rss_growth_MB"] = double(grown) / 1e6;
        state.counters["list_per_file"] = used / double(f.fileSize);
        state.counters["rss_per_file"] = double(grown) / double(f.fileSize);
        Figures::note(u"list memory / file size"_s, used / double(f.fileSize), 1.1, u"x"_s);
        Figures::note(u"RSS growth / file size"_s, double(grown) / double(f.fileSize), 1.1, u"x"_s);
        model.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScriptMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// Counts the paints of the widget it watches.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The editor as "vbu FILE" opens it once the splash ends: from the main window's construction,
// which reads the file, to the list's first painted frame; then the longest single paint while
// the list is paged to the end and back.
void BM_EditorOpen(benchmark::State &state)
{
    const ScriptFixture &f = ScriptFixture::instance();
    vbu::QtPrompter prompter;
    QList<double> firstPaint;
    double longestPaint = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        vbu::MainWindow window(prompter, {f.path});
        auto *list = window.findChild<QTreeView *>(u"lstBind"_s);
        PaintCounter counter;
        list->viewport()->installEventFilter(&counter);
        window.show();
        while (counter.paints == 0 && timer.elapsed() < 10'000)
            QApplication::processEvents();
        firstPaint.append(double(timer.nsecsElapsed()) / 1e6);
        if (counter.paints == 0 || list->model()->rowCount() < scriptLines)
            state.SkipWithError("the list did not show the file");
        state.PauseTiming();
        const auto press = [list, &longestPaint](int key, int times) {
            for (int i = 0; i < times; ++i) {
                QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
                QApplication::sendEvent(list, &event);
                QElapsedTimer paint;
                paint.start();
                list->viewport()->repaint();
                longestPaint = std::max(longestPaint, double(paint.nsecsElapsed()) / 1e6);
            }
        };
        press(Qt::Key_PageDown, 20);
        press(Qt::Key_End, 1);
        press(Qt::Key_PageUp, 20);
        press(Qt::Key_Home, 1);
        state.ResumeTiming();
    }
    Figures::note(u"editor: load to first paint of the list (ms)"_s, Figures::median(firstPaint), 150, u"ms"_s);
    Figures::note(u"editor: longest paint paging end and back (ms)"_s, longestPaint, 16, u"ms"_s);
}
BENCHMARK(BM_EditorOpen)->Unit(benchmark::kMillisecond);

// "vbu-cfg items FILE" and a terminal text editor opening and quitting the same file, as whole
// processes, one after the other, so both see the same machine.
void BM_ItemsBesideVim(benchmark::State &state)
{
    const ScriptFixture &f = ScriptFixture::instance();
    const QString vim = QStandardPaths::findExecutable(u"vim"_s);
    if (vim.isEmpty()) {
        state.SkipWithError("vim is not installed; tools/dev.sh bench installs it");
        return;
    }
    const QByteArray file = f.path.toLocal8Bit();
    for (auto _ : state) {
        const auto ms =
            sideBySideMs({VBU_CFG_PATH, "items", file}, {vim.toLocal8Bit(), "-u", "NONE", "-es", "-c", "q", file});
        if (!ms) {
            state.SkipWithError("a program failed");
            return;
        }
        const auto [items, vimMs] = *ms;
        state.counters["items_ms"] = items;
        state.counters["vim_ms"] = vimMs;
        Figures::note(u"vbu-cfg items, whole process (ms)"_s, items, vimMs / 2, u"ms"_s);
        Figures::note(u"vbu-cfg items / vim -u NONE -es -c q"_s, items / vimMs, 0.5, u"x"_s);
    }
}
BENCHMARK(BM_ItemsBesideVim)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
