// Checks that a generated book is consistent: the goods' quantity and cost
// agree with the audited lines, stamps agree with their headers, numbers are
// well formed and unique. Prints one line per check; exit code 1 on any fault.
//   checkbigbook <book path>
#include "db/Database.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

struct Kind {
    const char *header, *lines, *prefix, *sign;
};
const Kind kKinds[4] = {{"TB1", "TB11", "RK", "+"}, {"TB3", "TB31", "TH", "-"},
                        {"TD1", "TD11", "CK", "-"}, {"TD3", "TD31", "TK", "+"}};

// The audited lines of all four kinds with their signed quantity, in a
// temporary table indexed by goods and stamp.
QString postedLines()
{
    QStringList parts;
    for (const Kind &k : kKinds)
        parts << QStringLiteral("select F1, %1F6 as q, H6, H7, H8 from %2 where H8 is not null")
                     .arg(QLatin1String(k.sign), QLatin1String(k.lines));
    return QStringLiteral("create temp table posted as ") + parts.join(QStringLiteral(" union all "))
        + QStringLiteral("; create index temp.posted_goods on posted (F1, H8)");
}

struct Check {
    QString name;
    QString sql;  // counts the faults
};

QList<Check> checks()
{
    QList<Check> list;
    list << Check{QStringLiteral("goods quantity = sum of audited movements"),
                  QStringLiteral("select count(*) from TA4 g left join (select F1, sum(q) q from posted group by F1) m "
                                 "on m.F1=g.F1 where abs(coalesce(m.q,0) - coalesce(g.F8,0)) > 1e-6")};
    list << Check{QStringLiteral("audit stamps distinct per goods"),
                  QStringLiteral("select count(*) from (select F1, H8 from posted group by F1, H8 having count(*) > 1)")};
    list << Check{QStringLiteral("each line's H6 = running sum in stamp order"),
                  QStringLiteral("select count(*) from posted p where abs(p.H6 - (select sum(x.q) from posted x "
                                 "where x.F1=p.F1 and x.H8<=p.H8)) > 1e-6")};
    list << Check{QStringLiteral("last audited line H6/H7 = goods F8/F7"),
                  QStringLiteral("select count(*) from (select F1, max(H8) h from posted group by F1) last "
                                 "join posted p on p.F1=last.F1 and p.H8=last.h join TA4 g on g.F1=p.F1 "
                                 "where abs(p.H6-g.F8) > 1e-6 or abs(p.H7-g.F7) > 1e-6")};
    for (const Kind &k : kKinds) {
        const QString h = QLatin1String(k.header), l = QLatin1String(k.lines), prefix = QLatin1String(k.prefix);
        list << Check{h + QStringLiteral(": line stamps agree with the header"),
                      QStringLiteral("select count(*) from %1 l join %2 h on h.F1=l.F0 where "
                                     "(h.F6<>'' and (l.H8 is null or l.H8<>h.H8 or l.H6 is null or l.H7 is null)) or "
                                     "(coalesce(h.F6,'')='' and (l.H6 is not null or l.H7 is not null or l.H8 is not null))")
                          .arg(l, h)};
        list << Check{h + QStringLiteral(": every line has its header"),
                      QStringLiteral("select count(*) from %1 l where not exists (select 1 from %2 h where h.F1=l.F0)").arg(l, h)};
        list << Check{h + QStringLiteral(": half the documents audited"),
                      QStringLiteral("select (count(*)+1)/2 - sum(F6<>'') from %1").arg(h)};
        list << Check{h + QStringLiteral(": numbers are prefix + date + serial, unique"),
                      QStringLiteral("select count(*) - count(distinct F1) + sum(length(F1)<>12 or substr(F1,1,2)<>'%2' "
                                     "or substr(F1,3,6)<>substr(F2,3,2)||substr(F2,6,2)||substr(F2,9,2)) from %1")
                          .arg(h, prefix)};
        list << Check{h + QStringLiteral(": one line per goods per document"),
                      QStringLiteral("select count(*) from (select F0, F1 from %1 group by F0, F1 having count(*) > 1)").arg(l)};
        list << Check{h + QStringLiteral(": total = sum of the lines"),
                      QStringLiteral("select count(*) from %1 h where abs(h.F9 - (select round(sum(F6*F7),2) from %2 l "
                                     "where l.F0=h.F1)) > 0.005")
                          .arg(h, l)};
    }
    return list;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: checkbigbook <book path>\n");
        return 2;
    }
    db::Database book;
    if (!book.open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "checkbigbook: %s\n", qPrintable(book.lastError()));
        return 1;
    }
    if (!book.execScript(postedLines())) {
        std::fprintf(stderr, "checkbigbook: %s\n", qPrintable(book.lastError()));
        return 1;
    }
    int faults = 0;
    for (const Check &check : checks()) {
        bool ok = false;
        const QVariant count = book.scalar(check.sql, {}, &ok);
        if (!ok) {
            std::printf("ERROR %s: %s\n", qPrintable(check.name), qPrintable(book.lastError()));
            ++faults;
        } else if (count.toLongLong() != 0) {
            std::printf("FAIL  %s: %lld\n", qPrintable(check.name), count.toLongLong());
            ++faults;
        } else {
            std::printf("ok    %s\n", qPrintable(check.name));
        }
    }
    const qlonglong audited = book.scalar(QStringLiteral("select count(*) from posted")).toLongLong();
    std::printf("%lld goods, %lld audited lines\n",
                book.scalar(QStringLiteral("select count(*) from TA4")).toLongLong(), audited);
    if (audited == 0) {
        std::printf("FAIL  the book holds no audited lines\n");
        ++faults;
    }
    return faults == 0 ? 0 : 1;
}
