#include "Figures.h"
#include "ProcessTime.h"
#include "core/app/AppInfo.h"
#include "core/ui/ProgramIcon.h"
#include "gui/app/MainWindow.h"
#include "gui/ui/QtPrompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Shows the window and waits for its first frame; false when it never came.
bool shown(QWidget &window)
{
    QElapsedTimer timer;
    timer.start();
    window.show();
    while (!window.windowHandle()->isExposed() && timer.elapsed() < 5000)
        QApplication::processEvents();
    QApplication::processEvents();
    return window.windowHandle()->isExposed();
}

} // namespace

// What the editor does before its main window appears, as its main() does it (the splash's
// countdown left out): names, icon, then the main window with its font, logo and recent files;
// or, for comparison, a bare Qt main window. Run as a child process of the benchmark.
int showWindowAndQuit(const QString &which)
{
    if (which == "bare"_L1) {
        QMainWindow window;
        return shown(window) ? 0 : 1;
    }
    QApplication::setApplicationName(vbu::AppInfo::title());
    QApplication::setApplicationVersion(vbu::AppInfo::versionText());
    QApplication::setWindowIcon(vbu::ProgramIcon::icon());
    vbu::QtPrompter prompter;
    vbu::MainWindow window(prompter, QStringList());
    return shown(window) ? 0 : 1;
}

// The editor's start-up and a bare Qt main window's, each a whole process from its start to its
// first frame (off-screen, so it measures our work, not a server's), run in turn.
static void BM_StartUpBesideBareWindow(benchmark::State &state)
{
    const QByteArray self = QApplication::applicationFilePath().toLocal8Bit();
    for (auto _ : state) {
        const auto ms = sideBySideMs({self, "--show-window=main"}, {self, "--show-window=bare"});
        if (!ms) {
            state.SkipWithError("a window was not shown");
            return;
        }
        const auto [editor, bare] = *ms;
        state.counters["editor_ms"] = editor;
        state.counters["bare_ms"] = bare;
        Figures::note(u"start-up: editor / bare QMainWindow"_s, editor / bare, 1.2, u"x"_s);
    }
}
BENCHMARK(BM_StartUpBesideBareWindow)->Unit(benchmark::kMillisecond)->Iterations(1);

// Opening the Command List with the shipped catalogue: read, tree filled, window shown.
static void BM_CommandListOpen(benchmark::State &state)
{
    vbu::QtPrompter prompter;
    vbu::MainWindow window(prompter, QStringList());
    window.show();
    for (auto _ : state) {
        window.toggleCommandList();
        QApplication::processEvents();
        state.PauseTiming();
        window.toggleCommandList();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CommandListOpen)->Unit(benchmark::kMillisecond);
