#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

namespace vbu {

class MainWindow;
class Prompter;

// The way in, once the application object stands. The splash counts down, and the main window is
// made behind it meanwhile, so that it appears the moment the countdown ends; the window's
// start-up (the logo, the recent files, the file the arguments name) still waits for that moment.
class ProgramStart final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramStart)

public:
    // arguments: as MainWindow takes them.
    ProgramStart(Prompter &prompter, QStringList arguments);
    ~ProgramStart() override;

    // Shows the splash; its countdown runs from here.
    void showSplash();
    // Null until the splash has been on screen.
    MainWindow *mainWindow() const { return m_window.get(); }

signals:
    // The countdown is over; the main window starts up and shows next.
    void countdownEnded();

private:
    void makeMainWindow();
    // While the countdown runs: the window made, and drawn once aside.
    void prepareMainWindow();

    Prompter &m_prompter;
    QStringList m_arguments;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace vbu
