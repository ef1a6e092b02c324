#include "Figures.h"

#include <algorithm>
#include <cstdio>

QList<Figures::Figure> &Figures::all()
{
    static QList<Figure> figures;
    return figures;
}

void Figures::note(const QString &name, double value, double budget, const QString &unit)
{
    // A case run again (repetitions, a longer minimum time) keeps its latest figure.
    QList<Figure> &figures = all();
    figures.removeIf([&name](const Figure &f) { return f.name == name; });
    figures.append(Figure{name, value, budget, unit});
}

void Figures::print()
{
    if (all().isEmpty())
        return;
    std::printf("\n%-44s %10s %10s\n", "figure", "measured", "budget");
    for (const Figure &f : all()) {
        std::printf("%-44s %10.3f %10.3f %-6s %s\n", qPrintable(f.name), f.value, f.budget, qPrintable(f.unit),
                    f.value <= f.budget ? "ok" : "OVER");
    }
}

double Figures::median(QList<double> &samples)
{
    if (samples.isEmpty())
        return 0;
    const auto middle = samples.begin() + samples.size() / 2;
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}
