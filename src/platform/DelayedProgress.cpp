#include "DelayedProgress.h"

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>

namespace {

constexpr qint64 kQuietMs = 500;  // work shorter than this shows no dialog

} // namespace

DelayedProgress::DelayedProgress(QString title, QString text) : title_(std::move(title)), text_(std::move(text))
{
    clock_.start();
}

void DelayedProgress::operator()(qint64 done, qint64 total)
{
    if (!dialog_ && clock_.elapsed() > kQuietMs && QCoreApplication::instance()->inherits("QApplication")) {
        dialog_ = std::make_shared<QProgressDialog>(text_, QString(), 0, 1000);
        // The dialog's own setValue runs every waiting event, the operator's
        // clicks and keys too, when the dialog is modal: the progress is told
        // through the bar, and only this call runs events.
        bar_ = new QProgressBar;
        bar_->setRange(0, 1000);
        dialog_->setBar(bar_);
        dialog_->setWindowTitle(title_);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->show();
    }
    if (dialog_ && total > 0)
        bar_->setValue(int(qBound(qint64(0), done * 1000 / total, qint64(1000))));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
