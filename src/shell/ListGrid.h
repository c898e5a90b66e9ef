#pragma once

#include <QString>

class GridModel;
class QTableView;
class QWidget;

// A read-only list grid named name that shows model: whole rows, one at a
// time, are selected; no row headers; rows one text line high; the columns
// resizable by the operator; captions centred.
QTableView *CreateListGrid(const QString &name, GridModel *model, QWidget *parent);
