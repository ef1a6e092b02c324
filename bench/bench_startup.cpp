#include "gui/app/MainWindow.h"
#include "gui/ui/QtPrompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

// The main window from nothing to painted on screen, as the splash's end starts it (the
// splash's two seconds left out). Off-screen, so it measures our work, not a server's.
static void BM_MainWindowStartUp(benchmark::State &state)
{
    vbu::QtPrompter prompter;
    for (auto _ : state) {
        vbu::MainWindow window(prompter, QStringList());
        window.show();
        QElapsedTimer waited;
        waited.start();
        while (!window.windowHandle()->isExposed() && waited.elapsed() < 5000)
            QApplication::processEvents();
        if (!window.windowHandle()->isExposed())
            state.SkipWithError("the window was not shown");
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.winId());
    }
}
BENCHMARK(BM_MainWindowStartUp)->Unit(benchmark::kMillisecond);

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
