#include "Figures.h"
#include "core/app/LargePageAllocator.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstring>

// In bench_startup.cpp: the start-up case runs this program again to time a window's start-up.
int showWindowAndQuit(int &argc, char **argv);

// The window cases need an application object; the others do not mind one.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the editor's main() does.
    vbu::LargePages::mapLargeAllocations();
    // Before the application object, which that start-up makes itself.
    if (argc == 2 && std::strncmp(argv[1], "--show-window=", 14) == 0)
        return showWindowAndQuit(argc, argv);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Figures::print();
    return 0;
}
