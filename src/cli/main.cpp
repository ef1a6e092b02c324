#include "cli/Cli.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) ||
        !err.open(stderr, QIODevice::WriteOnly))
        return 2;
    vbu::cli::Io io{out, err};
    return vbu::cli::run(QCoreApplication::arguments().mid(1), io);
}
