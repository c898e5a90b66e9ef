#pragma once

#include "documents/NewGoods.h"

#include <QFrame>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Module1;

namespace documents {

// The stock-in window's sub-panel in which a goods arriving for the first
// time is created: ten boxes, the category combo and the picture browse.
class NewGoodsPanel : public QFrame {
    Q_OBJECT
public:
    explicit NewGoodsPanel(Module1 &module, QWidget *parent = nullptr);

    void fillCategories();
    // Shows the panel with the code box holding code; the other boxes keep their texts.
    void enter(const QString &code);
    void clearBoxes();
    // A code pasted with line breaks: they are taken out of the code box.
    void dropLineBreaksInCode();
    NewGoods input() const;
    void setCategoryCode(const QString &code);
    void focusField(NewGoodsOutcome::Field field);
    // The control Enter in the last box moves to.
    void setNextAfterLast(QWidget *widget) { afterLast_ = widget; }

signals:
    void backRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void browsePicture();

    Module1 &m_;
    std::array<QLineEdit *, 10> TxtN{};
    std::array<QLabel *, 10> LabN{};
    QComboBox *CmbHPLB = nullptr;
    QPushButton *CmdOpenPic = nullptr;
    QList<QWidget *> enterOrder_;
    QWidget *afterLast_ = nullptr;
};

} // namespace documents
