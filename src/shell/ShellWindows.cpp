#include "ShellWindows.h"

#include "PlaceholderWindows.h"
#include "WindowRegistry.h"
#include "ZbSet.h"

namespace {
struct Entry {
    const char *name;
    const char *caption;
};

// Function windows, shown in the main window's MDI area.
const Entry kChildWindows[] = {
    {"A1", "供货单位资料"},   {"A2", "出货单位资料"},   {"A3", "货品类别资料"},
    {"A4", "货品编码资料"},   {"FromExcel", "从Excell导入货品资料"},
    {"B1", "货品入库单"},     {"B3", "公司退货单"},     {"C2", "库存货品盘点"},
    {"C3", "库存盘点统计"},   {"D1", "货品出库单"},     {"D3", "货品退库单"},
    {"C15", "货品进出流水帐"}, {"C18", "货品进出存数量报表"}, {"C181", "货品进销存综合报表"},
    {"S1", "操作员权限分配"},
};

// Dialogs, shown modally.
const Entry kDialogs[] = {
    {"S2", "操作员个人设置"}, {"SysFuncSet", "系统功能设置"}, {"sysDBbak", "帐本备份"},
    {"S32", "帐本恢复"},      {"S3", "帐本数据初始化"},     {"S302", "清除指定基础数据"},
    {"S303", "清除历史单据"}, {"YearEnd", "库存年度结转"},
};
} // namespace

void register_shell_windows()
{
    for (const Entry &e : kChildWindows) {
        const QString name = QString::fromUtf8(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        windows::registerFactory(name, [name, caption](QWidget *parent) -> QWidget * {
            return new PlaceholderWindow(name, caption, parent);
        });
    }
    for (const Entry &e : kDialogs) {
        const QString name = QString::fromUtf8(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        windows::registerFactory(name, [name, caption](QWidget *parent) -> QWidget * {
            return new PlaceholderDialog(name, caption, parent);
        });
    }
    windows::registerFactory(QStringLiteral("C1"), [](QWidget *parent) -> QWidget * { return new C1Placeholder(parent); });
    windows::registerFactory(QStringLiteral("Lst"), [](QWidget *parent) -> QWidget * { return new LstPlaceholder(parent); });
    windows::registerFactory(QStringLiteral("ZbSet"), [](QWidget *parent) -> QWidget * { return new ZbSet(parent); });
}
