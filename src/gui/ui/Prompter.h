#pragma once

#include <QColor>
#include <QFlags>
#include <QString>

#include <optional>

class QWidget;

namespace vbu {

// Every modal question the program asks goes through here, so that tests can answer it.
class Prompter
{
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum Button { NoButton = 0x0, Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
    Q_DECLARE_FLAGS(Buttons, Button)

    struct Message
    {
        QString text;
        QString title;
        Buttons buttons = Ok;
        Button defaultButton = Ok;
        Icon icon = Icon::None;
    };

    struct FileRequest
    {
        bool save = false;
        QString title;
        // Description and pattern pairs separated by vertical bars.
        QString filter;
        QString defaultSuffix;
        QString folder;
        // The name offered; a chosen name comes back in full.
        QString fileName;
    };

    virtual ~Prompter() = default;

    // The button chosen; closing the box counts as its Cancel or No or Ok, in that order.
    virtual Button message(QWidget *parent, const Message &message) = 0;
    // The text typed, or empty when cancelled.
    virtual QString input(QWidget *parent, const QString &prompt, const QString &title, const QString &proposed) = 0;
    // The chosen file name, or empty when cancelled.
    virtual QString fileName(QWidget *parent, const FileRequest &request) = 0;
    // The chosen colour, or nothing when cancelled.
    virtual std::optional<QColor> color(QWidget *parent, const QColor &initial) = 0;

    // Shorthand for a box with one OK button.
    void inform(QWidget *parent, const QString &text, const QString &title, Icon icon)
    {
        message(parent, Message{text, title, Ok, Ok, icon});
    }
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Prompter::Buttons)

} // namespace vbu
