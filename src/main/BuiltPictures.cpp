#include "main/BuiltPictures.h"

#include "core/ui/SplashPicture.h"

#include <QPixmap>
#include <QResource>

using namespace Qt::StringLiterals;

namespace vbu::BuiltPictures {

namespace {

// Bare premultiplied pixels: a picture file would have Qt load every picture plugin to read it.
// They are shown where they lie, in the program's own read-only data, unless their place is not
// aligned as an image's rows must be; a copy would cost a fault for each page it fills.
QImage pixels(const QString &path, QSize size)
{
    const QResource resource(path);
    const int bytesPerLine = size.width() * 4;
    if (resource.compressionAlgorithm() != QResource::NoCompression ||
        resource.size() != qint64(bytesPerLine) * size.height())
        return {};
    const QImage image(resource.data(), size.width(), size.height(), bytesPerLine,
                       QImage::Format_RGBA8888_Premultiplied);
    return reinterpret_cast<quintptr>(resource.data()) % alignof(quint32) == 0 ? image : image.copy();
}

} // namespace

QIcon windowIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        const QImage image = pixels(u":/icons/%1x%1/vbu.rgba"_s.arg(size), {size, size});
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QImage splash()
{
    return pixels(u":/splash.rgba"_s, SplashPicture::size);
}

} // namespace vbu::BuiltPictures
