#pragma once

#include "admin/OperatorStore.h"
#include "frames/MasterDataWindow.h"

class QCheckBox;

// The operators window: the master-data list/card window over TE1 with the
// six rights as check boxes on the card. No query and no print.
class S1 final : public frames::MasterDataWindow {
    Q_OBJECT
public:
    explicit S1(QWidget *parent = nullptr);

    static frames::MasterDataKind operatorKind();

protected:
    void fillCard() override;
    void setBrowseMode() override;
    void setEditMode() override;
    void editRecord() override;
    void saveRecord() override;
    void deleteRecord() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void coupleRights(int changed);
    void setRightsEnabled(bool enabled);
    operators::Rights shownRights() const;
    void showRights(const operators::Rights &rights);
    void reportFailure(const operators::Result &result);

    QLabel *Label1 = nullptr;
    QList<QCheckBox *> Chk;
    bool coupling_ = false;
};
