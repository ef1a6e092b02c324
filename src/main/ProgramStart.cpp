#include "main/ProgramStart.h"

#include "gui/app/MainWindow.h"
#include "gui/ui/SplashWindow.h"
#include "main/BuiltPictures.h"

#include <QCoreApplication>
#include <QImage>

namespace vbu {

ProgramStart::ProgramStart(Prompter &prompter, QStringList arguments)
    : m_prompter(prompter), m_arguments(std::move(arguments))
{}

ProgramStart::~ProgramStart() = default;

void ProgramStart::showSplash()
{
    // A key press before the countdown ends closes the splash, and with it, as the last window
    // shown, the program; the main window is then never shown nor started.
    auto *splash = new SplashWindow(BuiltPictures::splash(), [this]() -> QWidget * {
        emit countdownEnded();
        if (!m_window)
            makeMainWindow();
        m_window->startUp();
        return m_window.get();
    });
    // Made while the splash stands idle, not before it shows: the player sees it at once.
    connect(splash, &SplashWindow::shown, this, &ProgramStart::prepareMainWindow);
    splash->show();
}

void ProgramStart::makeMainWindow()
{
    m_window = std::make_unique<MainWindow>(m_prompter, m_arguments, MainWindow::StartUp::Later);
    connect(m_window.get(), &MainWindow::programEnding, QCoreApplication::instance(), &QCoreApplication::quit,
            Qt::QueuedConnection);
}

void ProgramStart::prepareMainWindow()
{
    if (m_window)
        return;
    makeMainWindow();
    // One frame drawn aside: the fonts, glyphs and pieces of style it needs are then ready when the
    // window first shows.
    QImage aside(m_window->size(), QImage::Format_ARGB32_Premultiplied);
    m_window->render(&aside);
}

} // namespace vbu
