#pragma once

#include "reports/PeriodReport.h"
#include "frames/ReportWindow.h"

#include <QDate>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

// The monthly in/out/balance report "货品进出存综合统计报表": generates the
// report of the open period (from the lock date to today) and saves it under
// the next number, or opens, prints and deletes saved reports chosen in the
// selector. Saving and deleting move the lock date of every audit. Hosts the
// condition query, the printing, the cost-price update and the year-end.
class C181 : public frames::ReportWindow {
    Q_OBJECT
public:
    explicit C181(QWidget *parent = nullptr);

    // Start of the current fiscal year (the year-end sets it).
    QDate YearBegin;
    // Number of the report in the grid: 0 generated, > 0 saved, < 0 closed year.
    int CurrentReportNo = 0;
    // How generation finds the closing amount (reports::ClosingMethod).
    int ClosingMethod = reports::kByPeriodMovement;

    // Rebuilds the selector: the generate item when the open period lies
    // before today, then the saved reports, newest first.
    void setComb();
    // Empties the grid to its two heading rows.
    void gdClear();
    // Opens saved report n, narrowed by conditions (SQL; "" for all).
    void FillReportGrid(int n, const QString &conditions);
    // Generates the report of the open period into the grid and the book.
    void GeneratePeriodReport();
    // Puts "会计年度由 <start> 开始" into Labyear.
    void showYearBegin();

    QComboBox *Comb = nullptr;
    QPushButton *Cmd = nullptr;
    QPushButton *CmdDel = nullptr;
    QLabel *Labyear = nullptr;

protected:
    QString queryBase() const override { return QStringLiteral("ALL"); }
    QVector<QueryField> queryFields() const override;
    int queryStartField() const override { return 0; }
    void afterQuery(bool answered) override;
    QVariantList stagingValues(int, int) const override { return {}; }
    void adjustColumnWidths(QVector<int> &widths) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFrame();
    void buildMenus();
    void chooseReport();       // Comb click
    void generateOrOpen();     // Cmd
    void saveOrDelete();       // CmdDel
    void saveReport();
    void deleteReport();
    void chooseMethod(int index);
    void printReport(int item);
    QString printedTotal(int column) const;
    void updateCostPrices();
    void openYearEnd();
    void showRows(const reports::PeriodReportRows &report);

    QAction *Menu_query = nullptr;
    QAction *Menu_FangFa[3] = {nullptr, nullptr, nullptr};
    QMenu *menu_M = nullptr;
};
