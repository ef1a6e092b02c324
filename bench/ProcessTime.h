#pragma once

#include <QByteArrayList>

#include <optional>
#include <utility>

// Milliseconds from starting a program (its path first), with no input and its output thrown
// away, to its end: what a user waits for when running it. -1 when it could not run or failed.
double processMs(QByteArrayList command);

// Runs the two commands in turn, rounds times over, so both see the same machine; the median
// milliseconds of each, or nothing when one of them failed.
std::optional<std::pair<double, double>> sideBySideMs(const QByteArrayList &first, const QByteArrayList &second,
                                                      int rounds = 11);
