#include "BigBook.h"

#include "db/BookFile.h"
#include "db/Database.h"
#include "db/DateText.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace bench {

namespace {

// The four trade kinds: header and line tables, number prefix, party table,
// and how an audit moves the goods.
struct TradeKind {
    const char *header;
    const char *lines;
    const char *prefix;
    bool fromSupplier;  // party from TA1, else TA2
    int sign;           // +1 adds to stock, -1 takes from it
    bool averagesCost;  // stock-in recomputes the moving-average cost
};

const TradeKind kKinds[4] = {
    {"TB1", "TB11", "RK", true, +1, true},
    {"TB3", "TB31", "TH", true, -1, false},
    {"TD1", "TD11", "CK", false, -1, false},
    {"TD3", "TD31", "TK", false, +1, false},
};

const QDate kFirstDay(2024, 1, 1);
const QDate kFiscalStart(2025, 1, 1);   // the second year is the current fiscal year
const QDate kEndDay(2026, 1, 1);        // exclusive
const QString kOperator = QStringLiteral("系统管理员");
const char *const kUnitsOfMeasure[] = {"个", "件", "箱", "千克", "米", "套"};

struct Line {
    int goods;
    double qty;
    double price;
    double balanceQty = 0;
    double balanceCost = 0;
};

struct Doc {
    int kind;
    int day;       // days after kFirstDay
    int partner;
    bool audited;
    int seconds;   // time of day of the header stamp (audit, else last save)
    int serial = 0;
    size_t firstLine;
    int lineCount;
};

double round2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

QString padded(const QString &prefix, long long number, int width)
{
    return prefix + QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

int digits(long long n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

class Generator {
public:
    Generator(const BigBookSize &size, const std::function<void(const QString &)> &log)
        : size_(size), log_(log), rng_(20251209) {}

    QString plan();
    QString write(db::Database &book);

private:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    double real(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng_); }
    void say(const QString &text) { if (log_) log_(text); }

    QString goodsCode(int g) const { return padded(QStringLiteral("G"), g + 1, goodsWidth_); }
    QString categoryCode(int c) const { return padded(QStringLiteral("C"), c + 1, categoryWidth_); }
    QString partnerCode(const Doc &doc) const
    {
        return padded(QLatin1String(kKinds[doc.kind].fromSupplier ? "S" : "K"), doc.partner + 1, unitWidth_);
    }
    QString docNo(const Doc &doc) const
    {
        const QDate date = kFirstDay.addDays(doc.day);
        return QLatin1String(kKinds[doc.kind].prefix) + date.toString(QStringLiteral("yyMMdd"))
            + QStringLiteral("%1").arg(doc.serial, 4, 10, QLatin1Char('0'));
    }
    QString stamp(const Doc &doc) const
    {
        return db::stampText(QDateTime(kFirstDay.addDays(doc.day), QTime(0, 0).addSecs(doc.seconds)));
    }

    QString numberDocuments();
    QString stampAudits(std::vector<size_t> &order);
    void post(const std::vector<size_t> &order);

    QString writeMasterData(db::Database &book);
    QString writeGoods(db::Database &book);
    QString writeKind(db::Database &book, int kind);

    BigBookSize size_;
    std::function<void(const QString &)> log_;
    std::mt19937_64 rng_;
    int goodsWidth_ = 6, categoryWidth_ = 3, unitWidth_ = 4;

    std::vector<double> baseCost_;
    std::vector<double> qty_, cost_, openingQty_, openingCost_;
    std::vector<Doc> docs_;
    std::vector<Line> lines_;
};

QString Generator::plan()
{
    goodsWidth_ = std::max(6, digits(size_.goods));
    categoryWidth_ = std::max(3, digits(size_.categories));
    unitWidth_ = std::max(4, digits(size_.units));
    const int days = int(kFirstDay.daysTo(kEndDay));

    baseCost_.resize(size_.goods);
    for (double &cost : baseCost_)
        cost = round2(real(1.0, 200.0));

    const int maxLines = std::min(2 * size_.linesPerDoc - 1, size_.goods);
    docs_.reserve(size_t(size_.docsPerKind) * 4);
    lines_.reserve(size_t(size_.docsPerKind) * 4 * size_t(size_.linesPerDoc));
    std::vector<int> picked;
    for (int kind = 0; kind < 4; ++kind) {
        for (int d = 0; d < size_.docsPerKind; ++d) {
            Doc doc;
            doc.kind = kind;
            doc.day = uniform(0, days - 1);
            doc.partner = uniform(0, size_.units - 1);
            doc.audited = d % 2 == 0;
            doc.seconds = uniform(8 * 3600, 18 * 3600 - 1);
            doc.firstLine = lines_.size();
            doc.lineCount = uniform(1, maxLines);
            picked.clear();
            while (int(picked.size()) < doc.lineCount) {
                const int g = uniform(0, size_.goods - 1);
                if (std::find(picked.begin(), picked.end(), g) != picked.end())
                    continue;
                picked.push_back(g);
                const double base = baseCost_[g];
                Line line{g, 0, 0};
                switch (kind) {
                case 0: line.qty = uniform(10, 200); line.price = round2(base * real(0.85, 1.15)); break;
                case 1: line.qty = uniform(1, 10); line.price = base; break;
                case 2: line.qty = uniform(1, 40); line.price = round2(base * real(1.2, 1.4)); break;
                default: line.qty = uniform(1, 10); line.price = round2(base * 1.3); break;
                }
                lines_.push_back(line);
            }
            docs_.push_back(doc);
        }
    }
    if (QString error = numberDocuments(); !error.isEmpty())
        return error;
    std::vector<size_t> order;
    if (QString error = stampAudits(order); !error.isEmpty())
        return error;
    post(order);
    return {};
}

// Serials run per month and prefix in date order, as the document windows hand them out.
QString Generator::numberDocuments()
{
    std::vector<size_t> byDate(docs_.size());
    for (size_t i = 0; i < byDate.size(); ++i)
        byDate[i] = i;
    std::stable_sort(byDate.begin(), byDate.end(), [this](size_t a, size_t b) {
        return docs_[a].kind != docs_[b].kind ? docs_[a].kind < docs_[b].kind : docs_[a].day < docs_[b].day;
    });
    QMap<QPair<int, int>, int> serials;  // (kind, month index) -> last serial
    for (size_t i : byDate) {
        Doc &doc = docs_[i];
        const QDate date = kFirstDay.addDays(doc.day);
        int &serial = serials[{doc.kind, date.year() * 12 + date.month()}];
        if (serial == 9999)
            return QStringLiteral("单据太多: 每月每类最多 9999 张 (--docs-per-kind %1)").arg(size_.docsPerKind);
        doc.serial = ++serial;
    }
    // Headers go in by number, as they would have been saved.
    std::stable_sort(docs_.begin(), docs_.end(), [](const Doc &a, const Doc &b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        const QDate da = kFirstDay.addDays(a.day), db_ = kFirstDay.addDays(b.day);
        const int ma = da.year() * 12 + da.month(), mb = db_.year() * 12 + db_.month();
        return ma != mb ? ma < mb : a.serial < b.serial;
    });
    return {};
}

// Audits of one day get distinct, increasing times so the stamp alone orders
// every posting of the book.
QString Generator::stampAudits(std::vector<size_t> &order)
{
    for (size_t i = 0; i < docs_.size(); ++i)
        if (docs_[i].audited)
            order.push_back(i);
    std::shuffle(order.begin(), order.end(), rng_);
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) { return docs_[a].day < docs_[b].day; });
    for (size_t begin = 0; begin < order.size();) {
        size_t end = begin;
        while (end < order.size() && docs_[order[end]].day == docs_[order[begin]].day)
            ++end;
        const int count = int(end - begin);
        if (count > 10 * 3600)
            return QStringLiteral("一天内审核的单据太多 (%1)").arg(count);
        const int step = 10 * 3600 / count;  // between 08:00 and 18:00
        for (int k = 0; k < count; ++k)
            docs_[order[begin + k]].seconds = 8 * 3600 + k * step;
        begin = end;
    }
    return {};
}

// Posts the audited documents in stamp order: quantity on hand and moving
// average cost per goods, stamped on each line as it is posted.
void Generator::post(const std::vector<size_t> &order)
{
    qty_.assign(size_.goods, 0.0);
    cost_ = baseCost_;
    bool opened = false;
    for (size_t i : order) {
        const Doc &doc = docs_[i];
        if (!opened && kFirstDay.addDays(doc.day) >= kFiscalStart) {
            openingQty_ = qty_;
            openingCost_ = cost_;
            opened = true;
        }
        const TradeKind &kind = kKinds[doc.kind];
        for (int k = 0; k < doc.lineCount; ++k) {
            Line &line = lines_[doc.firstLine + k];
            double &qty = qty_[line.goods];
            double &cost = cost_[line.goods];
            if (kind.averagesCost && qty + line.qty != 0)
                cost = (qty * cost + line.qty * line.price) / (qty + line.qty);
            qty += kind.sign * line.qty;
            line.balanceQty = qty;
            line.balanceCost = cost;
        }
    }
    if (!opened) {
        openingQty_ = qty_;
        openingCost_ = cost_;
    }
}

// Runs a prepared insert with the values, ready for the next row.
QString insert(db::Statement &st, const QVariantList &values)
{
    st.reset();
    if (!st.bindAll(values) || !st.run())
        return st.error();
    return {};
}

QString Generator::writeMasterData(db::Database &book)
{
    db::Transaction transaction(book);
    db::Statement ta1 = book.prepare(QStringLiteral("insert into TA1 (F1,F2,F3,F4,F5,F6,F7) values (?,?,?,?,?,?,?)"));
    db::Statement ta2 = book.prepare(QStringLiteral("insert into TA2 (F1,F2,F3,F4,F5,F6,F7) values (?,?,?,?,?,?,?)"));
    db::Statement ta3 = book.prepare(QStringLiteral("insert into TA3 (F1,F2) values (?,?)"));
    if (!transaction.isActive() || !ta1.isValid() || !ta2.isValid() || !ta3.isValid())
        return book.lastError();
    const QString empty = QStringLiteral("");
    for (int u = 0; u < size_.units; ++u) {
        const QString number = QStringLiteral("%1").arg(u + 1, unitWidth_, 10, QLatin1Char('0'));
        const QString phone = QStringLiteral("0571-8%1").arg(u + 1, 7, 10, QLatin1Char('0'));
        QString error = insert(ta1, {QStringLiteral("S") + number, QStringLiteral("供应商") + number,
                                     QStringLiteral("工业路 %1 号").arg(u + 1), phone, empty, empty, empty});
        if (error.isEmpty())
            error = insert(ta2, {QStringLiteral("K") + number, QStringLiteral("客户") + number,
                                 QStringLiteral("商业街 %1 号").arg(u + 1), phone, empty, empty, empty});
        if (!error.isEmpty())
            return error;
    }
    for (int c = 0; c < size_.categories; ++c) {
        const QString code = categoryCode(c);
        if (QString error = insert(ta3, {code, QStringLiteral("类别") + code.mid(1)}); !error.isEmpty())
            return error;
    }
    // The fiscal year 2025 follows the closed year 2024.
    if (!book.exec(QStringLiteral("update reginfo set F7=?"), {db::dateText(kFiscalStart)})
        || !book.exec(QStringLiteral("update pathtxm set F5=?"), {db::dateText(kFirstDay)}))
        return book.lastError();
    return transaction.commit() ? QString() : book.lastError();
}

QString Generator::writeGoods(db::Database &book)
{
    db::Transaction transaction(book);
    db::Statement st = book.prepare(QStringLiteral(
        "insert into TA4 (F1,F2,F3,F4,F5,F6,F7,F71,F8,F9,F11,V1,V2,V3,V4) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    if (!transaction.isActive() || !st.isValid())
        return book.lastError();
    const QString empty = QStringLiteral("");
    const int unitCount = int(std::size(kUnitsOfMeasure));
    for (int g = 0; g < size_.goods; ++g) {
        const QString code = goodsCode(g);
        // Categories hold consecutive runs of codes, as goods are usually numbered.
        const QString category = categoryCode(int(qint64(g) * size_.categories / size_.goods));
        const QVariantList values = {
            code, QStringLiteral("货品") + code.mid(1), category,
            QString::fromUtf8(kUnitsOfMeasure[g % unitCount]),
            QStringLiteral("型号-%1").arg(g % 97), empty,
            cost_[g], round2(baseCost_[g] * 1.3), qty_[g], empty, category + code,
            double(10 * (g % 5)), g % 3 == 0 ? 0.0 : 1000.0, openingQty_[g], openingCost_[g]};
        if (QString error = insert(st, values); !error.isEmpty())
            return error;
    }
    return transaction.commit() ? QString() : book.lastError();
}

QString Generator::writeKind(db::Database &book, int kind)
{
    const TradeKind &k = kKinds[kind];
    db::Transaction transaction(book);
    db::Statement header = book.prepare(QStringLiteral("insert into %1 (F1,F2,F3,F5,F6,F9,F10,H8) values (?,?,?,?,?,?,?,?)")
                                            .arg(QLatin1String(k.header)));
    db::Statement line = book.prepare(QStringLiteral("insert into %1 (F0,F1,F6,F7,F8,H6,H7,H8) values (?,?,?,?,?,?,?,?)")
                                          .arg(QLatin1String(k.lines)));
    if (!transaction.isActive() || !header.isValid() || !line.isValid())
        return book.lastError();
    const QString empty = QStringLiteral("");
    const QVariant null;
    for (const Doc &doc : docs_) {
        if (doc.kind != kind)
            continue;
        const QString number = docNo(doc);
        const QString when = stamp(doc);
        double total = 0;
        for (int i = 0; i < doc.lineCount; ++i) {
            const Line &l = lines_[doc.firstLine + i];
            total += l.qty * l.price;
            const QVariantList values = {number, goodsCode(l.goods), l.qty, l.price, empty,
                                         doc.audited ? QVariant(l.balanceQty) : null,
                                         doc.audited ? QVariant(l.balanceCost) : null,
                                         doc.audited ? QVariant(when) : null};
            if (QString error = insert(line, values); !error.isEmpty())
                return error;
        }
        const QVariantList values = {number, db::dateText(kFirstDay.addDays(doc.day)), partnerCode(doc), kOperator,
                                     doc.audited ? kOperator : empty, round2(total), empty, when};
        if (QString error = insert(header, values); !error.isEmpty())
            return error;
    }
    return transaction.commit() ? QString() : book.lastError();
}

QString Generator::write(db::Database &book)
{
    // Indexes are built once after the rows are in: far quicker than keeping
    // them up to date row by row.
    struct Index { QString name, sql; };
    std::vector<Index> indexes;
    {
        db::Statement st = book.prepare(QStringLiteral("select name, sql from sqlite_master where type='index' and sql is not null"));
        while (st.next())
            indexes.push_back({st.text(0), st.text(1)});
    }
    for (const Index &index : indexes)
        if (!book.execScript(QStringLiteral("drop index \"%1\"").arg(index.name)))
            return book.lastError();

    QElapsedTimer timer;
    timer.start();
    if (QString error = writeMasterData(book); !error.isEmpty())
        return error;
    if (QString error = writeGoods(book); !error.isEmpty())
        return error;
    say(QStringLiteral("  master data and %1 goods: %2 s").arg(size_.goods).arg(timer.restart() / 1000.0, 0, 'f', 1));
    for (int kind = 0; kind < 4; ++kind) {
        if (QString error = writeKind(book, kind); !error.isEmpty())
            return error;
        say(QStringLiteral("  %1/%2: %3 s").arg(QLatin1String(kKinds[kind].header), QLatin1String(kKinds[kind].lines))
                .arg(timer.restart() / 1000.0, 0, 'f', 1));
    }
    for (const Index &index : indexes)
        if (!book.execScript(index.sql))
            return book.lastError();
    if (!book.execScript(QStringLiteral("ANALYZE")))
        return book.lastError();
    say(QStringLiteral("  indexes: %1 s").arg(timer.restart() / 1000.0, 0, 'f', 1));
    return {};
}

} // namespace

QString makeBigBook(const QString &path, const BigBookSize &size, const std::function<void(const QString &)> &log)
{
    if (size.goods < 1 || size.categories < 1 || size.units < 1 || size.docsPerKind < 0 || size.linesPerDoc < 1)
        return QStringLiteral("货品、类别、单位数量和每单行数至少为 1，单据数不能为负");

    QElapsedTimer timer;
    timer.start();
    Generator generator(size, log);
    if (QString error = generator.plan(); !error.isEmpty())
        return error;
    if (log)
        log(QStringLiteral("  plan and posting: %1 s").arg(timer.elapsed() / 1000.0, 0, 'f', 1));

    // Filled under a working name, so path never holds a half-made book.
    const QString working = path + QStringLiteral(".part");
    QFile::remove(working);  // left by a run cut off: a new book goes only to a free name
    if (QString error = db::createBook(working); !error.isEmpty())
        return error;
    QString error;
    {
        db::Database book;
        if (!book.open(working)) {
            error = book.lastError();
        } else {
            // A failed run throws the file away, so nothing needs journalling or syncing.
            book.execScript(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144"));
            error = generator.write(book);
        }
    }
    if (error.isEmpty()) {
        QFile::remove(path);
        if (!QFile::rename(working, path))
            error = QStringLiteral("无法写入文件 %1").arg(path);
    }
    if (!error.isEmpty())
        QFile::remove(working);
    return error;
}

} // namespace bench
