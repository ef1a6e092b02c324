#include "gui/catalogue/UpdateWaitDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vbu {

UpdateWaitDialog::UpdateWaitDialog(QWidget *parent, const QString &text)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"dlgUpdateWait"_s);
    setWindowTitle(u"Check For List Updates"_s);
    setWindowModality(Qt::ApplicationModal);
    auto *label = new QLabel(text);
    label->setObjectName(u"lblStatus"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"cmdCancel"_s);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

UpdateFetcher::Result UpdateWaitDialog::fetch(QWidget *parent, UpdateFetcher &fetcher, const QUrl &url,
                                              const QString &text)
{
    QPointer<UpdateWaitDialog> box = new UpdateWaitDialog(parent, text);
    connect(box, &QDialog::rejected, &fetcher, &UpdateFetcher::cancel);
    box->show();
    UpdateFetcher::Result result = fetcher.fetch(url);
    delete box.data();
    return result;
}

} // namespace vbu
