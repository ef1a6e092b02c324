#include "support/MainWindowHarness.h"

#include "core/app/MruList.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace vbu::test {

MainWindowHarness::MainWindowHarness(const QString &commandLine)
    : MainWindowHarness(commandLine.isEmpty() ? QStringList() : QStringList{commandLine})
{}

MainWindowHarness::MainWindowHarness(const QStringList &arguments)
{
    clearRecentFiles();
    window = std::make_unique<MainWindow>(prompter, arguments);
}

MainWindowHarness::~MainWindowHarness() = default;

void MainWindowHarness::setLines(const QByteArrayList &lines)
{
    window->script().clear();
    for (const QByteArray &line : lines)
        window->script().append(line);
}

QString MainWindowHarness::fileState() const
{
    return window->caption() + u'|' + window->fileName() + u'|' + window->recentFiles().files().join(u',');
}

bool MainWindowHarness::showActive()
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
}

QAction *MainWindowHarness::action(const char *name) const
{
    return child<QAction>(name);
}

QToolButton *MainWindowHarness::toolbarButton(const char *key) const
{
    return window->findChild<QToolButton *>(u"Toolbar1_"_s + QLatin1StringView(key));
}

} // namespace vbu::test
