#pragma once

#include <QByteArrayView>
#include <QStringList>

class QIODevice;

namespace vbu::cli {

// Where a command writes: raw bytes, so script lines reach stdout unchanged.
struct Io
{
    QIODevice &out;
    QIODevice &err;
};

// Writes text as UTF-8 (file names, messages).
void print(QIODevice &device, const QString &text);

// Writes a command's output to io.out and flushes it. When that fails (a full device) it says so
// on io.err and returns false; the command then ends with 1.
bool writeOut(Io &io, QByteArrayView bytes);

// Runs "vbu-cfg ARGS..." (without the program name); returns the exit code.
int run(const QStringList &args, Io &io);

} // namespace vbu::cli
