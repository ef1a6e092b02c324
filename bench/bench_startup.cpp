#include "Figures.h"
#include "ProcessTime.h"
#include "core/app/AppInfo.h"
#include "core/ui/ProgramIcon.h"
#include "gui/app/MainWindow.h"
#include "gui/ui/QtPrompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPixmap>
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
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(vbu::ProgramIcon::render(size)));
    QApplication::setWindowIcon(icon);
    vbu::QtPrompter prompter;
    vbu::MainWindow window(prompter, QStringList());
    return shown(window) ? 0 : 1;
}

// The editor's start-up and a bare Qt main window's, each a whole process from its start to its
// first frame (off-screen, so it measures our work, not a server's), run in turn.
static void BM_StartUpBesideBareWindow(benchmark::State &state)
{
    const QByteArray self = QApplication::applicationFilePath().toLocal8Bit();
    QList<double> ours;
    QList<double> bare;
    for (auto _ : state) {
        for (int i = 0; i < 11; ++i) {
            ours.append(processMs({self, "--show-window=main"}));
            bare.append(processMs({self, "--show-window=bare"}));
        }
    }
    if (ours.contains(-1) || bare.contains(-1)) {
        state.SkipWithError("a window was not shown");
        return;
    }
    const double oursMedian = Figures::median(ours);
    const double bareMedian = Figures::median(bare);
    state.counters["bare_ms"] = bareMedian;
    state.counters["editor_ms"] = oursMedian;
    Figures::note(u"start-up: editor / bare QMainWindow"_s, oursMedian / bareMedian, 1.2, u"x"_s);
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
