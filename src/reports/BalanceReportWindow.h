#pragma once

#include "frames/ReportWindow.h"

class QAction;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QMenu;
class QPushButton;

// The in/out/balance quantity report "货品进出存统计报表": for the goods of a
// category (or all), the balance before a chosen period, the stock-in,
// returns to suppliers, stock-out and returns-in during it, and the balance
// at its end, worked back from today's stock. Computed when the operator
// presses 生成报表; nothing is stored.
class C18 : public frames::ReportWindow {
    Q_OBJECT
public:
    explicit C18(QWidget *parent = nullptr);

    // Computes the report from the period, filters, price basis and order.
    void FillReportGrid();

    QDateEdit *DTP[2] = {nullptr, nullptr};
    QComboBox *Comb = nullptr;
    QLineEdit *Txt = nullptr;
    QPushButton *Cmd = nullptr;

protected:
    QString queryBase() const override { return QString(); }
    QVector<QueryField> queryFields() const override { return {}; }
    int queryStartField() const override { return 0; }
    QVariantList stagingValues(int, int) const override { return {}; }
    QString sortOrder(int index) const override;
    void adjustColumnWidths(QVector<int> &widths) const override;

private:
    void buildFrame();
    void fillFilterCombos();
    void switchPriceBasis(int index);
    void sortBy(int index);
    void printReport();

    QMenu *menu_M = nullptr;
    QAction *Menu_price[2] = {nullptr, nullptr};
    int sortIndex_ = 0;
};
