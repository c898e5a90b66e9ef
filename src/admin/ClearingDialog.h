#pragma once

#include "DataClearing.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <functional>

class QRadioButton;
class QVBoxLayout;

namespace admin {

// Runs a clearing under the wait pointer; once it has run for a while a
// progress window titled like the clearing window shows how far it is.
// Returns the clearing's result.
QString runShowingProgress(const QString &title, const std::function<QString(const ClearingProgress &)> &clearing);

// The frame the clearing windows share: a group of kinds to clear (radio
// buttons Opt0, Opt1, ...), the window's own parts below it and the buttons
// 确 定 (Cmd0, runs) and 取 消 (Cmd1). Closing shows the book name in the
// status bar again.
class ClearingDialog : public QDialog {
    Q_OBJECT
public:
    void done(int result) override;

protected:
    ClearingDialog(const QString &name, const QString &title, const QString &kindsCaption, const QStringList &kinds,
                   QWidget *parent);

    // Places a part of the window between the kinds and the buttons.
    void addPart(QWidget *part);
    QRadioButton *kindButton(int index) const { return opt_.at(index); }
    // The index of the chosen kind; -1 when none is chosen, after telling the operator.
    int chosenKind() const;
    // Tells the operator how the clearing went: its failure, or "操作完成！".
    static void reportOutcome(const QString &error);

private:
    virtual void run() = 0;

    QVector<QRadioButton *> opt_;
    QVBoxLayout *layout_ = nullptr;
};

} // namespace admin
