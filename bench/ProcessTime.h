#pragma once

#include <QByteArrayList>

#include <optional>
#include <utility>

// Where a timed program's time ends: at its end, what a user waits for when running it; or at the
// moment it names itself, as a steady-clock reading in nanoseconds on its output, for a program
// whose winding up is not what is timed.
enum class Until { Exit, Reported };

// The steady clock's reading in nanoseconds, as a program timed Until::Reported writes it.
qint64 steadyNs();

// Milliseconds from starting a program (its path first), with no input and its output thrown away
// unless it reports, until its end or its report. -1 when it could not run, failed or reported nothing.
double processMs(QByteArrayList command, Until until = Until::Exit);

// Runs the two commands in turn, rounds times over, so both see the same machine; the median
// milliseconds of each, or nothing when one of them failed.
std::optional<std::pair<double, double>> sideBySideMs(const QByteArrayList &first, const QByteArrayList &second,
                                                      Until until = Until::Exit, int rounds = 11);
