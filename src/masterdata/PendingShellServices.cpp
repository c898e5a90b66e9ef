// Stand-in for the edit-in-progress warning until the shell provides it;
// weak, so the shell's own definition wins as soon as it is linked.
#include "platform/Prompt.h"
#include "shell/Module1.h"

__attribute__((weak)) void Module1::WarnEditInProgress()
{
    Prompt::current().message(QString(),
                              QStringLiteral("正在有数据被编辑,现在退出会造成本次编辑的数据丢失。\n\n"
                                             "请您首先点击<保存>或<取消>菜单结束本次编辑。"),
                              Prompt::Icon::Information);
}
