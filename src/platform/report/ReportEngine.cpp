#include "ReportEngine.h"

#include "db/Database.h"
#include "platform/NumberText.h"

#include <QRectF>
#include <QRegularExpression>
#include <cmath>

namespace report {

namespace {

const QRegularExpression &placeholderPattern()
{
    static const QRegularExpression re(QStringLiteral("\\{(@?)([^{}]*)\\}"));
    return re;
}

QString sumText(const db::DecimalSum &sum, const Column &c)
{
    return c.format.isEmpty() ? numtext::numToText(sum.value()) : formattedNumber(sum.value(), c.format);
}

// The default order of rows: the order they were written, when the rows come
// from one table (possibly joined to others).
QString defaultOrder(const ReportTemplate &t)
{
    if (!t.groupBy.isEmpty())
        return {};
    const QStringList tokens = t.from.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return {};
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!ident.match(tokens[0]).hasMatch())
        return {};
    static const QStringList joins = {QStringLiteral("left"), QStringLiteral("inner"), QStringLiteral("join"),
                                      QStringLiteral("cross")};
    if (tokens.size() == 1 || joins.contains(tokens[1].toLower()))
        return tokens[0] + QStringLiteral(".rowid");
    return {};
}

class Filler {
public:
    Filler(db::Database &db, const ReportTemplate &t, const ReportInput &in) : db_(db), t_(t), in_(in)
    {
        for (Column &c : t_.columns)
            if (c.format.compare(QLatin1String("money"), Qt::CaseInsensitive) == 0)
                c.format = in_.moneyFormat;
    }

    std::optional<FilledReport> run(QString *error)
    {
        r_.layout = t_;
        for (const QString &f : in_.formulas) {
            QString name, value;
            if (!parseFormula(f, &name, &value))
                return fail(error, QStringLiteral("公式“%1”的格式不对，应为 名称='值'").arg(f));
            r_.formulas.insert(name.toLower(), value);
        }
        QString selField, selValue;
        const bool selected = !in_.selectionFormula.trimmed().isEmpty();
        if (selected && !parseSelectionFormula(in_.selectionFormula, &selField, &selValue))
            return fail(error, QStringLiteral("选择公式“%1”的格式不对").arg(in_.selectionFormula));

        QVariantList rowParams;
        QString rowCondition;
        if (t_.hasHeader()) {
            if (!selected)
                return fail(error, QStringLiteral("没有指定要打印的单据"));
            QVariant key;
            if (!readHeader(selField, selValue, &key, error))
                return std::nullopt;
            rowCondition = t_.linkLineField + QStringLiteral(" = ?");
            rowParams.append(key);
        } else if (selected) {
            rowCondition = selField + QStringLiteral(" = ?");
            rowParams.append(selValue);
        }
        if (!readRows(rowCondition, rowParams, error))
            return std::nullopt;
        fillTotalCells();
        if (!paginate(error))
            return std::nullopt;
        return r_;
    }

private:
    std::optional<FilledReport> fail(QString *error, const QString &why)
    {
        if (error)
            *error = why;
        return std::nullopt;
    }

    bool sqlFail(QString *error, const QString &sql, const QString &dbError)
    {
        if (error)
            *error = QStringLiteral("读取数据失败：%1\n%2").arg(dbError, sql);
        return false;
    }

    bool readHeader(const QString &selField, const QString &selValue, QVariant *key, QString *error)
    {
        QStringList select = {t_.linkHeaderField};
        for (const NamedExpression &f : t_.fields)
            select.append(f.expression);
        const QString sql = QStringLiteral("select %1 from %2 where %3 = ? limit 1")
                                .arg(select.join(QStringLiteral(", ")), t_.header, selField);
        db::Statement st = db_.prepare(sql);
        if (!st.isValid())
            return sqlFail(error, sql, db_.lastError());
        st.bindAll({selValue});
        if (!st.next()) {
            if (st.hasError())
                return sqlFail(error, sql, st.error());
            if (error)
                *error = QStringLiteral("没有找到要打印的单据“%1”").arg(selValue);
            return false;
        }
        *key = st.value(0);
        for (int i = 0; i < t_.fields.size(); ++i) {
            const QVariant v = st.value(i + 1);
            r_.fields.insert(t_.fields[i].name.toLower(),
                             v.typeId() == QMetaType::Double ? numtext::numToText(v.toDouble()) : v.toString());
        }
        return true;
    }

    bool readRows(const QString &condition, const QVariantList &params, QString *error)
    {
        QStringList select;
        for (const Column &c : t_.columns) {
            select.append(c.expression);
            r_.captions.append(c.caption);
        }
        if (t_.hasGroup())
            select.append(t_.groupExpression);
        QString sql = QStringLiteral("select %1 from %2").arg(select.join(QStringLiteral(", ")), t_.from);
        QStringList conditions;
        if (!t_.where.isEmpty())
            conditions.append(QStringLiteral("(%1)").arg(t_.where));
        if (!condition.isEmpty())
            conditions.append(condition);
        if (!conditions.isEmpty())
            sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
        if (!t_.groupBy.isEmpty())
            sql += QStringLiteral(" group by ") + t_.groupBy;
        const QString order = t_.order.isEmpty() ? defaultOrder(t_) : t_.order;
        if (!order.isEmpty())
            sql += QStringLiteral(" order by ") + order;

        db::Statement st = db_.prepare(sql);
        if (!st.isValid())
            return sqlFail(error, sql, db_.lastError());
        st.bindAll(params);

        const int n = int(t_.columns.size());
        QStringList formats;
        for (const Column &c : t_.columns)
            formats.append(c.format);
        ReportRows rows(formats);
        QVector<db::DecimalSum> totals(n);
        QVector<db::DecimalSum> subtotals(n);
        GroupResult group;
        bool inGroup = false;
        const auto closeGroup = [&] {
            for (int c = 0; c < n; ++c)
                group.subtotals.append(t_.columns[c].sum ? sumText(subtotals[c], t_.columns[c]) : QString());
            r_.groups.append(group);
        };
        while (st.next()) {
            const int row = rows.size();
            rows.append(st);
            if (t_.hasGroup()) {
                const QVariant gv = st.value(n);
                const QString g = gv.typeId() == QMetaType::Double ? numtext::numToText(gv.toDouble()) : gv.toString();
                if (!inGroup || g != group.value) {
                    if (inGroup)
                        closeGroup();
                    group = GroupResult{g, row, 0, {}};
                    subtotals.fill(db::DecimalSum());
                    inGroup = true;
                }
                ++group.rowCount;
            }
            for (int c = 0; c < n; ++c) {
                if (t_.columns[c].sum) {
                    const double v = rows.number(row, c);
                    totals[c].add(v);
                    subtotals[c].add(v);
                }
            }
        }
        r_.rows = std::move(rows);
        if (st.hasError())
            return sqlFail(error, sql, st.error());
        if (inGroup)
            closeGroup();
        if (t_.hasTotal) {
            for (int c = 0; c < n; ++c)
                r_.totals.append(t_.columns[c].sum ? sumText(totals[c], t_.columns[c]) : QString());
            if (n > 0 && !t_.totalLabel.isEmpty() && !t_.columns[0].sum)
                r_.totals[0] = t_.totalLabel;
        }
        return true;
    }

    // Texts the template gives the total row (totals that the printing window
    // hands over as formulas) stand in their columns in place of sums.
    void fillTotalCells()
    {
        for (int c = 0; c < t_.totalCells.size() && c < r_.totals.size(); ++c)
            if (!t_.totalCells[c].isEmpty())
                r_.totals[c] = expand(t_.totalCells[c], QString());
    }

    QString expand(const QString &text, const QString &group) const
    {
        QString out;
        int last = 0;
        auto it = placeholderPattern().globalMatch(text);
        while (it.hasNext()) {
            const auto m = it.next();
            out += text.mid(last, m.capturedStart() - last);
            const QString name = m.captured(2).trimmed().toLower();
            if (!m.captured(1).isEmpty())
                out += r_.formulas.value(name);
            else if (name == QLatin1String("today"))
                out += in_.today.toString(QStringLiteral("yyyy-MM-dd"));
            else if (name == QLatin1String("count"))
                out += QString::number(r_.rows.size());
            else if (name == QLatin1String("group"))
                out += group;
            else if (name == QLatin1String("page") || name == QLatin1String("pages"))
                out += m.captured(0);  // resolved once the pages are known
            else
                out += r_.fields.value(name);
            last = m.capturedEnd();
        }
        out += text.mid(last);
        return out;
    }

    ReportLine textLine(const TextLine &l, const QString &group = QString()) const
    {
        ReportLine line;
        line.kind = l.title ? LineKind::Title : LineKind::Text;
        line.cells = {expand(l.left, group), expand(l.center, group), expand(l.right, group)};
        line.height = l.title ? titleLineHeight(t_) : bodyLineHeight(t_);
        return line;
    }

    // The cells of a group's subtotal row: its sums, the label in the first column.
    QStringList groupTotalCells(const GroupResult &g) const
    {
        QStringList cells = g.subtotals;
        if (!cells.isEmpty() && !t_.columns[0].sum)
            cells[0] = t_.groupFooterLabel;
        return cells;
    }

    bool paginate(QString *error)
    {
        QVector<ReportLine> header;
        for (const TextLine &l : t_.pageHeader)
            header.append(textLine(l));
        QVector<ReportLine> footer;
        for (const TextLine &l : t_.pageFooter)
            footer.append(textLine(l));

        const auto heightOf = [](const QVector<ReportLine> &lines) {
            double h = 0;
            for (const ReportLine &l : lines)
                h += l.height;
            return h;
        };
        const QRectF paper = t_.pageLayout().paintRect(QPageLayout::Point);
        QVector<QStringList> summing;
        if (!t_.groupFooterLabel.isEmpty())
            for (const GroupResult &g : r_.groups)
                summing.append(groupTotalCells(g));
        if (t_.hasTotal)
            summing.append(r_.totals);
        ColumnLayout columns(t_, paper.width(), r_.captions, r_.rows, summing);
        // The captions take at most half the page between its text lines.
        columns.setRoom(LineKind::Captions, (paper.height() - heightOf(header) - heightOf(footer)) / 2);
        header.append(ReportLine{LineKind::Captions, r_.captions, columns.height(LineKind::Captions, r_.captions), {}});
        const double room = paper.height() - heightOf(header) - heightOf(footer);
        if (room < bodyLineHeight(t_) || room < titleLineHeight(t_)) {
            if (error)
                *error = QStringLiteral("纸张太小，页眉和页脚之间放不下一行");
            return false;
        }
        columns.setRoom(LineKind::Detail, room);
        const auto tableLine = [&](LineKind kind, const QStringList &cells) {
            return ReportLine{kind, cells, columns.height(kind, cells), {}};
        };

        ReportPages pages(r_.rows, columns, header, footer);
        const auto addDetails = [&](int first, int count) {
            for (int i = first; i < first + count; ++i)
                pages.addDetail(i, columns.detailHeight(r_.rows, i));
        };
        if (t_.hasGroup()) {
            for (const GroupResult &g : r_.groups) {
                for (const TextLine &l : t_.groupHeader) {
                    ReportLine line = textLine(l, g.value);
                    line.kind = LineKind::GroupHeader;
                    pages.addLine(std::move(line));
                }
                addDetails(g.firstRow, g.rowCount);
                if (!t_.groupFooterLabel.isEmpty())
                    pages.addLine(tableLine(LineKind::GroupTotal, groupTotalCells(g)));
            }
        } else {
            addDetails(0, r_.rows.size());
        }
        if (t_.hasTotal)
            pages.addLine(tableLine(LineKind::Total, r_.totals));
        for (const TextLine &l : t_.summary)
            pages.addLine(textLine(l));
        pages.breakPages(room);
        r_.pages = std::move(pages);
        return true;
    }

    db::Database &db_;
    ReportTemplate t_;
    const ReportInput &in_;
    FilledReport r_;
};

} // namespace

QString FilledReport::pageText(int page) const
{
    if (page < 0 || page >= pages.size())
        return {};
    QStringList out;
    const ReportPage p = pages[page];
    for (const QVector<ReportLine> *band : {&p.header, &p.body, &p.footer}) {
        for (const ReportLine &l : *band) {
            QStringList cells = l.cells;
            if (!isTableLine(l.kind))
                cells.removeAll(QString());
            out.append(cells.join(QLatin1Char('\t')));
        }
    }
    return out.join(QLatin1Char('\n'));
}

bool parseFormula(const QString &text, QString *name, QString *value)
{
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    const QString n = text.left(eq).trimmed();
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!ident.match(n).hasMatch())
        return false;
    QString v = text.mid(eq + 1);
    // The value stands in single quotes; a value written without them is taken as it is.
    const QString trimmed = v.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('\'')) && trimmed.endsWith(QLatin1Char('\''))) {
        v = trimmed.mid(1, trimmed.size() - 2);
        v.replace(QStringLiteral("''"), QStringLiteral("'"));
    } else if (trimmed.startsWith(QLatin1Char('\''))) {
        return false;  // an opening quote without its closing one
    }
    *name = n;
    *value = v;
    return true;
}

bool parseSelectionFormula(const QString &text, QString *field, QString *value)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*\\{\\s*([A-Za-z_][A-Za-z0-9_]*\\.[A-Za-z_][A-Za-z0-9_]*)\\s*\\}\\s*=\\s*'((?:[^']|'')*)'\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    *field = m.captured(1);
    *value = m.captured(2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return true;
}

double bodyLineHeight(const ReportTemplate &t)
{
    return t.fontSize * 1.6;
}

double titleLineHeight(const ReportTemplate &t)
{
    return t.titleFontSize * 1.6;
}

std::optional<FilledReport> fillReport(db::Database &db, const ReportTemplate &t, const ReportInput &input,
                                       QString *error)
{
    Filler filler(db, t, input);
    return filler.run(error);
}

} // namespace report
