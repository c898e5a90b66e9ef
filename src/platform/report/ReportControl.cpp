#include "ReportControl.h"

#include "db/Database.h"
#include "platform/Prompt.h"
#include "platform/report/ReportPainter.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportTemplate.h"

#include <QEvent>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace {
ReportControl::PrinterChooser gPrinterChooser;

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
} // namespace

ReportControl::ReportControl(QObject *parent) : QObject(parent) {}

ReportControl::~ReportControl()
{
    delete preview_;  // the preview belongs to the control, not to the window it lies in
}

void ReportControl::setDataFiles(int index, const QString &path)
{
    if (index < 0)
        return;
    while (dataFiles_.size() <= index)
        dataFiles_.append(QString());
    dataFiles_[index] = path;
    dirty_ = true;
}

QString ReportControl::dataFiles(int index) const
{
    return dataFiles_.value(index);
}

void ReportControl::setReportFileName(const QString &path)
{
    reportFileName_ = path;
    selectionFormula_.clear();
    formulas_.clear();
    dirty_ = true;
}

void ReportControl::setSelectionFormula(const QString &formula)
{
    selectionFormula_ = formula;
    dirty_ = true;
}

void ReportControl::setFormulas(int index, const QString &text)
{
    if (index < 0)
        return;
    while (formulas_.size() <= index)
        formulas_.append(QString());
    formulas_[index] = text;
    dirty_ = true;
}

void ReportControl::setMoneyFormat(const QString &format)
{
    if (format != moneyFormat_)
        dirty_ = true;
    moneyFormat_ = format;
}

void ReportControl::setWindowParentHandle(QWidget *parent)
{
    if (windowParent_)
        windowParent_->removeEventFilter(this);
    windowParent_ = parent;
    if (parent)
        parent->installEventFilter(this);
    if (preview_ && preview_->parentWidget() != parent) {
        delete preview_;
    }
}

void ReportControl::setWindowLeft(int x)
{
    windowLeft_ = x;
    placePreview();
}

void ReportControl::setWindowTop(int y)
{
    windowTop_ = y;
    placePreview();
}

void ReportControl::setPrinterChooser(PrinterChooser chooser)
{
    gPrinterChooser = std::move(chooser);
}

bool ReportControl::setAction(int action)
{
    if (action != 1)
        return true;
    lastError_.clear();
    QString error;
    bool ok = (!dirty_ && filled_) || fill(&error);
    if (ok)
        ok = destination_ == 1 ? print(&error) : showPreview(&error);
    if (!ok) {
        lastError_ = error;
        Prompt::current().message(QStringLiteral("提示"), error, Prompt::Icon::Exclamation);
    }
    return ok;
}

bool ReportControl::exportPdf(const QString &path)
{
    lastError_.clear();
    QString error;
    if (((!dirty_ && filled_) || fill(&error)) && report::renderPdf(*filled_, path, &error))
        return true;
    lastError_ = error;
    return false;
}

bool ReportControl::fill(QString *error)
{
    filled_.reset();
    const QString name = QFileInfo(reportFileName_).fileName();
    const QString path = report::findFileIgnoringCase(reportFileName_);
    if (path.isEmpty()) {
        *error = QStringLiteral("报表文件%1丢失！").arg(name);
        return false;
    }
    report::ReportTemplate layout;
    QString why;
    if (!report::loadTemplate(path, layout, &why)) {
        *error = QStringLiteral("报表文件%1有错误：\n%2").arg(name, why);
        return false;
    }

    // The open book is read through its own connection, so a print sees the
    // rows its request has just staged in the same transaction.
    const QString book = dataFiles(0);
    db::Database *database = connection_;
    db::Database own;
    if (!book.isEmpty() && (!connection_ || !connection_->isOpen() || !sameFile(book, connection_->path()))) {
        if (!own.open(book)) {
            *error = QStringLiteral("报表无法打开帐本%1：\n%2").arg(book, own.lastError());
            return false;
        }
        database = &own;
    }
    if (!database || !database->isOpen()) {
        *error = QStringLiteral("报表没有可读的帐本");
        return false;
    }

    report::ReportInput input;
    input.selectionFormula = selectionFormula_;
    input.moneyFormat = moneyFormat_;
    for (const QString &f : formulas_)
        if (!f.isEmpty())
            input.formulas.append(f);
    auto filled = report::fillReport(*database, layout, input, &why);
    if (!filled) {
        *error = QStringLiteral("报表%1无法生成：\n%2").arg(name, why);
        return false;
    }
    filled_ = std::make_shared<const report::FilledReport>(std::move(*filled));
    dirty_ = false;
    return true;
}

bool ReportControl::showPreview(QString *error)
{
    if (!windowParent_) {
        *error = QStringLiteral("没有显示报表的窗口");
        return false;
    }
    if (!preview_) {
        // Drawn on the screen: a preview needs no printer installed.
        preview_ = new report::ReportPreview(windowParent_);
        preview_->setObjectName(QStringLiteral("Preview"));
        connect(preview_, &report::ReportPreview::printRequested, this, [this] {
            QString why;
            if (filled_ && !print(&why))
                Prompt::current().message(QStringLiteral("提示"), why, Prompt::Icon::Exclamation);
        });
    }
    placePreview();
    preview_->setReport(filled_);
    preview_->show();
    return true;
}

bool ReportControl::print(QString *error)
{
    QPrinter printer(QPrinter::HighResolution);
    report::applyPageLayout(*filled_, printer);
    const bool chosen = gPrinterChooser ? gPrinterChooser(printer, windowParent_)
                                        : QPrintDialog(&printer, windowParent_).exec() == QDialog::Accepted;
    if (!chosen)
        return true;
    if (!report::paintReport(*filled_, printer)) {
        *error = QStringLiteral("无法打印报表，请检查打印机。");
        return false;
    }
    return true;
}

void ReportControl::placePreview()
{
    if (!preview_ || !windowParent_)
        return;
    preview_->setGeometry(windowLeft_, windowTop_, qMax(0, windowParent_->width() - windowLeft_),
                          qMax(0, windowParent_->height() - windowTop_));
}

bool ReportControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowParent_ && event->type() == QEvent::Resize)
        placePreview();
    return QObject::eventFilter(watched, event);
}
