#pragma once

#include <QWidget>

namespace vbu {

// A separator of two lines, grey over white, that looks cut into the window.
class EtchedLine final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EtchedLine)

public:
    // A horizontal line from (left, top), two pixels high.
    EtchedLine(int left, int top, int width, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vbu
