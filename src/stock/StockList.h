#pragma once

#include "frames/ReportWindow.h"
#include "stock/StockListSql.h"

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
    // The list over the columns given (the window follows its description).
    explicit C1(const stock::stocklist::PriceBasisColumns &columns, QWidget *parent = nullptr);

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
    int queryStartField() const override;
    void afterQuery(bool answered) override;
    QVariantList stagingValues(int print, int row) const override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void showLowStockView();
    void showHighStockView();
    void showAlarmView(const QString &condition, QAction *checked, const QString &caption);
    // Shows the goods that meet conditions (the where clause, or empty) under
    // the select part on show, at most rowLimit of them (0: all).
    void showList(const QString &conditions, int rowLimit);
    void switchPriceBasis(int index);
    const frames::ListColumns &shownColumns() const { return columns_.of(costShown_); }

    stock::stocklist::PriceBasisColumns columns_;
    QString saleSelectPart_;
    QString costSelectPart_;
    bool costShown_ = false;
    int AutoOpen = 0;
    QString SelectPart;
    QString conditions_;  // what follows SelectPart in ReportSql
    int rowLimit_ = 0;
    bool shown_ = false;

    QAction *Menu_Bellow = nullptr;
    QAction *Menu_Morethan = nullptr;
    QMenu *menu_M = nullptr;
    QAction *Menu_price[2] = {nullptr, nullptr};
};
