#include "main/WindowIcon.h"

#include <QImage>
#include <QPixmap>
#include <QResource>

using namespace Qt::StringLiterals;

namespace vbu::WindowIcon {

QIcon icon()
{
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        // Bare pixels: a picture file would have Qt load every picture plugin to read it.
        const QResource pixels(u":/icons/%1x%1/vbu.rgba"_s.arg(size));
        if (pixels.compressionAlgorithm() != QResource::NoCompression || pixels.size() != qint64(size) * size * 4)
            continue;
        const QImage image(pixels.data(), size, size, size * 4, QImage::Format_RGBA8888_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace vbu::WindowIcon
