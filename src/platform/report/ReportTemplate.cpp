#include "ReportTemplate.h"

#include "platform/TextFile.h"

#include <QDir>
#include <QSizeF>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace report {

namespace {

const QStringList kBuiltins = {QStringLiteral("page"), QStringLiteral("pages"), QStringLiteral("today"),
                               QStringLiteral("count"), QStringLiteral("group")};

const QRegularExpression &fieldNamePattern()
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return re;
}

const QRegularExpression &placeholderPattern()
{
    static const QRegularExpression re(QStringLiteral("\\{(@?)([^{}]*)\\}"));
    return re;
}

class Parser {
public:
    Parser(ReportTemplate &out) : t_(out) {}

    bool parse(const QString &text, QString *error)
    {
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            lineNo_ = i + 1;
            QString line = lines[i].trimmed();
            if (line.startsWith(QChar(0xFEFF)))
                line.remove(0, 1);
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                if (!line.endsWith(QLatin1Char(']')))
                    return fail(error, QStringLiteral("节名缺少“]”"));
                section_ = line.mid(1, line.size() - 2).trimmed().toLower();
                if (!sections().contains(section_))
                    return fail(error, QStringLiteral("未知的节 [%1]").arg(section_));
                if (section_ == QLatin1String("total"))
                    t_.hasTotal = true;
                continue;
            }
            const int eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0)
                return fail(error, QStringLiteral("应为“名称 = 值”"));
            if (section_.isEmpty())
                return fail(error, QStringLiteral("“%1”不在任何节中").arg(line));
            const QString key = line.left(eq).trimmed();
            const QString value = line.mid(eq + 1).trimmed();
            if (!entry(key, value))
                return fail(error, message_);
        }
        lineNo_ = 0;
        if (t_.from.isEmpty())
            return fail(error, QStringLiteral("[data] 节缺少 from"));
        if (t_.columns.isEmpty())
            return fail(error, QStringLiteral("[columns] 节中没有列"));
        if (t_.totalCells.size() > t_.columns.size())
            return fail(error, QStringLiteral("[total] 节的 row 比列多"));
        if (t_.hasHeader() && t_.linkLineField.isEmpty())
            return fail(error, QStringLiteral("[data] 节有 header 时必须有 link"));
        return checkPlaceholders(error);
    }

private:
    static const QStringList &sections()
    {
        static const QStringList s = {QStringLiteral("page"),    QStringLiteral("data"),  QStringLiteral("fields"),
                                      QStringLiteral("header"),  QStringLiteral("columns"), QStringLiteral("group"),
                                      QStringLiteral("total"),   QStringLiteral("summary"), QStringLiteral("footer")};
        return s;
    }

    bool fail(QString *error, const QString &why)
    {
        if (error)
            *error = lineNo_ > 0 ? QStringLiteral("第%1行：%2").arg(lineNo_).arg(why) : why;
        return false;
    }

    bool bad(const QString &why)
    {
        message_ = why;
        return false;
    }

    bool entry(const QString &rawKey, const QString &value)
    {
        const QString key = rawKey.toLower();
        if (section_ == QLatin1String("page"))
            return pageEntry(key, value);
        if (section_ == QLatin1String("data"))
            return dataEntry(key, value);
        if (section_ == QLatin1String("fields")) {
            if (!fieldNamePattern().match(rawKey).hasMatch() || rawKey.contains(QLatin1Char('.'))
                || kBuiltins.contains(key))
                return bad(QStringLiteral("字段名“%1”不可用").arg(rawKey));
            if (value.isEmpty())
                return bad(QStringLiteral("字段“%1”没有表达式").arg(rawKey));
            t_.fields.append({rawKey, value});
            return true;
        }
        if (section_ == QLatin1String("columns")) {
            if (key != QLatin1String("column"))
                return unknownKey(rawKey);
            return columnEntry(value);
        }
        if (section_ == QLatin1String("group")) {
            if (key == QLatin1String("by"))
                t_.groupExpression = value;
            else if (key == QLatin1String("header"))
                return textLine(value, t_.groupHeader, false);
            else if (key == QLatin1String("footer"))
                t_.groupFooterLabel = value;
            else
                return unknownKey(rawKey);
            return true;
        }
        if (section_ == QLatin1String("total")) {
            if (key == QLatin1String("label"))
                t_.totalLabel = value;
            else if (key == QLatin1String("row")) {
                t_.totalCells.clear();
                for (const QString &cell : value.split(QLatin1Char('|')))
                    t_.totalCells.append(cell.trimmed());
            } else
                return unknownKey(rawKey);
            return true;
        }
        QVector<TextLine> &band = section_ == QLatin1String("header")    ? t_.pageHeader
                                  : section_ == QLatin1String("summary") ? t_.summary
                                                                         : t_.pageFooter;
        if (key == QLatin1String("line"))
            return textLine(value, band, false);
        if (key == QLatin1String("title") && section_ == QLatin1String("header"))
            return textLine(value, band, true);
        return unknownKey(rawKey);
    }

    bool unknownKey(const QString &key) { return bad(QStringLiteral("[%1] 节中没有“%2”").arg(section_, key)); }

    bool pageEntry(const QString &key, const QString &value)
    {
        if (key == QLatin1String("size")) {
            static const QHash<QString, QPageSize::PageSizeId> named = {
                {QStringLiteral("a3"), QPageSize::A3}, {QStringLiteral("a4"), QPageSize::A4},
                {QStringLiteral("a5"), QPageSize::A5}, {QStringLiteral("b5"), QPageSize::B5},
                {QStringLiteral("letter"), QPageSize::Letter}, {QStringLiteral("legal"), QPageSize::Legal}};
            const QString v = value.toLower();
            if (named.contains(v)) {
                t_.pageSize = QPageSize(named.value(v));
                return true;
            }
            const QStringList wh = v.split(QLatin1Char('x'));
            bool okW = false, okH = false;
            const double w = wh.size() == 2 ? wh[0].trimmed().toDouble(&okW) : 0;
            const double h = wh.size() == 2 ? wh[1].trimmed().toDouble(&okH) : 0;
            if (!okW || !okH || w < 30 || h < 30)
                return bad(QStringLiteral("纸张“%1”不可用（A4、A5、B5、Letter 或 宽x高 毫米）").arg(value));
            t_.pageSize = QPageSize(QSizeF(w, h), QPageSize::Millimeter);
            return true;
        }
        if (key == QLatin1String("orientation")) {
            const QString v = value.toLower();
            if (v == QLatin1String("portrait"))
                t_.orientation = QPageLayout::Portrait;
            else if (v == QLatin1String("landscape"))
                t_.orientation = QPageLayout::Landscape;
            else
                return bad(QStringLiteral("方向应为 portrait 或 landscape"));
            return true;
        }
        if (key == QLatin1String("margins")) {
            const QStringList parts = value.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
            QVector<double> m;
            for (const QString &p : parts) {
                bool ok = false;
                const double d = p.toDouble(&ok);
                if (!ok || d < 0 || d > 100)
                    return bad(QStringLiteral("页边距“%1”不可用").arg(value));
                m.append(d);
            }
            if (m.size() == 1)
                m = {m[0], m[0], m[0], m[0]};
            if (m.size() != 4)
                return bad(QStringLiteral("页边距应为一个或四个毫米数（左, 上, 右, 下）"));
            t_.marginsMm = QMarginsF(m[0], m[1], m[2], m[3]);
            return true;
        }
        if (key == QLatin1String("font") || key == QLatin1String("titlefont")) {
            bool ok = false;
            const double size = value.toDouble(&ok);
            if (!ok || size < 4 || size > 72)
                return bad(QStringLiteral("字号“%1”不可用").arg(value));
            (key == QLatin1String("font") ? t_.fontSize : t_.titleFontSize) = size;
            return true;
        }
        return unknownKey(key);
    }

    bool dataEntry(const QString &key, const QString &value)
    {
        if (key == QLatin1String("from"))
            t_.from = value;
        else if (key == QLatin1String("where"))
            t_.where = value;
        else if (key == QLatin1String("order"))
            t_.order = value;
        else if (key == QLatin1String("group"))
            t_.groupBy = value;
        else if (key == QLatin1String("header"))
            t_.header = value;
        else if (key == QLatin1String("link")) {
            const QStringList sides = value.split(QLatin1Char('='));
            if (sides.size() != 2 || !fieldNamePattern().match(sides[0].trimmed()).hasMatch()
                || !fieldNamePattern().match(sides[1].trimmed()).hasMatch())
                return bad(QStringLiteral("link 应为“行表.字段 = 单据表.字段”"));
            t_.linkLineField = sides[0].trimmed();
            t_.linkHeaderField = sides[1].trimmed();
        } else
            return unknownKey(key);
        return true;
    }

    bool columnEntry(const QString &value)
    {
        const QStringList parts = value.split(QLatin1Char('|'));
        if (parts.size() < 2 || parts.size() > 6 || parts[1].trimmed().isEmpty())
            return bad(QStringLiteral("列应为“标题 | 表达式 | 宽度 | 对齐 | 格式 | sum 或 id”"));
        Column c;
        c.caption = parts[0].trimmed();
        c.expression = parts[1].trimmed();
        if (parts.size() > 2 && !parts[2].trimmed().isEmpty()) {
            bool ok = false;
            c.width = parts[2].trimmed().toDouble(&ok);
            if (!ok || c.width <= 0)
                return bad(QStringLiteral("列宽“%1”不可用").arg(parts[2].trimmed()));
        }
        if (parts.size() > 3 && !parts[3].trimmed().isEmpty()) {
            const QString a = parts[3].trimmed().toLower();
            if (a == QLatin1String("left"))
                c.align = Qt::AlignLeft;
            else if (a == QLatin1String("center"))
                c.align = Qt::AlignHCenter;
            else if (a == QLatin1String("right"))
                c.align = Qt::AlignRight;
            else
                return bad(QStringLiteral("对齐应为 left、center 或 right"));
        }
        if (parts.size() > 4)
            c.format = parts[4].trimmed();
        if (parts.size() > 5) {
            const QStringList flags =
                parts[5].trimmed().toLower().split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
            for (const QString &flag : flags) {
                if (flag == QLatin1String("sum"))
                    c.sum = true;
                else if (flag == QLatin1String("id"))
                    c.id = true;
                else
                    return bad(QStringLiteral("第六项只能是 sum 或 id"));
            }
        }
        t_.columns.append(c);
        return true;
    }

    bool textLine(const QString &value, QVector<TextLine> &band, bool title)
    {
        const QStringList parts = value.split(QLatin1Char('|'));
        TextLine line;
        line.title = title;
        if (parts.size() == 1)
            (title ? line.center : line.left) = parts[0].trimmed();
        else if (parts.size() == 2) {
            line.left = parts[0].trimmed();
            line.right = parts[1].trimmed();
        } else if (parts.size() == 3) {
            line.left = parts[0].trimmed();
            line.center = parts[1].trimmed();
            line.right = parts[2].trimmed();
        } else
            return bad(QStringLiteral("一行最多三段（左 | 中 | 右）"));
        band.append(line);
        return true;
    }

    bool checkPlaceholders(QString *error)
    {
        QSet<QString> names;
        for (const QString &b : kBuiltins)
            names.insert(b);
        for (const NamedExpression &f : t_.fields)
            names.insert(f.name.toLower());
        const auto check = [&](const QVector<TextLine> &band) -> QString {
            for (const TextLine &l : band) {
                for (const QString *part : {&l.left, &l.center, &l.right}) {
                    auto it = placeholderPattern().globalMatch(*part);
                    while (it.hasNext()) {
                        const auto m = it.next();
                        if (m.captured(1).isEmpty() && !names.contains(m.captured(2).trimmed().toLower()))
                            return m.captured(0);
                    }
                }
            }
            return {};
        };
        QVector<TextLine> totalRow;
        for (const QString &cell : t_.totalCells)
            totalRow.append(TextLine{cell, {}, {}});
        for (const QVector<TextLine> *band :
             {&t_.pageHeader, &t_.groupHeader, &t_.summary, &t_.pageFooter, &totalRow}) {
            const QString unknown = check(*band);
            if (!unknown.isEmpty())
                return fail(error, QStringLiteral("未知的名称 %1（[fields] 中没有它）").arg(unknown));
        }
        return true;
    }

    ReportTemplate &t_;
    QString section_;
    QString message_;
    int lineNo_ = 0;
};

} // namespace

QPageLayout ReportTemplate::pageLayout() const
{
    return QPageLayout(pageSize, orientation, marginsMm, QPageLayout::Millimeter);
}

bool parseTemplate(const QString &text, ReportTemplate &out, QString *error)
{
    ReportTemplate fresh;
    fresh.fileName = out.fileName;
    Parser parser(fresh);
    if (!parser.parse(text, error))
        return false;
    out = fresh;
    return true;
}

bool loadTemplate(const QString &path, ReportTemplate &out, QString *error)
{
    // The templates beside the program are a kilobyte or two of layout; four
    // megabytes leave room for any a person writes.
    static const textfile::TextKind templateText{QStringLiteral("报表模板"), qint64(4) << 20};
    bool ok = false;
    QString failure;
    const QString text = textfile::read(path, &ok, &failure, templateText);
    out.fileName = QFileInfo(path).fileName();
    if (!ok) {
        if (error)
            *error = failure;
        return false;
    }
    return parseTemplate(text, out, error);
}

QString findFileIgnoringCase(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return info.filePath();
    const QString name = info.fileName();
    if (name.isEmpty())
        return {};
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

} // namespace report
