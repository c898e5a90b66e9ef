#pragma once

#include "platform/report/ReportEngine.h"
#include "platform/report/ReportPreview.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace db {
class Database;
}

// The print control: a printing window sets its properties in the order
// DataFiles, ReportFileName, SelectionFormula, Formulas, Destination, then
// sets Action to 1, which runs the template on the book:
//  - Destination 0 shows the pages in a preview inside the window given by
//    setWindowParentHandle, at (WindowLeft, WindowTop); the preview draws a
//    page only when it comes into view;
//  - Destination 1 asks for a printer (the print dialog, which can also
//    print to a PDF file) and prints.
// Failures (missing or faulty template, database errors) are shown to the
// operator through Prompt and reported by setAction's result and lastError().
class ReportControl : public QObject {
    Q_OBJECT
public:
    explicit ReportControl(QObject *parent = nullptr);
    ~ReportControl() override;

    // The open account book; used when DataFiles(0) is its file (or empty).
    // Another file named in DataFiles(0) is opened on its own for the run.
    void setConnection(db::Database *connection) { connection_ = connection; }

    void setDataFiles(int index, const QString &path);
    QString dataFiles(int index) const;
    // Naming a report starts a new one: its selection and formulas are cleared.
    void setReportFileName(const QString &path);
    QString reportFileName() const { return reportFileName_; }
    void setSelectionFormula(const QString &formula);
    QString selectionFormula() const { return selectionFormula_; }
    // Formula index i: a text "name='value'".
    void setFormulas(int index, const QString &text);
    QString formulas(int index) const { return formulas_.value(index); }
    QStringList formulaList() const { return formulas_; }
    void setDestination(int destination) { destination_ = destination; }
    int destination() const { return destination_; }
    // 1 runs the report; true when it ran (a cancelled print dialog counts as run).
    bool setAction(int action);

    // The program's money format ("#0.00"), for the template column format "money".
    void setMoneyFormat(const QString &format);

    // Runs the report set up (as Action 1 does) and writes it to a PDF file
    // without any window or dialog; false with the reason in lastError().
    bool exportPdf(const QString &path);

    void setWindowParentHandle(QWidget *parent);
    void setWindowLeft(int x);
    void setWindowTop(int y);

    // The report of the last successful run; nullptr before one.
    const report::FilledReport *filledReport() const { return filled_.get(); }
    QString lastError() const { return lastError_; }
    report::ReportPreview *previewWidget() const { return preview_; }

    // How Destination 1 asks for a printer; tests answer it themselves.
    using PrinterChooser = std::function<bool(QPrinter &printer, QWidget *parent)>;
    static void setPrinterChooser(PrinterChooser chooser);  // empty = the print dialog

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool fill(QString *error);
    bool showPreview(QString *error);
    bool print(QString *error);
    void placePreview();

    db::Database *connection_ = nullptr;
    QStringList dataFiles_;
    QString reportFileName_;
    QString selectionFormula_;
    QStringList formulas_;
    int destination_ = 0;
    QString moneyFormat_ = QStringLiteral("#0.00");
    int windowLeft_ = 0;
    int windowTop_ = 0;
    QPointer<QWidget> windowParent_;
    QPointer<report::ReportPreview> preview_;
    bool dirty_ = true;  // a property changed since the last fill
    // Shared with the preview, which keeps the report it shows until it is
    // handed the next one.
    std::shared_ptr<const report::FilledReport> filled_;
    QString lastError_;
};
