#pragma once

#include <QDialog>

class QLabel;

namespace vbu {

// frmAbout: title, version, where to send feedback, and who made the program.
class AboutDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    // The caption lblDisclaimer is designed with; the authorship block is added to it at load.
    static QString disclaimerDesignCaption();
    static QStringList authorshipLines();
    static QStringList feedbackLines();

    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

private:
    void load();

    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblDescription = nullptr;
    QLabel *m_lblDisclaimer = nullptr;
};

} // namespace vbu
