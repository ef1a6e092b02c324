#include "Figures.h"
#include "ProcessTime.h"
#include "core/app/AppInfo.h"
#include "gui/app/MainWindow.h"
#include "gui/ui/QtPrompter.h"
#include "main/BuiltPictures.h"
#include "main/ProgramStart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Shows the window and, at its first frame, writes the steady clock's reading, less the time left
// out, on the output for the timing process; false when the frame never came.
bool shownAndReported(QWidget &window, qint64 leftOutNs = 0)
{
    QElapsedTimer timer;
    timer.start();
    window.show();
    while (!window.windowHandle()->isExposed() && timer.elapsed() < 5000)
        QApplication::processEvents();
    QApplication::processEvents();
    if (!window.windowHandle()->isExposed())
        return false;
    std::printf("%lld\n", static_cast<long long>(steadyNs() - leftOutNs));
    return std::fflush(stdout) == 0;
}

} // namespace

// The editor's way to its main window, as its main() goes it: the application, its names and icon,
// the splash, and the main window shown when the splash's countdown ends. The countdown is left
// out of the time reported and all else counts: what comes before it, and the window's start-up
// and first frame after it. Or, for comparison, a bare Qt main window. Run as a child process of
// the benchmark, from the start of its main().
int showWindowAndQuit(int &argc, char **argv)
{
    if (std::strcmp(argv[1], "--show-window=bare") == 0) {
        QApplication app(argc, argv);
        QMainWindow window;
        return shownAndReported(window) ? 0 : 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(vbu::AppInfo::title());
    QApplication::setApplicationVersion(vbu::AppInfo::versionText());
    QApplication::setWindowIcon(vbu::BuiltPictures::windowIcon());
    vbu::QtPrompter prompter;
    vbu::ProgramStart start(prompter, QStringList());
    start.showSplash();
    const qint64 countdownFrom = steadyNs();
    bool reported = false;
    QObject::connect(&start, &vbu::ProgramStart::countdownEnded, [&] {
        const qint64 countdown = steadyNs() - countdownFrom;
        // The splash shows the window once this returns.
        QTimer::singleShot(0, [&start, &reported, countdown] {
            reported = shownAndReported(*start.mainWindow(), countdown);
            QApplication::quit();
        });
    });
    QApplication::exec();
    return reported ? 0 : 1;
}

// The editor's start-up and a bare Qt main window's, each a process from its start to its main
// window's first frame, less the splash's countdown (off-screen, so it measures our work, not a
// server's), run in turn. Winding up after the frame is left out of both: the window has appeared
// by then.
static void BM_StartUpBesideBareWindow(benchmark::State &state)
{
    const QByteArray self = QApplication::applicationFilePath().toLocal8Bit();
    for (auto _ : state) {
        // More rounds than elsewhere: most of each child's time is the dynamic loader's, the same
        // for both and noisy, and the figure is the small difference our own work makes.
        const auto ms = sideBySideMs({self, "--show-window=main"}, {self, "--show-window=bare"}, Until::Reported, 21);
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
