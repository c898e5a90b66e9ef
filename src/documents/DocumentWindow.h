#pragma once

#include "documents/DocumentKind.h"
#include "documents/LineEditor.h"
#include "platform/GridModel.h"
#include "shell/EditStateSource.h"
#include "shell/Query.h"

#include <QWidget>
#include <array>
#include <memory>

class QAction;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabBar;
class QTableView;
class Module1;

namespace documents {

class NewGoodsPanel;

// The document window every document kind shares: tab 1 lists the kind's
// unaudited notes, tab 2 shows one note (header boxes and line grid). A
// DocumentKind configures it; the kinds differ only through its parameters
// and hooks.
class DocumentWindow : public QWidget, public EditStateSource, public QueryLoader {
    Q_OBJECT
    Q_PROPERTY(int Edstu READ Edstu)

public:
    enum EditState { Browse = 0, New = 1, Edit = 2 };

    DocumentWindow(const DocumentKind &kind, QWidget *parent = nullptr);
    ~DocumentWindow() override;

    const DocumentKind &kind() const { return kind_; }
    // The edit state the main window reads: 0 browse, 1 adding, 2 editing.
    int Edstu() const override { return edstu_; }

    GridModel &listGrid() { return list_; }
    GridModel &lineGrid() { return lines_; }
    int listRow() const { return mListRow; }
    int lineRow() const { return mLineRow; }
    int lineCol() const { return mLineCol; }
    bool listAll() const { return mListAll; }
    void setListAll(bool all) { mListAll = all; }
    QString reservedNo() const { return mReservedNo; }
    bool isSearchPanelExpanded() const;

    // Loads the list from a statement (the kind's unaudited notes, or a query's answer).
    void LoadDocumentList(const QString &statement);

public slots:
    void NewDocument();
    void EditDocument();
    void DeleteDocument();
    void SaveDocument();
    void CancelEdit();
    void AuditDocument();
    void CancelAudit();
    void CloseWindow();
    void QueryDocuments();
    void PrintDocument(int index);

    void SubmitEntryStrip();
    void DeleteLineByCode();
    void SearchGoodsByCodePrefix();
    void HideSearchPanel();
    void RunSearchPanelCommand(int index);

    // Makes (row, col) of the line grid current, as a click on it does.
    void BeginCellEdit(int row, int col);
    void CommitCellEdit();

    void SelectListRow(int row);  // as a click on a list row
    void SwitchTab(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildMenus(QMenuBar *bar);
    void InitDocumentWindow();
    void LayoutDocumentWindow();
    void LayoutListGrid();
    void LayoutLineGrid();
    void LayoutSearchGrid();
    void FillPartnerCombo();
    void SetListGridHeaders();
    void ShowListStatus();
    void TrackListRow();
    void LoadDocumentFromListRow();
    void LoadDocumentLines();
    void ShowLineStatus();
    void SetBrowseMode();
    void SetEditMode();
    void UpdateDocumentTotal();
    void PlaceCellEditBox();
    void HandleCellEditEnter();
    void AddLineFromEntryStrip();
    void PrintStagedDocument();
    void placeSearchPanel();
    bool inNewGoodsMode() const;
    void SaveNewGoodsAndAddLine();
    void removeListRow();
    void refreshListRowFromBook();
    void showStoredNote();
    // A list row's cells from a row of the list statement.
    QStringList listRowTexts(const db::Statement &s) const;
    void setLineCurrent(int row, int col);
    void highlight(QWidget *box, bool on);
    void message(const QString &title, const QString &text);
    QString listCell(int row, int col) const { return list_.textMatrix(row, col); }
    bool listIsEmpty() const { return list_.textMatrix(1, 0).trimmed().isEmpty(); }
    bool onDetailTab() const;
    bool hasParty() const { return !kind_.partyTable.isEmpty(); }

    const DocumentKind &kind_;
    Module1 &m_;
    GridModel list_{8};
    GridModel lines_{7};
    GridModel search_{3};
    std::unique_ptr<LineEditor> editorOwner_;  // the kind's line rules
    LineEditor &editor_;

    int edstu_ = Browse;
    bool mListAll = false;
    QString mListOrder;
    int mListRow = 1;
    int mListRows = 0;
    int mLineRow = 1;
    int mLineRows = 0;
    int mLineCol = 0;
    QString mReservedNo;
    bool committing_ = false;
    bool loading_ = false;
    bool built_ = false;  // every control exists

    QTabBar *TabS = nullptr;
    QTableView *GD = nullptr;
    QWidget *Frm = nullptr;
    QFrame *FrmTop = nullptr;
    QFrame *FrmBtm = nullptr;
    std::array<QLineEdit *, 7> Txt{};
    std::array<QLabel *, 7> Lab{};
    QDateEdit *DTP1 = nullptr;
    QComboBox *CmbLB = nullptr;
    QTableView *GdMx = nullptr;
    QLineEdit *TxtEnter = nullptr;
    QFrame *PicLRQ = nullptr;
    QWidget *searchBody_ = nullptr;
    QWidget *searchPlace_ = nullptr;  // the room the collapsed panel takes in the layout
    QLineEdit *TxtHPBM = nullptr;
    QLineEdit *TxtSL = nullptr;
    QPushButton *CmdQuery = nullptr;
    QPushButton *CmdEnter = nullptr;
    QPushButton *CmdDel = nullptr;
    QTableView *GdQuery = nullptr;
    QLabel *LabInfo = nullptr;
    std::array<QPushButton *, 3> CmdBox{};  // CmdBox(2) only with the new-goods panel
    NewGoodsPanel *FrmNewGoods = nullptr;

    QAction *Menu_Add = nullptr;
    QAction *Menu_edit = nullptr;
    QAction *Menu_del = nullptr;
    QAction *Menu_Ok = nullptr;
    QAction *Menu_noOK = nullptr;
    QAction *Menu_query = nullptr;
    QAction *Menu_T = nullptr;
    QAction *Menu_print = nullptr;
    QMenu *printMenu_ = nullptr;
    QList<QAction *> Menu_prn;
    QAction *Menu_save = nullptr;
    QAction *Menu_cancel = nullptr;
    QAction *Menu_Return = nullptr;
};

} // namespace documents
