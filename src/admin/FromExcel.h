#pragma once

#include "ExcelSheet.h"
#include "SheetGrid.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QMenuBar;
class QTableView;

// Loads goods master data from one worksheet of an Excel workbook: the
// operator picks the workbook, names the sheet, reads it into the grid,
// tells which sheet column holds each goods field and runs the import.
class FromExcel : public QWidget {
    Q_OBJECT
public:
    explicit FromExcel(QWidget *parent = nullptr);

    admin::SheetGrid &grid() { return *grid_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void chooseFile();
    void readSheet();
    void deleteRow();
    void showHelp();
    void runImport();
    void importRows();
    void showCount();

    admin::SheetGrid *grid_ = nullptr;
    QVector<admin::CellFaults> faults_;  // of the grid's rows 1.., in order
    QTableView *gd_ = nullptr;
    QLineEdit *txtFile_ = nullptr;
    QLineEdit *txtTab_ = nullptr;
    QLineEdit *txtLB_[2] = {};
    QComboBox *cmbCol_[12] = {};
    QMenuBar *menuBar_ = nullptr;
};
