#pragma once

#include "frames/ReportWindow.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

// The goods in/out journal "货品进出流水帐": shows the work table TC15 as the
// last run left it, with a totals row. "生成报表" rebuilds TC15 from the
// documents of the chosen period, category, goods and party; the filter of
// the last completed run comes back when the window opens. Prints the journal
// with quantities or with amounts.
class C15 : public frames::ReportWindow {
    Q_OBJECT
public:
    explicit C15(QWidget *parent = nullptr);
    ~C15() override;

    // True while a run is under way.
    bool running() const { return running_; }

protected:
    void appendRecord(TextRows &rows, const db::Statement &row) const override;
    QString queryBase() const override { return {}; }
    QVector<QueryField> queryFields() const override { return {}; }
    int queryStartField() const override { return 0; }
    QVariantList stagingValues(int, int) const override { return {}; }
    void adjustColumnWidths(QVector<int> &widths) const override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildFilterFrame();
    void buildMenus();
    void fillFilterCombos();
    void fillJournalGrid();
    void switchPriceBasis(int index);
    void generateReport();
    void showWaitFrame();
    void requestCancel();
    void printReport(const QString &reportFile);

    QDateEdit *DTP[2] = {nullptr, nullptr};
    QComboBox *Comb = nullptr;
    QLineEdit *Txt = nullptr;
    QComboBox *CmbF3 = nullptr;
    QPushButton *Cmd = nullptr;
    QPushButton *cancelfrm = nullptr;
    QPushButton *CmdCancel = nullptr;
    QAction *Menu_price[2] = {nullptr, nullptr};

    bool mCancelRequested = false;
    bool running_ = false;
};
