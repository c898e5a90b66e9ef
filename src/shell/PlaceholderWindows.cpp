#include "PlaceholderWindows.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString notBuiltText(const QString &caption)
{
    return QStringLiteral("“%1”功能窗口尚未建成，敬请期待。").arg(caption);
}

namespace {
void fill(QWidget *window, const QString &name, const QString &caption)
{
    window->setObjectName(name);
    window->setWindowTitle(caption);
    auto *layout = new QVBoxLayout(window);
    auto *label = new QLabel(notBuiltText(caption), window);
    label->setObjectName(QStringLiteral("NotBuilt"));
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
}
} // namespace

PlaceholderWindow::PlaceholderWindow(const QString &name, const QString &caption, QWidget *parent)
    : QWidget(parent)
{
    fill(this, name, caption);
    resize(480, 240);
}

PlaceholderDialog::PlaceholderDialog(const QString &name, const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    fill(this, name, caption);
    auto *ok = new QPushButton(QStringLiteral("返回"), this);
    ok->setObjectName(QStringLiteral("CmdOK"));
    layout()->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

C1Placeholder::C1Placeholder(QWidget *parent)
    : PlaceholderWindow(QStringLiteral("C1"), QStringLiteral("仓库存货统计"), parent)
{
}

LstPlaceholder::LstPlaceholder(QWidget *parent)
    : PlaceholderWindow(QStringLiteral("Lst"), QStringLiteral("单据统计"), parent)
{
}
