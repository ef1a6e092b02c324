#pragma once

#include <QByteArrayList>

// Milliseconds from starting a program (its path first), with no input and its output thrown
// away, to its end: what a user waits for when running it. -1 when it could not run or failed.
double processMs(QByteArrayList command);
