#pragma once

#include "reports/LstSql.h"
#include "frames/ReportWindow.h"

// The document statistics "入库统计" / "退货统计" / "出库统计" / "退库统计":
// one row per line of the audited documents of one kind with header, party
// and goods data, and a totals row of quantity and amount. It opens on the
// documents dated today; the condition query lists audited lines of any date.
// Two prints: the line list and the summary.
//
// The kind is the public text whoami ("B2", "B4", "D2", "D4"), which the main
// menu sets before showing the window, also on the window already open: a
// different kind then loads that kind afresh, so the window always shows
// what the chosen menu item names.
class Lst : public frames::ReportWindow {
    Q_OBJECT
    Q_PROPERTY(QString whoami READ whoami WRITE setWhoami)
public:
    explicit Lst(QWidget *parent = nullptr);

    QString whoami() const { return whoami_; }
    // Loads the kind named by code when it differs from the kind on show;
    // an unknown code is kept as text and changes nothing.
    void setWhoami(const QString &code);

    // The kind on show; nullptr before the window has loaded one.
    const reports::statistics::StatisticsKind *kind() const { return kind_stat_; }
    QString mKindWord() const { return kind_stat_ ? kind_stat_->word : QString(); }
    QString mHeadTable() const { return kind_stat_ ? kind_stat_->headTable : QString(); }
    QString mPartyTable() const { return kind_stat_ ? kind_stat_->partyTable : QString(); }
    // The held statement: today's documents, or the last query answer.
    QString mSql() const { return ReportSql; }

protected:
    QString fillStatement(const QString &sql) const override;
    QVariantList fillParameters() const override;
    void appendRecord(TextRows &rows, const db::Statement &row) const override;
    QString sortOrder(int index) const override;
    QString queryBase() const override;
    QVector<QueryField> queryFields() const override;
    int queryStartField() const override { return 0; }
    void afterQuery(bool answered) override;
    QVariant stagingKey(int print, int row) const override;
    QVariantList stagingValues(int print, int row) const override;
    QStringList printFormulas(int print) const override;
    void adjustColumns() override;
    void showEvent(QShowEvent *event) override;

private:
    // The kind on show, or stock-in before one was chosen.
    const reports::statistics::StatisticsKind &statKind() const;
    void InitReportWindow(const reports::statistics::StatisticsKind &kind);

    QString whoami_;
    const reports::statistics::StatisticsKind *kind_stat_ = nullptr;
    // The held statement's conditions: today's date (bound) or the operator's.
    QString conditions_;
    bool todayScope_ = false;
};
