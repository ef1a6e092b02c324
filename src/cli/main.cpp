#include "cli/Cli.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>

int main(int argc, char *argv[])
{
    // A write past the file size limit then fails with an error instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
        return 2;
    vbu::cli::Io io{out, err};
    return vbu::cli::run(QCoreApplication::arguments().mid(1), io);
}
