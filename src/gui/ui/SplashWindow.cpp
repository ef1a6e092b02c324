#include "gui/ui/SplashWindow.h"

#include "core/app/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace vbu {

SplashWindow::SplashWindow(QImage picture, MainWindowFactory openMainWindow)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint), m_openMainWindow(std::move(openMainWindow)),
      m_picture(std::move(picture))
{
    setObjectName(u"frmSplash"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QString());
    setFixedSize(Twips::toPixels(7725), Twips::toPixels(3885));
    setFocusPolicy(Qt::StrongFocus);

    m_lblTimeLeft = new QLabel(u"5 Seconds Left"_s, this);
    m_lblTimeLeft->setObjectName(u"lblTimeLeft"_s);
    m_lblTimeLeft->setGeometry(Twips::toPixels(0, 0, 1365, 195));
    QFont small = m_lblTimeLeft->font();
    small.setPixelSize(11);
    m_lblTimeLeft->setFont(small);
    m_lblTimeLeft->setIndent(3);
    QPalette labelPalette = m_lblTimeLeft->palette();
    labelPalette.setColor(QPalette::WindowText, QColor(226, 196, 140));
    labelPalette.setColor(QPalette::Window, QColor(24, 14, 6));
    m_lblTimeLeft->setPalette(labelPalette);
    // A dark tag over the picture's corner.
    m_lblTimeLeft->setAutoFillBackground(true);

    m_timer = new QTimer(this);
    m_timer->setObjectName(u"Timer1"_s);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::tick);

    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    load();
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::load()
{
    // Not 5: the design caption stands for the first second.
    m_counter = 2;
    m_timer->start();
}

void SplashWindow::tick()
{
    --m_counter;
    m_lblTimeLeft->setText(QString::number(m_counter) + u" Seconds Left"_s);
    if (m_counter != 0)
        return;
    // No further tick may arrive while the main window starts up.
    m_timer->stop();
    if (m_openMainWindow) {
        if (QWidget *main = m_openMainWindow())
            main->show();
    }
    close();
}

bool SplashWindow::event(QEvent *event)
{
    // Any key that types a character, Tab included, before focus handling takes it.
    if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent *>(event)->text().isEmpty()) {
        close();
        return true;
    }
    return QWidget::event(event);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, m_picture);
    if (!m_painted) {
        m_painted = true;
        // After this turn of the event loop, once the frame is out.
        QTimer::singleShot(0, this, &SplashWindow::shown);
    }
}

void SplashWindow::closeEvent(QCloseEvent *event)
{
    m_timer->stop();
    event->accept();
}

} // namespace vbu
