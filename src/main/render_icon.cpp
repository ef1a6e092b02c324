#include "core/ui/ProgramIcon.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>

// Build-time helper: writes the program's icon at one size as a PNG for the desktop entry.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool ok = false;
    const int size = args.size() == 3 ? args.at(1).toInt(&ok) : 0;
    if (!ok || size < 8 || size > 1024) {
        std::fputs("usage: vbu-render-icon SIZE OUT.png\n", stderr);
        return 2;
    }
    return vbu::ProgramIcon::render(size).save(args.at(2), "PNG") ? 0 : 1;
}
