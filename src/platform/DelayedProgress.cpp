#include "DelayedProgress.h"

#include <QApplication>
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
        dialog_->setWindowTitle(title_);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->show();
    }
    if (dialog_ && total > 0)
        dialog_->setValue(int(qBound(qint64(0), done * 1000 / total, qint64(1000))));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
