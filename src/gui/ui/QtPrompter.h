#pragma once

#include "gui/ui/Prompter.h"

#include <QStringList>

namespace vbu {

// The real questions: QMessageBox, QInputDialog, QFileDialog and QColorDialog.
class QtPrompter final : public Prompter
{
public:
    // Made before the first question: see to it that the dialogs keep nothing between runs.
    QtPrompter();

    Button message(QWidget *parent, const Message &message) override;
    QString input(QWidget *parent, const QString &prompt, const QString &title, const QString &proposed) override;
    QString fileName(QWidget *parent, const FileRequest &request) override;
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override;

    // "Desc|pattern|..." as name filters whose shown text is the description alone.
    static QStringList nameFilters(const QString &barSeparated);
};

} // namespace vbu
