#include "support/FakePrompter.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace vbu::test {

namespace {

QStringList &problems()
{
    static QStringList record;
    return record;
}

} // namespace

FakePrompter::~FakePrompter()
{
    if (!m_answers.isEmpty())
        problems().append(QString::number(m_answers.size()) + u" answer(s) queued but never asked for"_s);
}

QStringList FakePrompter::takeProblems()
{
    return std::exchange(problems(), {});
}

template<typename T> std::optional<T> FakePrompter::take(const QString &question)
{
    if (m_answers.isEmpty() || !std::holds_alternative<T>(m_answers.head())) {
        ++unexpected;
        problems().append(u"no answer queued for "_s + question);
        return std::nullopt;
    }
    return std::get<T>(m_answers.dequeue());
}

Prompter::Button FakePrompter::message(QWidget *, const Message &message)
{
    asked.append(Asked{Asked::MessageBox, message, {}, {}, {}, {}, {}});
    if (const auto b = take<Button>(u"the message \""_s + message.text + u'"'))
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
    return take<QString>(u"the input box \""_s + title + u'"').value_or(QString());
}

QString FakePrompter::fileName(QWidget *, const FileRequest &request)
{
    asked.append(Asked{Asked::FileDialog, {}, {}, {}, {}, request, {}});
    const auto answer = take<FileAnswer>(u"the file dialog \""_s + request.title + u'"');
    return answer ? answer->name : QString();
}

std::optional<QColor> FakePrompter::color(QWidget *, const QColor &initial)
{
    asked.append(Asked{Asked::ColorDialog, {}, {}, {}, {}, {}, initial});
    const auto answer = take<std::optional<QColor>>(u"the colour chooser"_s);
    return answer ? *answer : std::nullopt;
}

QString describe(const Prompter::Message &message)
{
    static const std::pair<Prompter::Button, QString> names[] = {
        {Prompter::Ok, u"Ok"_s}, {Prompter::Yes, u"Yes"_s}, {Prompter::No, u"No"_s}, {Prompter::Cancel, u"Cancel"_s}};
    static const QString icons[] = {u"None"_s, u"Information"_s, u"Question"_s, u"Exclamation"_s, u"Critical"_s};
    QStringList buttons;
    QString defaultButton;
    for (const auto &[button, name] : names) {
        if (message.buttons.testFlag(button))
            buttons.append(name);
        if (message.defaultButton == button)
            defaultButton = name;
    }
    return QStringList{message.title, message.text, buttons.join(u'+'), defaultButton,
                       icons[static_cast<int>(message.icon)]}
        .join(u'|');
}

QString FakePrompter::lastMessage() const
{
    return asked.isEmpty() ? u"nothing asked"_s : describe(last().message);
}

void verifyEveryQuestionAnswered()
{
    const QStringList found = FakePrompter::takeProblems();
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u"; "_s)));
}

} // namespace vbu::test
