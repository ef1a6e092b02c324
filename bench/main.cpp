#include "Figures.h"
#include "core/app/LargePageAllocator.h"

#include <QApplication>

#include <benchmark/benchmark.h>

// In bench_startup.cpp: the start-up case runs this program again to time a window's start-up.
int showWindowAndQuit(const QString &which);

// The window cases need an application object; the others do not mind one.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the editor's main() does.
    vbu::LargePages::mapLargeAllocations();
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2 && arguments.at(1).startsWith(QLatin1StringView("--show-window=")))
        return showWindowAndQuit(arguments.at(1).section(u'=', 1));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Figures::print();
    return 0;
}
