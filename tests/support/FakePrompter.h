#pragma once

#include "gui/ui/Prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <variant>

namespace vbu::test {

// Answers the program's questions from queues and keeps a record of what was asked.
// A question with no queued answer is recorded as unexpected and gets the cautious answer.
class FakePrompter final : public Prompter
{
public:
    struct Asked
    {
        enum Kind { MessageBox, InputBox, FileDialog, ColorDialog } kind;
        Message message;     // MessageBox
        QString prompt;      // InputBox
        QString title;       // InputBox
        QString proposed;    // InputBox
        FileRequest request; // FileDialog
        QColor initial;      // ColorDialog
    };

    FakePrompter() = default;
    ~FakePrompter() override;
    Q_DISABLE_COPY_MOVE(FakePrompter)

    void answerMessage(Button b) { m_answers.enqueue(b); }
    void answerInput(const QString &text) { m_answers.enqueue(text); }
    void answerFile(const QString &name) { m_answers.enqueue(FileAnswer{name}); }
    void answerColor(std::optional<QColor> c) { m_answers.enqueue(c); }

    Button message(QWidget *parent, const Message &message) override;
    QString input(QWidget *parent, const QString &prompt, const QString &title, const QString &proposed) override;
    QString fileName(QWidget *parent, const FileRequest &request) override;
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override;

    QList<Asked> asked;
    int unexpected = 0;
    int pending() const { return int(m_answers.size()); }
    const Asked &last() const { return asked.constLast(); }
    // The last question, a message box, as describe() gives it.
    QString lastMessage() const;

    // What went amiss with every fake prompter since the last call: questions asked with no
    // answer queued for them, and answers queued but never asked for (counted when their
    // prompter goes). The record starts empty again.
    static QStringList takeProblems();

private:
    struct FileAnswer
    {
        QString name;
    };
    using Answer = std::variant<Button, QString, FileAnswer, std::optional<QColor>>;
    template<typename T> std::optional<T> take(const QString &question);

    QQueue<Answer> m_answers;
};

// A message box in one line, "title|text|buttons|default button|icon", buttons by name
// ("Yes+No"): a test compares all that was shown at once.
QString describe(const Prompter::Message &message);

// For a GUI test's cleanup(): fails the test function that asked a question it had not
// queued an answer for, or queued one that was never asked.
void verifyEveryQuestionAnswered();

} // namespace vbu::test
