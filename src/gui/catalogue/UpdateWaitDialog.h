#pragma once

#include "core/catalogue/UpdateFetcher.h"

#include <QDialog>

namespace vbu {

// The small box that stands while the update check waits for the server. It is modal, so
// nothing else can be started meanwhile; its Cancel button, Escape and its close box end the
// transfer. It never waits by itself: the transfer's end takes it away.
class UpdateWaitDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpdateWaitDialog)

public:
    UpdateWaitDialog(QWidget *parent, const QString &text);

    // Fetches url with the box showing over parent; the box is gone when this returns. parent
    // may be deleted during the wait (the box with it); the transfer then goes on to its end.
    static UpdateFetcher::Result fetch(QWidget *parent, UpdateFetcher &fetcher, const QUrl &url, const QString &text);
};

} // namespace vbu
