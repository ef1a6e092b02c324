#include "core/ui/ProgramIcon.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

// Build-time helper: writes the program's icon at one size, as a PNG for the desktop entry, or as
// bare premultiplied RGBA bytes (OUT ending in .rgba) that the program shows without decoding.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool ok = false;
    const int size = args.size() == 3 ? args.at(1).toInt(&ok) : 0;
    if (!ok || size < 8 || size > 1024) {
        std::fputs("usage: vbu-render-icon SIZE OUT.png|OUT.rgba\n", stderr);
        return 2;
    }
    const QImage image = vbu::ProgramIcon::render(size);
    if (!args.at(2).endsWith(QLatin1StringView(".rgba")))
        return image.save(args.at(2), "PNG") ? 0 : 1;
    const QImage bytes = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    QFile out(args.at(2));
    const qsizetype length = bytes.sizeInBytes();
    return out.open(QIODevice::WriteOnly) &&
                   out.write(reinterpret_cast<const char *>(bytes.constBits()), length) == length && out.flush()
               ? 0
               : 1;
}
