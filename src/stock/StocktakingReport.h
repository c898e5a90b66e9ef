#pragma once

#include "frames/ReportWindow.h"

// The stocktaking report "库存货品盘点统计": one row per line of an audited
// stocktaking note with its profit or loss quantity, accounting price and
// amount, and the total of the amounts. It opens on the notes dated today;
// a search lists audited lines of any date. Prints a journal or a summary.
class C3 : public frames::ReportWindow {
    Q_OBJECT
public:
    explicit C3(QWidget *parent = nullptr);

    // The select and from parts: the search's base.
    static QString baseSelect();

protected:
    QString fillStatement(const QString &sql) const override;
    void appendRecord(TextRows &rows, const db::Statement &row) const override;
    QString queryBase() const override { return baseSelect(); }
    QVector<QueryField> queryFields() const override;
    int queryStartField() const override { return 1; }
    void afterQuery(bool answered) override;
    QVariantList stagingValues(int print, int row) const override;
};
