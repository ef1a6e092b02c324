#pragma once

#include "core/ui/LogoSurface.h"

#include <QImage>
#include <QWidget>

namespace vbu {

// picLogo: a picture box that keeps what is painted on it in an image of its own size, so the
// painting survives being covered and uncovered without being drawn again.
class LogoBox final : public QWidget, public LogoSurface
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LogoBox)

public:
    // The design size of the main window's strip.
    static constexpr QSize designSize{16, 348};

    explicit LogoBox(QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    void setForeColor(const QColor &color) { m_foreColor = color; }

    QPaintDevice *drawingDevice() override { return &m_image; }
    double twipsWidth() const override;
    double twipsHeight() const override;
    QFont drawingFont() const override { return font(); }
    QColor foreColor() const override { return m_foreColor; }
    QColor backColor() const override;
    void refresh() override { update(); }

    QSize sizeHint() const override { return designSize; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    static QImage blank(const QSize &size, const QColor &fill);

    QImage m_image;
    QColor m_foreColor;
};

} // namespace vbu
