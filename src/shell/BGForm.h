#pragma once

#include <QWidget>

class QLabel;
class QPixmap;

// The background window: fills the main window's client area behind every
// function window with a picture, a big two-layer caption (a grey shadow and
// the blue text over it) and a small line at the right. It never takes the
// focus or mouse input.
class BGForm : public QWidget {
    Q_OBJECT
public:
    explicit BGForm(QWidget *parent = nullptr);

    // Lays the window and its labels out to the size of the client area.
    void Form_Resize();

    QLabel *Img() const { return img_; }
    QLabel *LabBig(int index) const { return labBig_[index]; }
    QLabel *Lab() const { return lab_; }

    void setBigCaption(const QString &text);
    void setPicture(const QPixmap &picture);
    // The big caption and the small line (shown with an operator's own picture).
    void setLabelsVisible(bool visible);

private:
    QLabel *img_;
    QLabel *labBig_[2];
    QLabel *lab_;
};
