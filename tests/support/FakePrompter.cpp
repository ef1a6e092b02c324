#include "support/FakePrompter.h"

namespace vbu::test {

template<typename T> std::optional<T> FakePrompter::take()
{
    if (m_answers.isEmpty() || !std::holds_alternative<T>(m_answers.head())) {
        ++unexpected;
        return std::nullopt;
    }
    return std::get<T>(m_answers.dequeue());
}

Prompter::Button FakePrompter::message(QWidget *, const Message &message)
{
    asked.append(Asked{Asked::MessageBox, message, {}, {}, {}, {}, {}});
    if (const auto b = take<Button>())
        return *b;
    for (const Button b : {Cancel, No, Ok}) {
        if (message.buttons.testFlag(b))
            return b;
    }
    return NoButton;
}

QString FakePrompter::input(QWidget *, const QString &prompt, const QString &title, const QString &proposed)
{
    asked.append(Asked{Asked::InputBox, {}, prompt, title, proposed, {}, {}});
    return take<QString>().value_or(QString());
}

QString FakePrompter::fileName(QWidget *, const FileRequest &request)
{
    asked.append(Asked{Asked::FileDialog, {}, {}, {}, {}, request, {}});
    const auto answer = take<FileAnswer>();
    return answer ? answer->name : QString();
}

std::optional<QColor> FakePrompter::color(QWidget *, const QColor &initial)
{
    asked.append(Asked{Asked::ColorDialog, {}, {}, {}, {}, {}, initial});
    const auto answer = take<std::optional<QColor>>();
    return answer ? *answer : std::nullopt;
}

} // namespace vbu::test
