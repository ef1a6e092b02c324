#pragma once

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

// Runs "vbu-cfg ARGS..." (without the program name); returns the exit code.
int run(const QStringList &args, Io &io);

} // namespace vbu::cli
