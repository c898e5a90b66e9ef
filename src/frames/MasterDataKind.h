#pragma once

#include "frames/ListColumns.h"
#include "shell/Query.h"

#include <QString>
#include <QStringList>

namespace frames {

// A table field that refers to a master record's code; while any row holds
// the code there, the record can neither be deleted nor have its code changed.
struct CodeReference {
    QString table;
    QString field;
    QString condition = {};  // more of the where clause: which rows of table count
};

// One box of a described card: its label's caption, and its role, which
// names it to the window and finds the list column that fills it (a box of
// a role no column has is the window's to fill).
struct CardBox {
    QString caption;
    ColumnRole role = {};
};

// Everything that tells one master-data list/card window from another.
struct MasterDataKind {
    QString name;             // window name in the registry and objectName: "A1"
    QString table;            // "TA1"
    QString windowCaption;
    QString listTabCaption;
    QString cardTabCaption;
    QStringList columnCaptions;  // list grid, one per field shown
    // The list's columns where the kind describes them (captions, statement
    // and query fields come from them); else each field shown as stored.
    ListColumns listColumns;
    QStringList labelCaptions;   // card labels, field names used in messages
    // The card's boxes where the kind describes them (the label captions come
    // from them); else each box shows the list column of its place.
    QVector<CardBox> cardBoxes;
    QString listSql;
    QString keepOneMessage;      // empty: the table may become empty
    QList<CodeReference> references;
    QString queryBase;           // base statement handed to the query dialog
    QVector<QueryField> queryFields;
    int queryStartField = 1;     // the field the dialog opens on
    struct Report {
        QString file;     // template name as the missing-file message spells it
        QString runFile;  // template name handed to the print host
        QString title;    // value of the title formula Cpt
    } report;
    int gridFreeHeightTwips = 400;
    int codeMaxLength = 0;       // 0: no limit
    bool upperCaseTyping = false;      // every typed character, in every box
    bool upperCaseCodeTyping = false;  // every typed character in the code box
    bool placeAtLeftEdge = false;
    bool queryAndPrint = true;         // the list offers the query and print commands

    int columnCount() const { return int(columnCaptions.size()); }
    int boxCount() const { return int(labelCaptions.size()); }
};

} // namespace frames
