#pragma once

#include <QList>
#include <QString>

// The figures the program is held to, each beside its budget; main prints them once every case
// has run, so a run ends with the answer rather than a page of counters to compare by hand.
class Figures final
{
public:
    // A figure that must stay at or below budget.
    static void note(const QString &name, double value, double budget, const QString &unit);
    static void print();
    // The middle of the samples taken; they are reordered.
    static double median(QList<double> &samples);

private:
    struct Figure
    {
        QString name;
        double value;
        double budget;
        QString unit;
    };
    static QList<Figure> &all();
};
