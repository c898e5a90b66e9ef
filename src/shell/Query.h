#pragma once

#include "platform/GridModel.h"

#include <QDialog>
#include <QString>
#include <QVector>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// What a window that calls the condition query dialog offers it: the public
// texts the dialog writes its answer into.
class QueryLoader {
public:
    virtual ~QueryLoader() = default;
    // The finished statement: SqlHeadstr followed by the conditions; empty when cancelled.
    QString PubSql;
    // The conditions alone, without their leading "Where" (" Where Not x" gives
    // "Not x"); empty when none. A caller that adds a condition of its own puts
    // these in parentheses: "... where mine and (" + PubConditions + ")".
    QString PubConditions;
};

// One searchable field of the dialog's field table.
struct QueryField {
    QString caption;
    QString expression;  // SQL expression, e.g. "TA1.F2"
    QString type;        // "0" text, "1" number, "2" date
};

// The condition query dialog "查找条件". A list window empties its PubSql,
// sets loader and SqlHeadstr, fills the field table GD (and CmbF), picks a
// field, and calls showModal(); afterwards an empty PubSql means cancelled,
// otherwise it runs PubSql:
//
//     PubSql.clear();
//     Query &q = Query::instance(this);
//     q.loader = this;
//     q.SqlHeadstr = QStringLiteral("Select TA1.* from TA1 ");
//     q.setFields({{"编码", "TA1.F1", "0"}, {"名称", "TA1.F2", "0"}});
//     q.CmbF->setCurrentIndex(1);
//     q.showModal();            // the dialog is gone afterwards
//     if (!PubSql.isEmpty()) fill(PubSql);
//
// Text values are quoted with their single quotes doubled; "包含" finds the
// typed text literally anywhere in the field; dates are compared through
// datediff('d', ...) as ISO dates and include the picked day.
class Query : public QDialog {
    Q_OBJECT
public:
    // The one dialog, created on first use; showModal() unloads it.
    static Query &instance(QWidget *parent = nullptr);
    // True while a dialog is loaded.
    static bool isLoaded();

    // Shows the dialog modally (through runModal, which tests answer with a
    // ScriptedDialogRunner handling "Query"), then unloads it.
    int showModal();

    // Clears GD, gives it three columns and one row per field, and adds the
    // captions to CmbF in the same order.
    void setFields(const QVector<QueryField> &fields);

    // ---- public members set by the caller ----
    QueryLoader *loader = nullptr;
    QString SqlHeadstr;
    // The field table: row 0 is the first field (no caption row); columns:
    // caption, SQL expression, type code.
    GridModel *GD;

    // ---- controls ----
    QLabel *CPT;
    QComboBox *CmbLG;
    QComboBox *CmbF;
    QComboBox *CmbGX;
    QLineEdit *Txt;
    QDateEdit *DTP;
    QListWidget *Lst;
    QListWidget *LstSql;
    QPushButton *CmdAdd;
    QPushButton *CmdRemove;
    QPushButton *CmdQuery;
    QPushButton *CmdCancel;

    // The conditions part of a finished answer (see QueryLoader::PubConditions).
    static QString conditionsOf(const QStringList &pieces);

public slots:
    void addCondition();     // CmdAdd, Enter in Txt
    void removeCondition();  // CmdRemove
    void finishQuery();      // CmdQuery
    void cancelQuery();      // CmdCancel

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit Query(QWidget *parent);
    void chooseField(int index);
    QString fieldText(int col) const;
    QStringList sqlPieces() const;
    void unload();

    bool inModal_ = false;
};
