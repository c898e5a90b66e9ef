#include "NewGoods.h"

#include "platform/NumberText.h"
#include "shell/CodeLength.h"
#include "shell/Module1.h"

namespace documents {

NewGoodsOutcome saveNewGoods(Module1 &m, const NewGoods &g)
{
    NewGoodsOutcome out;
    const QString tip = QStringLiteral("提示");
    auto refuse = [&out, &tip](const QString &message, NewGoodsOutcome::Field field = NewGoodsOutcome::Field::None) {
        out.done = false;
        out.title = tip;
        out.message = message;
        out.field = field;
        return out;
    };
    QString code = g.code;
    code.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    if (code.trimmed().isEmpty())
        return refuse(QStringLiteral("货品编码不能为空！"), NewGoodsOutcome::Field::Code);
    if (code.trimmed().size() > kCodeMaxLength)
        return refuse(QStringLiteral("货品编码不能超过%1个字符！").arg(kCodeMaxLength), NewGoodsOutcome::Field::Code);
    if (g.name.trimmed().isEmpty())
        return refuse(QStringLiteral("货品名称不能为空！"));
    const std::pair<const QString *, const char *> numbers[] = {
        {&g.quantity, "入库数量"}, {&g.costPrice, "入库价格"}, {&g.salePrice, "销售价格"}};
    for (const auto &[text, caption] : numbers) {
        double value = 0;
        if (!numtext::readNumber(*text, value))
            return refuse(numtext::unstorableMessage(QString::fromUtf8(caption)));
    }
    if (!numtext::isStorable(numtext::typedNumber(g.quantity) * numtext::typedNumber(g.costPrice)))
        return refuse(numtext::unstorableMessage(QStringLiteral("金额")));
    if (numtext::typedNumber(g.quantity) == 0)
        return refuse(QStringLiteral("入库数量不能为0！"));
    if (g.category.trimmed().isEmpty())
        return refuse(QStringLiteral("所属类别不能为空！"), NewGoodsOutcome::Field::Category);
    const int point = g.category.indexOf(QLatin1Char('.'));
    const QString category = (point >= 0 ? g.category.left(point) : g.category).trimmed();
    const QString categoryName = m.GetSingleValue(QStringLiteral("select F2 from TA3 where F1=?"), {category});
    if (categoryName == Module1::NoFound || categoryName.isEmpty())
        return refuse(QStringLiteral("所属类别编码输入错误！"), NewGoodsOutcome::Field::Category);
    out.categoryCode = category;
    const QString existing = m.GetSingleValue(QStringLiteral("select F2 from TA4 where F1=?"), {code.trimmed()});
    if (existing != Module1::NoFound)
        return refuse(QStringLiteral("[") + existing + QStringLiteral("]已经使用了") + code
                          + QStringLiteral("这个编码，请重新设置编码!"),
                      NewGoodsOutcome::Field::Code);
    if (!m.gDb.exec(QStringLiteral("insert into TA4 (F1,F2,F3,F4,F5,F6,F9,F11,F7,F71,F8) VALUES (?,?,?,?,?,?,?,?,?,?,0)"),
                    {code.trimmed(), g.name.trimmed(), category, g.unit.trimmed(), g.spec.trimmed(), g.remark.trimmed(),
                     g.picture.trimmed(), code.trimmed(), numtext::typedNumber(g.costPrice),
                     numtext::typedNumber(g.salePrice)})) {
        out.done = false;
        out.title.clear();
        out.message = m.gDb.lastError();
        return out;
    }
    out.done = true;
    return out;
}

} // namespace documents
