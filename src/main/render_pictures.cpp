#include "core/ui/ProgramIcon.h"
#include "core/ui/SplashPicture.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: vbu-render-pictures icon SIZE OUT.png|OUT.rgba\n"
               "       vbu-render-pictures splash OUT.rgba\n",
               stderr);
    return 2;
}

// Bare premultiplied RGBA bytes, which the program shows without decoding.
bool writePixels(const QImage &image, const QString &name)
{
    const QImage bytes = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    QFile out(name);
    const qsizetype length = bytes.sizeInBytes();
    return out.open(QIODevice::WriteOnly) &&
           out.write(reinterpret_cast<const char *>(bytes.constBits()), length) == length && out.flush();
}

} // namespace

// Build-time helper: writes the program's icon at one size, as a PNG for the desktop entry or as
// bare pixels, or the splash's picture as bare pixels.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1StringView("splash"))
        return writePixels(vbu::SplashPicture::render(), args.at(2)) ? 0 : 1;
    bool ok = false;
    const int size = args.size() == 4 && args.at(1) == QLatin1StringView("icon") ? args.at(2).toInt(&ok) : 0;
    if (!ok || size < 8 || size > 1024)
        return usage();
    const QImage image = vbu::ProgramIcon::render(size);
    if (args.at(3).endsWith(QLatin1StringView(".rgba")))
        return writePixels(image, args.at(3)) ? 0 : 1;
    return image.save(args.at(3), "PNG") ? 0 : 1;
}
