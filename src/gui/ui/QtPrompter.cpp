#include "gui/ui/QtPrompter.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::Critical:
        return QMessageBox::Critical;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

constexpr std::pair<Prompter::Button, QMessageBox::StandardButton> buttonPairs[] = {
    {Prompter::Ok, QMessageBox::Ok},
    {Prompter::Yes, QMessageBox::Yes},
    {Prompter::No, QMessageBox::No},
    {Prompter::Cancel, QMessageBox::Cancel},
};

} // namespace

QtPrompter::QtPrompter()
{
    // The file dialog writes its history, last folder and view, and the colour chooser its
    // custom colours, to Qt's own settings file (QtProject.conf); the recent files are all the
    // program keeps. Sent below a path that is no folder, they read and write nothing.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, u"/dev/null"_s);
}

Prompter::Button QtPrompter::message(QWidget *parent, const Message &message)
{
    QMessageBox box(boxIcon(message.icon), message.title, message.text, QMessageBox::NoButton, parent);
    for (const auto &[ours, theirs] : buttonPairs) {
        if (message.buttons.testFlag(ours)) {
            QPushButton *b = box.addButton(theirs);
            if (ours == message.defaultButton)
                box.setDefaultButton(b);
        }
    }
    box.exec();
    const auto chosen = box.standardButton(box.clickedButton());
    for (const auto &[ours, theirs] : buttonPairs) {
        if (theirs == chosen)
            return ours;
    }
    // Closed without a button: the most cautious answer the box offers.
    for (const Button b : {Cancel, No, Ok}) {
        if (message.buttons.testFlag(b))
            return b;
    }
    return NoButton;
}

QString QtPrompter::input(QWidget *parent, const QString &prompt, const QString &title, const QString &proposed)
{
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(proposed);
    // Wide enough for a typical script line, and so for the whole title.
    auto *field = box.findChild<QLineEdit *>();
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 60);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

QString QtPrompter::fileName(QWidget *parent, const FileRequest &request)
{
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> QtPrompter::color(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

QStringList QtPrompter::nameFilters(const QString &barSeparated)
{
    const QStringList parts = barSeparated.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // "*.*" means every file, also those without a dot in their name.
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        if (patterns == "*.*"_L1)
            patterns = u"*"_s;
        // The dialog hides the last bracketed group, so the description shows as written.
        filters.append(parts.at(i) + u" ("_s + patterns + u')');
    }
    return filters;
}

} // namespace vbu
