#pragma once

#include "gui/app/Prompter.h"

#include <QList>
#include <QQueue>

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
    void reset()
    {
        asked.clear();
        m_answers.clear();
        unexpected = 0;
    }

private:
    struct FileAnswer
    {
        QString name;
    };
    using Answer = std::variant<Button, QString, FileAnswer, std::optional<QColor>>;
    template<typename T> std::optional<T> take();

    QQueue<Answer> m_answers;
};

} // namespace vbu::test
