#include "OperatorWindow.h"

#include "platform/GridModel.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

namespace {
const char *const kRightCaptions[6] = {"基础数据", "入库管理", "库存管理", "出库管理", "成本价格", "系统管理"};
} // namespace

frames::MasterDataKind S1::operatorKind()
{
    frames::MasterDataKind k;
    k.name = QStringLiteral("S1");
    k.table = QStringLiteral("TE1");
    k.windowCaption = QStringLiteral("系统操作员管理");
    k.listTabCaption = QStringLiteral("操作员列表");
    k.cardTabCaption = QStringLiteral("操作员资料");
    k.columnCaptions = {QStringLiteral("帐号"), QStringLiteral("姓名")};
    k.labelCaptions = {QStringLiteral("操作员帐号"), QStringLiteral("姓名")};
    k.listSql = QStringLiteral("select * from TE1 order by F1");
    k.gridFreeHeightTwips = 1100;
    k.codeMaxLength = 25;
    k.upperCaseTyping = true;
    k.placeAtLeftEdge = true;
    k.queryAndPrint = false;
    return k;
}

S1::S1(QWidget *parent) : MasterDataWindow(operatorKind(), parent)
{
    Txt[1]->setMaxLength(49);

    const int top = kind_.boxCount();
    Label1 = new QLabel(QStringLiteral("操作员权限"), Frm);
    Label1->setObjectName(QStringLiteral("Label1"));
    cardLayout_->addWidget(Label1, top, 0, 1, 2);
    auto *rights = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        auto *box = new QCheckBox(QString::fromUtf8(kRightCaptions[i]), Frm);
        box->setObjectName(QStringLiteral("Chk") + QString::number(i));
        box->setEnabled(false);
        rights->addWidget(box, i / 2, i % 2);
        connect(box, &QCheckBox::toggled, this, [this, i] { coupleRights(i); });
        Chk.append(box);
    }
    cardLayout_->addLayout(rights, top + 1, 0, 1, 2);
    cardLayout_->setRowStretch(top, 0);
    cardLayout_->setRowStretch(top + 2, 1);

    initWindow();
}

operators::Rights S1::shownRights() const
{
    operators::Rights rights{};
    for (int i = 0; i < 6; ++i)
        rights[i] = Chk[i]->isChecked() ? 1 : 0;
    return rights;
}

void S1::showRights(const operators::Rights &rights)
{
    for (int i = 0; i < 6; ++i)
        Chk[i]->setChecked(rights[i] != 0);
}

// Runs on every change of a box, also while the card is filled from a row,
// so a stored inbound right without the cost right shows both unchecked.
void S1::coupleRights(int changed)
{
    if (coupling_)
        return;
    operators::Rights rights = shownRights();
    operators::coupleRights(rights, changed);
    coupling_ = true;
    showRights(rights);
    coupling_ = false;
}

void S1::setRightsEnabled(bool enabled)
{
    for (QCheckBox *box : Chk)
        box->setEnabled(enabled);
}

void S1::fillCard()
{
    MasterDataWindow::fillCard();
    if (const auto rights = operators::readRights(store_.database(), cell(CurRow, 0).trimmed())) {
        for (int i = 0; i < 6; ++i)
            Chk[i]->setChecked((*rights)[i] != 0);
    }
    if (editState_ == 0)
        setRightsEnabled(false);
}

void S1::setBrowseMode()
{
    MasterDataWindow::setBrowseMode();
    setRightsEnabled(false);
}

void S1::setEditMode()
{
    MasterDataWindow::setEditMode();
    setRightsEnabled(true);
}

void S1::editRecord()
{
    if (RecordCount == 0)
        return;
    editState_ = 2;
    if (cardShowing())
        fillCard();
    setEditMode();
    // The administrator's code cannot change; its name and rights can.
    Txt[0]->setReadOnly(Txt[0]->text() == operators::kAdministrator);
    Txt[0]->setFocus();
}

void S1::reportFailure(const operators::Result &result)
{
    using frames::MasterRecordStore;
    switch (result.outcome) {
    case operators::Outcome::Duplicate: {
        MasterRecordStore::Result r;
        r.outcome = MasterRecordStore::Outcome::Duplicate;
        r.holder = result.holder;
        reportStoreFailure(r, Txt[0]);
        break;
    }
    case operators::Outcome::Protected:
        notice(QStringLiteral("001是本系统最高权限管理员专用帐号，不能删除！"));
        break;
    case operators::Outcome::NotAName:
        notice(QStringLiteral("操作员帐号中不能有“/”或“\\”，也不能以“.”开头！"));
        Txt[0]->setFocus();
        break;
    case operators::Outcome::Missing:
        notice(QStringLiteral("该操作员资料已不存在，无法保存！"));
        break;
    case operators::Outcome::Failed: {
        MasterRecordStore::Result r;
        r.outcome = MasterRecordStore::Outcome::Failed;
        r.error = result.error;
        reportStoreFailure(r, Txt[0]);
        break;
    }
    case operators::Outcome::Done:
        break;
    }
}

void S1::saveRecord()
{
    if (editState_ == 0)
        return;
    for (int i = 0; i < 2; ++i) {
        if (Txt[i]->text().trimmed().isEmpty()) {
            notice(Lab[i]->text() + QStringLiteral("不能为空！"));
            return;
        }
    }
    const operators::Operator op{Txt[0]->text().trimmed(), Txt[1]->text().trimmed(), shownRights()};
    const operators::Result result = editState_ == 1
                                         ? operators::addOperator(store_.database(), op)
                                         : operators::updateOperator(store_.database(), cell(CurRow, 0).trimmed(), op);
    if (!result.ok()) {
        reportFailure(result);
        return;
    }
    if (editState_ == 1)
        ++RecordCount;
    else
        dropEditedRow();
    appendSavedRow({op.code, op.name});
    setBrowseMode();
}

void S1::deleteRecord()
{
    const QString code = cell(CurRow, 0).trimmed();
    if (code == operators::kAdministrator) {
        notice(QStringLiteral("001是本系统最高权限管理员专用帐号，不能删除！"));
        return;
    }
    if (RecordCount == 0)
        return;
    if (!Prompt::current().ask(QStringLiteral("提示"),
                               QStringLiteral("真的要删除") + cell(CurRow, 1) + QStringLiteral("的资料吗？"),
                               Prompt::Icon::Question))
        return;
    const operators::Result result = operators::deleteOperator(store_.database(), code);
    if (!result.ok()) {
        reportFailure(result);
        return;
    }
    afterDelete();
}

// The return command and the close box close the window also in the middle
// of an edit; the typed values are dropped.
void S1::closeEvent(QCloseEvent *event)
{
    editState_ = 0;
    MasterDataWindow::closeEvent(event);
}
