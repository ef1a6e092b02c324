#include "support/MainWindowHarness.h"

#include "core/app/AppInfo.h"

#include <QAction>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

namespace vbu::test {

void clearRecentFiles()
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, AppInfo::title(), u"recent-files"_s);
    settings.clear();
    settings.sync();
}

MainWindowHarness::MainWindowHarness(const QString &commandLine)
{
    clearRecentFiles();
    window = std::make_unique<MainWindow>(prompter, commandLine);
}

MainWindowHarness::~MainWindowHarness() = default;

void MainWindowHarness::setLines(const QByteArrayList &lines)
{
    window->script().clear();
    for (const QByteArray &line : lines)
        window->script().append(line);
}

bool MainWindowHarness::showActive()
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
}

QAction *MainWindowHarness::action(const char *name) const
{
    return window->findChild<QAction *>(QLatin1StringView(name));
}

} // namespace vbu::test
