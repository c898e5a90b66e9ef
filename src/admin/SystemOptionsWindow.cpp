#include "SystemOptionsWindow.h"

#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char *const kCaptions[10] = {
    "禁止超出库存出库(借货功能)",
    "录入编辑单据时禁止修改实际价格",
    "禁止动态更新成本价(加权平均)",
    "禁止单据数量中存在负数",
    "销售价与成本价同步(销售价=成本价x",
    "系统只记数量不记价格、金额",
    "库存数低于安全库存启动系统时自动报警",
    "库存数高于最高库存启动系统时自动报警",
    "允许最高权限管理员“001”直接修改库存数",
    "允许最高权限管理员“001”修改年初余额",
};

const QString kDecimalsCaption = QStringLiteral("   所有价格、金额数都精确到小数点后       位");
const QString kDecimalsGapStart = QStringLiteral("   所有价格、金额数都精确到小数点后 ");

const QString kStockWarning = QStringLiteral(
    "直接修改库存数会造成进出存报表不准确，不推荐开放此功能。\n\n"
    "但如果出于确实需要，此功能也会给您带来一些方便，请慎重使用。\n\n"
    "此功能只允许系统管理员001在[基础数据]->[货品编码资料]中操作。\n\n"
    "确定开放此功能吗？");
const QString kOpeningWarning = QStringLiteral(
    "随意修改年初余额（年初数量、价格）可能造成进出存报表不准确，不推荐开放此功能，请慎重使用!\n\n"
    "此功能只允许系统管理员001在[基础数据]->[货品编码资料]中操作。\n\n"
    "确定开放此功能吗？");

int checked(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

SysFuncSet::SysFuncSet(QWidget *parent) : QDialog(parent), m_(Module1::instance())
{
    setObjectName(QStringLiteral("SysFuncSet"));
    setWindowTitle(QStringLiteral("系统功能设置"));
    buildControls();
    loadOptions();
}

void SysFuncSet::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    Frm = new QFrame(this);
    Frm->setObjectName(QStringLiteral("Frm"));
    Frm->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(Frm);
    auto *lines = new QVBoxLayout(Frm);

    for (int i = 0; i < 10; ++i) {
        auto *box = new QCheckBox(QString::fromUtf8(kCaptions[i]), Frm);
        box->setObjectName(QStringLiteral("Chk") + QString::number(i));
        Chk.append(box);
    }
    Txt4 = new QLineEdit(Frm);
    Txt4->setObjectName(QStringLiteral("Txt4"));
    Txt4->setMaximumWidth(80);
    Txt4->installEventFilter(this);
    Lab4 = new QLabel(QStringLiteral(")"), Frm);
    Lab4->setObjectName(QStringLiteral("Lab4"));
    Lab9 = new QLabel(kDecimalsCaption, Frm);
    Lab9->setObjectName(QStringLiteral("Lab9"));
    // The decimals box sits in the gap of its label's caption.
    Txt9 = new QLineEdit(Lab9);
    Txt9->setObjectName(QStringLiteral("Txt9"));
    Txt9->setAlignment(Qt::AlignCenter);
    Txt9->installEventFilter(this);
    placeDecimalsBox();

    for (int i : {5, 0, 3, 1, 2})
        lines->addWidget(Chk[i]);
    auto *factorLine = new QHBoxLayout;
    factorLine->addWidget(Chk[4]);
    factorLine->addWidget(Txt4);
    factorLine->addWidget(Lab4);
    factorLine->addStretch(1);
    lines->addLayout(factorLine);
    lines->addWidget(Lab9);
    for (int i : {6, 7, 8, 9})
        lines->addWidget(Chk[i]);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (int i = 0; i < 2; ++i) {
        auto *b = new QPushButton(i == 0 ? QStringLiteral("确 定") : QStringLiteral("取 消"), this);
        b->setObjectName(QStringLiteral("Cmd") + QString::number(i));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        Cmd.append(b);
    }
    layout->addLayout(buttons);

    connect(Chk[4], &QCheckBox::toggled, this, [this](bool on) { factorBoxChanged(on); });
    connect(Txt4, &QLineEdit::textChanged, this, [this] { factorTextChanged(); });
    connect(Chk[5], &QCheckBox::toggled, this, [this](bool on) { quantityOnlyChanged(on); });
    connect(Chk[8], &QCheckBox::toggled, this, [this](bool on) { warnOnOpening(8, on); });
    connect(Chk[9], &QCheckBox::toggled, this, [this](bool on) { warnOnOpening(9, on); });
    connect(Txt9, &QLineEdit::textChanged, this, [this] { decimalsChanged(); });
    connect(Cmd[0], &QPushButton::clicked, this, [this] { save(); });
    connect(Cmd[1], &QPushButton::clicked, this, &QDialog::reject);
}

void SysFuncSet::placeDecimalsBox()
{
    const QFontMetrics fm(Lab9->font());
    const int left = fm.horizontalAdvance(kDecimalsGapStart);
    const int width = fm.horizontalAdvance(QStringLiteral("     "));
    Lab9->setMinimumHeight(Txt9->sizeHint().height());
    Txt9->setGeometry(left, 0, qMax(width, fm.horizontalAdvance(QStringLiteral("00"))), Txt9->sizeHint().height());
}

// The window starts from the module's variables, not from the table.
void SysFuncSet::loadOptions()
{
    mLoading = true;
    Chk[0]->setChecked(m_.gOptNoOverdraw != 0);
    Chk[1]->setChecked(m_.gOptLockLinePrice != 0);
    Chk[2]->setChecked(m_.gOptNoAverageCostUpdate != 0);
    Chk[3]->setChecked(m_.gOptAbsoluteQuantities != 0);
    const float factor = m_.gOptSalePriceFactor;
    mLastFactor = factor == 0 ? 1 : factor;
    Txt4->setText(options::factorText(factor));
    Chk[4]->setChecked(factor != 0);
    Chk[5]->setChecked(std::abs(m_.gOptKeepPrices - 1) != 0);
    quantityOnlyChanged(Chk[5]->isChecked());
    Chk[6]->setChecked(m_.gOptAlarmLowAtStart != 0);
    Chk[7]->setChecked(m_.gOptAlarmHighAtStart != 0);
    Chk[8]->setChecked(m_.gOptAdminEditsStock != 0);
    Chk[9]->setChecked(m_.gOptAdminEditsOpening != 0);
    // Setting the text runs the decimals check, notice included.
    Txt9->setText(QString::number(m_.gOptMoneyDecimals));
    mLoading = false;
}

void SysFuncSet::factorBoxChanged(bool checked)
{
    if (!checked)
        Txt4->setText(QStringLiteral("0"));
    else if (numtext::typedNumber(Txt4->text()) == 0)
        Txt4->setText(options::factorText(mLastFactor));
}

void SysFuncSet::factorTextChanged()
{
    Chk[4]->setChecked(numtext::typedNumber(Txt4->text()) != 0);
}

// Quantity-only books have no prices: the price options are out of reach,
// their values stay.
void SysFuncSet::quantityOnlyChanged(bool checked)
{
    for (QWidget *w : std::initializer_list<QWidget *>{Chk[1], Chk[2], Chk[4], Txt4, Lab4, Lab9, Txt9})
        w->setEnabled(!checked);
}

void SysFuncSet::warnOnOpening(int box, bool checked)
{
    if (mLoading || !checked)
        return;
    if (!Prompt::current().confirm(QStringLiteral("警告"), box == 8 ? kStockWarning : kOpeningWarning,
                                   Prompt::Icon::Question))
        Chk[box]->setChecked(false);
}

// The box holds a whole number 0..8 written plainly; anything else becomes 2.
void SysFuncSet::decimalsChanged()
{
    if (checkingDecimals_)
        return;
    checkingDecimals_ = true;
    const QString t = Txt9->text();
    const double v = numtext::leadingNumber(t);
    if (v > 8 || v < 0 || t != numtext::numToText(v)) {
        Txt9->setText(QStringLiteral("2"));
    } else {
        const QString whole = QString::number(int(std::floor(v)));
        Txt9->setText(whole);
        if (whole != QStringLiteral("2"))
            Prompt::current().message(
                QStringLiteral("提示"),
                QStringLiteral("系统默认价格、金额相关数据精确到小数点后 2 位。\n\n你可以修改设置，使系统中价格、金额数据精确到小数点后 ") +
                    whole + QStringLiteral(" 位，\n\n但是部份单据及报表的打印输出依然是小数点后 2 位形式。"),
                Prompt::Icon::Information);
    }
    checkingDecimals_ = false;
}

options::SystemOptions SysFuncSet::shownOptions() const
{
    options::SystemOptions o;
    o.noOverdraw = checked(Chk[0]);
    o.lockLinePrice = checked(Chk[1]);
    o.noAverageCostUpdate = checked(Chk[2]);
    o.absoluteQuantities = checked(Chk[3]);
    o.salePriceFactor = float(numtext::typedNumber(Txt4->text()));
    o.keepPrices = std::abs(checked(Chk[5]) - 1);
    o.alarmLowAtStart = checked(Chk[6]);
    o.alarmHighAtStart = checked(Chk[7]);
    o.adminEditsStock = checked(Chk[8]);
    o.moneyDecimals = int(numtext::leadingNumber(Txt9->text()));
    o.adminEditsOpening = checked(Chk[9]);
    return o;
}

// Writes the changed options in one transaction and puts the saved values in
// force at once (never a reload of the table, which stops at a faulty row); a
// failure writes nothing, changes no variable and tells the engine's reason.
void SysFuncSet::save()
{
    double factor = 0;
    if (!numtext::readNumber(Txt4->text(), factor)) {
        Prompt::current().message(QStringLiteral("提示"), numtext::unstorableMessage(Chk[4]->text()),
                                  Prompt::Icon::Information);
        Txt4->setFocus();
        Txt4->selectAll();
        return;
    }
    const options::SystemOptions wanted = shownOptions();
    const auto result = options::saveOptions(m_.gDb, options::fromModule(m_), wanted);
    if (!result.ok) {
        Prompt::current().message(QString(),
                                  QStringLiteral("您的帐本文件版本过旧，无法进行系统设置！\n\n") + result.error,
                                  Prompt::Icon::Information);
        reject();
        return;
    }
    options::toModule(wanted, m_);
    Prompt::current().message(QString(), QStringLiteral("您的设置已生效！"), Prompt::Icon::Information);
    accept();
}

// Typing into a box replaces its whole text.
bool SysFuncSet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QDialog::eventFilter(watched, event);
}

void SysFuncSet::done(int result)
{
    m_.ShowBookNameInStatusBar();
    QDialog::done(result);
}
