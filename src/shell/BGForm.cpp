#include "BGForm.h"

#include <QLabel>
#include <QPixmap>

namespace {
// Layout positions are given in twips; 15 twips make one pixel.
int px(int twips)
{
    return twips / 15;
}
} // namespace

BGForm::BGForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("BGForm"));
    setFocusPolicy(Qt::NoFocus);

    img_ = new QLabel(this);
    img_->setObjectName(QStringLiteral("Img"));
    img_->setScaledContents(true);

    QFont big(QStringLiteral("楷体_GB2312"), 42, QFont::Bold);
    big.setFamilies({QStringLiteral("楷体_GB2312"), QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN"),
                     QStringLiteral("WenQuanYi Zen Hei")});
    const char *colours[2] = {"color: grey;", "color: blue;"};
    for (int i = 0; i < 2; ++i) {
        labBig_[i] = new QLabel(QStringLiteral("Vantoro仓库管理"), this);
        labBig_[i]->setObjectName(QStringLiteral("LabBig%1").arg(i));
        labBig_[i]->setFont(big);
        labBig_[i]->setAlignment(Qt::AlignCenter);
        labBig_[i]->setStyleSheet(QString::fromLatin1(colours[i]));
        labBig_[i]->setAttribute(Qt::WA_TranslucentBackground);
        labBig_[i]->resize(labBig_[i]->sizeHint());
    }

    QFont small(QStringLiteral("宋体"), 12, QFont::Bold);
    small.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei")});
    lab_ = new QLabel(QStringLiteral("货品进出存  一目了然"), this);
    lab_->setObjectName(QStringLiteral("Lab"));
    lab_->setFont(small);
    lab_->resize(lab_->sizeHint());
    lab_->move(0, px(600));
}

void BGForm::Form_Resize()
{
    QWidget *area = parentWidget();
    if (area) {
        move(0, 0);
        resize(area->width(), area->height());
    }
    lab_->raise();
    labBig_[0]->raise();
    labBig_[1]->raise();
    lab_->move(width() - lab_->width() - px(800), lab_->y());
    labBig_[0]->setGeometry(px(51), (height() - labBig_[0]->height()) / 3, width() - px(100), labBig_[0]->height());
    labBig_[1]->setGeometry(px(1), labBig_[0]->y() - px(30), width() - px(100), labBig_[1]->height());
    // A window lower than the free band gets no picture size at all.
    const int pictureHeight = height() - px(800);
    if (pictureHeight >= 0)
        img_->setGeometry(0, 0, width(), pictureHeight);
}

void BGForm::setBigCaption(const QString &text)
{
    labBig_[0]->setText(text);
    labBig_[1]->setText(text);
}

void BGForm::setPicture(const QPixmap &picture)
{
    img_->setPixmap(picture);
}

void BGForm::setLabelsVisible(bool visible)
{
    labBig_[0]->setVisible(visible);
    labBig_[1]->setVisible(visible);
    lab_->setVisible(visible);
}
