#include "Figures.h"
#include "ProcessTime.h"
#include "core/app/AppInfo.h"
#include "gui/app/FontConfigPreload.h"
#include "gui/app/MainWindow.h"
#include "gui/ui/QtPrompter.h"
#include "main/WindowIcon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Shows the window and, at its first frame, writes the steady clock's reading on the output for
// the timing process; false when the frame never came.
bool shownAndReported(QWidget &window)
{
    QElapsedTimer timer;
    timer.start();
    window.show();
    while (!window.windowHandle()->isExposed() && timer.elapsed() < 5000)
        QApplication::processEvents();
    QApplication::processEvents();
    if (!window.windowHandle()->isExposed())
        return false;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    return std::fflush(stdout) == 0;
}

} // namespace

// What the editor does before its main window appears, as its main() does it (the splash's
// countdown left out): fonts read beside the application's start, names, icon, then the main
// window with its font, logo and recent files; or, for comparison, a bare Qt main window. Run as
// a child process of the benchmark, from the start of its main().
int showWindowAndQuit(int &argc, char **argv)
{
    if (std::strcmp(argv[1], "--show-window=bare") == 0) {
        QApplication app(argc, argv);
        QMainWindow window;
        return shownAndReported(window) ? 0 : 1;
    }
    vbu::FontConfigPreload fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName(vbu::AppInfo::title());
    QApplication::setApplicationVersion(vbu::AppInfo::versionText());
    QApplication::setWindowIcon(vbu::WindowIcon::icon());
    vbu::QtPrompter prompter;
    fonts.wait();
    vbu::MainWindow window(prompter, QStringList());
    return shownAndReported(window) ? 0 : 1;
}

// The editor's start-up and a bare Qt main window's, each a process from its start to its first
// frame (off-screen, so it measures our work, not a server's), run in turn. Winding up after the
// frame is left out of both: the window has appeared by then.
static void BM_StartUpBesideBareWindow(benchmark::State &state)
{
    const QByteArray self = QApplication::applicationFilePath().toLocal8Bit();
    for (auto _ : state) {
        const auto ms = sideBySideMs({self, "--show-window=main"}, {self, "--show-window=bare"}, Until::Reported);
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
