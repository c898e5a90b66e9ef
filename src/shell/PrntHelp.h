#pragma once

#include <QDialog>

// Explains the buttons of the report preview's tool bar; shown modally by the print host.
class PrntHelp : public QDialog {
    Q_OBJECT
public:
    explicit PrntHelp(QWidget *parent = nullptr);

public slots:
    void reject() override {}  // no close box: only CmdOK closes it

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool closing_ = false;
};
