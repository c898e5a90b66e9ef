#include "GoodsImport.h"

#include "platform/NumberText.h"
#include "shell/CodeLength.h"
#include "shell/Module1.h"

#include <QVariantList>
#include <optional>
#include <utility>

namespace admin {

namespace {

const char *const kCaptions[kGoodsColumnLists] = {
    "货品编码", "货品名称", "类别名称", "单位", "规格型号", "备注信息",
    "成本价格", "销售价格", "类别编码", "数量", "最低库存", "最高库存",
};

enum List { Code, Name, CategoryName, Unit, Model, Remark, Cost, Sale, CategoryCode, Quantity, Low, High };

int columnOfLetter(QChar letter)
{
    const QChar upper = letter.toUpper();
    return upper >= QLatin1Char('A') && upper <= QLatin1Char('Z') ? upper.unicode() - 'A' : -1;
}

QString outOfRange(int list, const QString &text)
{
    return QStringLiteral("“%1”所指定的列“%2”不在读入的数据中，请重新指定！")
        .arg(goodsColumnCaption(list), text);
}

class RowReader {
public:
    RowReader(const ImportTable &table, int row) : table_(table), row_(row) {}
    QString text(int col) const { return col >= 0 && col < table_.columns ? table_.text(row_, col) : QString(); }
    bool blank() const
    {
        for (int col = 0; col < table_.columns; ++col)
            if (!table_.text(row_, col).trimmed().isEmpty())
                return false;
        return true;
    }

private:
    const ImportTable &table_;
    int row_;
};

// A number cell: empty counts as 0; text that does not start with a number
// is a problem of the row.
bool numberCell(const RowReader &row, int col, double &value)
{
    const QString text = row.text(col).trimmed();
    value = numtext::typedNumber(text);
    if (text.isEmpty() || value != 0)
        return true;
    return text.front().isDigit() || text.front() == QLatin1Char('.') || text.front() == QLatin1Char('-')
        || text.front() == QLatin1Char('+');
}

// The reason a row is not imported when a column the import reads holds an
// error value or a value that could not be read; "" when none does.
QString cellFault(const GoodsColumns &map, const CellFaults &faults)
{
    if (faults.isEmpty())
        return {};
    QVector<std::pair<List, int>> read{{Code, map.code}, {Name, map.name}, {CategoryName, map.categoryName},
                                       {Unit, map.unit}, {Model, map.model}};
    for (int col : map.remark)
        read.push_back({Remark, col});
    read << std::pair{Cost, map.cost} << std::pair{Sale, map.salePrice} << std::pair{CategoryCode, map.categoryCode}
         << std::pair{Quantity, map.quantity} << std::pair{Low, map.safetyStock} << std::pair{High, map.highestStock};
    for (const auto &[list, col] : read) {
        const std::optional<CellFault> fault = col < 0 ? std::nullopt : faults.find(col);
        if (!fault)
            continue;
        const QString caption = goodsColumnCaption(list);
        if (fault->shown.isEmpty())
            return fault->formula ? QStringLiteral("%1的公式值无法读出").arg(caption)
                                  : QStringLiteral("%1的内容无法读出").arg(caption);
        return fault->formula ? QStringLiteral("%1“%2”是公式的错误值").arg(caption, fault->shown)
                              : QStringLiteral("%1“%2”是错误值").arg(caption, fault->shown);
    }
    return {};
}

struct Assignments {
    QStringList fields;
    QVariantList values;
    void set(const char *field, const QVariant &value)
    {
        fields << QString::fromLatin1(field);
        values << value;
    }
};

QString lookup(Module1 &m, const QString &sql, const QString &value)
{
    const QString found = m.GetSingleValue(sql, {value});
    return found == Module1::NoFound ? QString() : found;
}

} // namespace

QString goodsColumnCaption(int list)
{
    return list >= 0 && list < kGoodsColumnLists ? QString::fromUtf8(kCaptions[list]) : QString();
}

bool parseGoodsColumns(const QStringList &texts, int columns, GoodsColumns &map, QString &problem)
{
    map = {};
    int *const single[kGoodsColumnLists] = {&map.code,  &map.name,     &map.categoryName, &map.unit,
                                            &map.model, nullptr, &map.cost, &map.salePrice,
                                            &map.categoryCode, &map.quantity, &map.safetyStock, &map.highestStock};
    for (int list = 0; list < kGoodsColumnLists; ++list) {
        const QString text = texts.value(list).trimmed().toUpper();
        if (text.isEmpty())
            continue;
        if (list == Remark) {
            for (QChar ch : text) {
                if (ch.isSpace() || ch == QLatin1Char(','))
                    continue;
                const int col = columnOfLetter(ch);
                if (col < 0 || col >= columns) {
                    problem = outOfRange(list, text);
                    return false;
                }
                map.remark << col;
            }
            continue;
        }
        const int col = columnOfLetter(text.front());
        if (col < 0 || col >= columns) {
            problem = outOfRange(list, text);
            return false;
        }
        *single[list] = col;
        if (list == CategoryCode && text.contains(QLatin1Char(','))) {
            bool ok = false;
            const int length = text.section(QLatin1Char(','), 1).trimmed().toInt(&ok);
            if (!ok || length <= 0) {
                problem = QStringLiteral("“类别编码”的截取位数“%1”不正确，应为：列字母,位数（如 A,2）！").arg(text);
                return false;
            }
            map.categoryCodeLength = length;
        }
    }
    if (map.code < 0) {
        problem = QStringLiteral("必须指定哪一列为货品编码数据！");
        return false;
    }
    return true;
}

GoodsImportResult importGoods(Module1 &m, const QVector<QStringList> &rows, const GoodsImportSettings &settings,
                              const QVector<CellFaults> &faults)
{
    int columns = 0;
    for (const QStringList &row : rows)
        columns = qMax(columns, int(row.size()));
    const ImportTable table{int(rows.size()), columns, [&rows](int row, int col) { return rows[row].value(col); }};
    return importGoods(m, table, settings, faults);
}

GoodsImportResult importGoods(Module1 &m, const ImportTable &rows, const GoodsImportSettings &settings,
                              const QVector<CellFaults> &faults)
{
    const GoodsColumns &map = settings.columns;
    GoodsImportResult result;
    db::Database &book = m.gDb;
    db::Transaction tx(book);
    if (!tx.isActive()) {
        result.error = book.lastError();
        return result;
    }
    const auto fail = [&](int rowNo) {
        result.error = QStringLiteral("第%1行：").arg(rowNo) + book.lastError();
        result.added = result.updated = 0;
        return result;
    };

    for (int i = 0; i < rows.rows; ++i) {
        const int rowNo = i + 1;
        const RowReader row(rows, i);
        const QString fault = cellFault(map, faults.value(i));
        if (!fault.isEmpty()) {
            result.skipped.push_back({rowNo, fault});
            continue;
        }
        const QString code = row.text(map.code).trimmed();
        if (code.isEmpty()) {
            if (!row.blank())
                result.skipped.push_back({rowNo, QStringLiteral("货品编码为空")});
            continue;
        }
        if (code.size() > kCodeMaxLength) {
            result.skipped.push_back({rowNo, QStringLiteral("货品编码超过%1个字符").arg(kCodeMaxLength)});
            continue;
        }
        if (map.name >= 0 && row.text(map.name).trimmed().isEmpty()) {
            result.skipped.push_back({rowNo, QStringLiteral("货品名称为空")});
            continue;
        }

        // Numbers first, so a row with an unreadable number leaves nothing behind.
        const std::pair<int, List> numberLists[] = {{map.cost, Cost}, {map.salePrice, Sale}, {map.quantity, Quantity},
                                                    {map.safetyStock, Low}, {map.highestStock, High}};
        double numbers[5] = {0, 0, 0, 0, 0};
        QString badNumber;
        for (int n = 0; n < 5 && badNumber.isEmpty(); ++n) {
            const int col = numberLists[n].first;
            if (col < 0)
                continue;
            if (!numberCell(row, col, numbers[n]))
                badNumber = QStringLiteral("%1“%2”不是数字").arg(goodsColumnCaption(numberLists[n].second), row.text(col));
            else if (!numtext::isStorable(numbers[n]))
                badNumber = QStringLiteral("%1“%2”无效或太大（绝对值须小于10的15次方）")
                                .arg(goodsColumnCaption(numberLists[n].second), row.text(col));
        }
        if (!badNumber.isEmpty()) {
            result.skipped.push_back({rowNo, badNumber});
            continue;
        }

        bool ok = false;
        const QVariant count = book.scalar(QStringLiteral("select count(*) from TA4 where F1=?"), {code}, &ok);
        if (!ok)
            return fail(rowNo);
        const bool exists = count.toInt() > 0;

        Assignments set;
        if (!exists || map.categoryMapped()) {
            QString name;
            QString cat;
            if (map.categoryName >= 0) {
                name = row.text(map.categoryName);
                cat = lookup(m, QStringLiteral("select F1 from TA3 where F2=?"), name);
            }
            if (cat.isEmpty() && map.categoryCode >= 0) {
                cat = row.text(map.categoryCode);
                if (map.categoryCodeLength > 0)
                    cat = cat.left(map.categoryCodeLength);
                if (name.isEmpty())
                    name = lookup(m, QStringLiteral("select F2 from TA3 where F1=?"), cat);
            }
            if (cat.trimmed().size() > kCodeMaxLength) {
                result.skipped.push_back({rowNo, QStringLiteral("类别编码超过%1个字符").arg(kCodeMaxLength)});
                continue;
            }
            if (cat.isEmpty())
                cat = settings.defaultCategoryCode;
            if (name.isEmpty())
                name = settings.defaultCategoryName;
            const QVariant known = book.scalar(QStringLiteral("select count(*) from TA3 where F1=?"), {cat}, &ok);
            if (!ok)
                return fail(rowNo);
            if (known.toInt() == 0 && !book.exec(QStringLiteral("insert into TA3 (F1,F2) values (?,?)"), {cat, name}))
                return fail(rowNo);
            set.set("F3", cat);
        }
        if (map.name >= 0)
            set.set("F2", row.text(map.name));
        if (map.unit >= 0)
            set.set("F4", row.text(map.unit));
        else if (!exists)
            set.set("F4", QStringLiteral(" "));
        if (map.model >= 0)
            set.set("F5", row.text(map.model));
        else if (!exists)
            set.set("F5", QStringLiteral(" "));
        if (map.cost >= 0 || !exists) {
            set.set("F7", numbers[0]);
            set.set("V4", numbers[0]);
        }
        if (map.salePrice >= 0 || !exists)
            set.set("F71", numbers[1]);
        if (map.quantity >= 0 || !exists) {
            set.set("F8", numbers[2]);
            set.set("V3", numbers[2]);
        }
        if (map.safetyStock >= 0)
            set.set("V1", numbers[3]);
        if (map.highestStock >= 0)
            set.set("V2", numbers[4]);
        if (!map.remark.isEmpty()) {
            QString remark;
            for (int col : map.remark)
                remark += QStringLiteral("  ") + row.text(col);
            set.set("F6", remark);
        }

        bool saved = false;
        if (exists && set.fields.isEmpty()) {
            saved = true;  // nothing of the goods is read from the table
            ++result.updated;
        } else if (exists) {
            QStringList parts;
            for (const QString &f : set.fields)
                parts << f + QStringLiteral("=?");
            QVariantList values = set.values;
            values << code;
            saved = book.exec(QStringLiteral("update TA4 set ") + parts.join(QLatin1Char(',')) + QStringLiteral(" where F1=?"),
                              values);
            ++result.updated;
        } else {
            set.set("F1", code.toUpper());
            const QString marks = QStringList(set.fields.size(), QStringLiteral("?")).join(QLatin1Char(','));
            saved = book.exec(QStringLiteral("insert into TA4 (") + set.fields.join(QLatin1Char(',')) + QStringLiteral(") values (")
                                  + marks + QLatin1Char(')'),
                              set.values);
            ++result.added;
        }
        if (!saved)
            return fail(rowNo);
    }
    if (!tx.commit()) {
        result.error = book.lastError();
        result.added = result.updated = 0;
    }
    return result;
}

} // namespace admin
