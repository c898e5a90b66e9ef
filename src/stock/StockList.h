#pragma once

#include "frames/ReportWindow.h"

class QAction;
class QMenu;

// The stock list "库存货品统计": the goods with their stock on hand, price and
// stock amount, with a totals row. Two alarm views list the goods below their
// safety stock and above their maximum stock; the view to open with is set
// through AutoOpen before the window is first shown (1 below safety, 2 above
// maximum, else the goods in stock).
class C1 : public frames::ReportWindow {
    Q_OBJECT
    Q_PROPERTY(int AutoOpen READ autoOpen WRITE setAutoOpen)
public:
    explicit C1(QWidget *parent = nullptr);

    int autoOpen() const { return AutoOpen; }
    // Opens the chosen view while the window loads; once it has been shown,
    // the value is only kept.
    void setAutoOpen(int view);

    // The select part of the chosen price basis (sale or cost).
    QString selectPart() const { return SelectPart; }
    // The row limit of the list on show; 0 = none.
    int rowLimit() const { return rowLimit_; }

protected:
    QString fillStatement(const QString &sql) const override;
    void appendRecord(TextRows &rows, const db::Statement &row) const override;
    QString sortOrder(int index) const override;
    QString queryBase() const override { return SelectPart; }
    QVector<QueryField> queryFields() const override;
    int queryStartField() const override { return 5; }
    void afterQuery(bool answered) override;
    QVariantList stagingValues(int print, int row) const override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void showLowStockView();
    void showHighStockView();
    void showAlarmView(const QString &condition, QAction *checked, const QString &caption);
    void switchPriceBasis(int index);
    bool costShown() const;
    QString priceField() const;

    int AutoOpen = 0;
    QString SelectPart;
    int rowLimit_ = 0;
    bool shown_ = false;

    QAction *Menu_Bellow = nullptr;
    QAction *Menu_Morethan = nullptr;
    QMenu *menu_M = nullptr;
    QAction *Menu_price[2] = {nullptr, nullptr};
};
