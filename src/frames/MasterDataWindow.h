#pragma once

#include "frames/MasterDataKind.h"
#include "frames/MasterRecordStore.h"
#include "shell/EditStateSource.h"
#include "shell/Query.h"

#include <QList>
#include <QVariantList>
#include <QWidget>

class GridModel;
class TextRows;
namespace db {
class Statement;
}
class QAction;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenuBar;
class QTabBar;
class QTableView;

namespace frames {

// The master-data list/card window: a tab strip with the list grid and the
// card, and eight menu commands. Suppliers, receiving units and goods
// categories are this window with their own MasterDataKind; the goods
// window widens it through the virtual steps below.
class MasterDataWindow : public QWidget, public EditStateSource, public QueryLoader {
    Q_OBJECT
    Q_PROPERTY(int Edstu READ Edstu)

public:
    ~MasterDataWindow() override;

    // Edit state: 0 browse, 1 adding, 2 editing. Read by the main window on exit.
    int Edstu() const override { return editState_; }

    int curRow() const { return CurRow; }
    int recordCount() const { return RecordCount; }
    GridModel &grid() { return *model_; }
    const MasterDataKind &kind() const { return kind_; }

protected:
    MasterDataWindow(MasterDataKind kind, QWidget *parent);
    // Fills the list; the concrete window's constructor calls it last.
    void initWindow();

    // The steps the goods window widens.
    virtual void setListGridHeaders();
    // Fills the list from sql; a card on show then shows its current record.
    virtual void fillListGrid(const QString &sql);
    // Adds the cells of one list row, read from the list statement, to rows;
    // the caller ends the row.
    virtual void addListCells(TextRows &rows, const db::Statement &row) const;
    virtual void fillCard();
    virtual void setBrowseMode();
    virtual void setEditMode();
    virtual void addRecord();
    virtual void editRecord();
    virtual void saveRecord();
    virtual void deleteRecord();
    // Places the controls, gives the grid's columns their widths, then fits
    // them to their texts.
    void layoutWindow();
    // The grid's column widths and hidden columns: by the list's columns,
    // or equal shares.
    virtual void setColumnWidths();
    // Gives the columns these widths; a column of width 0 is hidden.
    void setColumnWidths(const QVector<int> &widths);
    virtual void queryList();
    virtual void printList();
    // The grid columns the printed list stages from each grid row, in the
    // staging table's column order.
    virtual QVector<int> printColumns() const;

    // Shared pieces of those steps.
    // Tab strip, grid and card in the window (column widths are the caller's).
    void placeControls();
    // The width the grid's columns share.
    int gridWidth() const;
    void showListStatus();
    void setGridRow(int row);
    void trackListRow();
    void switchTab(int index);
    void cancelEdit();
    // Grid upkeep after a save: drops the edited row, appends the saved one.
    void dropEditedRow();
    void appendSavedRow(const QStringList &cells);
    // Grid upkeep after a delete of row CurRow.
    void afterDelete();
    // Shows a notice titled "提示".
    static void notice(const QString &text);
    // Tells the operator why a store operation did not happen.
    // Tells why a save (saving) or a delete did not happen.
    void reportStoreFailure(const MasterRecordStore::Result &result, QLineEdit *codeBox, bool saving = false);
    // Focus colour, Enter moves on, upper-casing: for every entry box of the card.
    void installCardBox(QWidget *box, bool upperCase);
    void setBrowseMenus(bool browsing);
    bool cardShowing() const;
    QString cell(int row, int col) const;
    // The list column that card box shows; -1: none.
    int columnOfBox(int box) const;
    // The box of a described card that has role, and its label; nullptr if none.
    QLineEdit *boxOf(ColumnRole role) const;
    QLabel *labelOf(ColumnRole role) const;
    // Lays widget in the card where the box of role lies (the window shows
    // one of them at a time).
    void placeOverBox(QWidget *widget, ColumnRole role);
    // The card's texts as a list row: each column the text of the box that
    // shows it, empty where no box does.
    QStringList cardRow() const;
    // The trimmed code of a list row.
    QString listedCode(int row) const;

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    MasterDataKind kind_;
    MasterRecordStore store_;
    int editState_ = 0;
    int CurRow = 0;
    int RecordCount = 0;

    QMenuBar *menuBar_ = nullptr;
    QAction *menuAdd_ = nullptr;
    QAction *menuEdit_ = nullptr;
    QAction *menuDel_ = nullptr;
    QAction *menuQuery_ = nullptr;
    QAction *menuPrint_ = nullptr;
    QAction *menuSave_ = nullptr;
    QAction *menuCancel_ = nullptr;
    QAction *menuReturn_ = nullptr;

    QWidget *body_ = nullptr;
    QTabBar *TabS = nullptr;
    QTableView *GD = nullptr;
    GridModel *model_ = nullptr;
    QFrame *Frm = nullptr;
    QGridLayout *cardLayout_ = nullptr;
    QList<QLabel *> Lab;
    QList<QLineEdit *> Txt;

private:
    // Fills the list from sql; the card is the caller's.
    void readListRows(const QString &sql);
    // The index of the box of a described card that has role; -1 if none.
    int boxWith(ColumnRole role) const;
    void onCurrentRowChanged(int viewRow);
    void placeAtLeftEdge();

    QList<QWidget *> upperCaseBoxes_;
    bool syncingGrid_ = false;
    bool placed_ = false;
};

} // namespace frames
