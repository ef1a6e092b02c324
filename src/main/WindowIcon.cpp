#include "main/WindowIcon.h"

#include <QImage>
#include <QPixmap>
#include <QResource>

#include <cstring>

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
        // Copied out: the resource's bytes need not be aligned as an image's rows must be.
        QImage image(size, size, QImage::Format_RGBA8888_Premultiplied);
        std::memcpy(image.bits(), pixels.data(), size_t(image.sizeInBytes()));
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace vbu::WindowIcon
