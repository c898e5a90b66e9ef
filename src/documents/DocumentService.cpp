#include "DocumentService.h"

#include "db/DateText.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"

#include <algorithm>
#include <tuple>

namespace documents {

namespace {

QString missingGoodsMessage(const QString &code)
{
    return QStringLiteral("货品编码资料丢失！\n\n丢失的货品编码：") + code;
}

// The caption of the first line column holding a number that cannot be
// stored (quantity, price, book quantity, or the amount they make); empty
// when every line can be stored.
QString unstorableColumn(const DocumentKind &kind, const QVector<SaveLine> &lines)
{
    for (const SaveLine &line : lines) {
        if (line.code.trimmed().isEmpty())
            continue;
        double quantity = 0, price = 0, book = 0;
        if (!numtext::readNumber(line.quantity, quantity))
            return kind.quantityCaption;
        if (!numtext::readNumber(line.price, price))
            return kind.priceCaption;
        if (!numtext::readNumber(line.bookQuantity, book))
            return QStringLiteral("帐面数量");
        if (!numtext::isStorable(quantity * price) || !numtext::isStorable((quantity - book) * price))
            return QStringLiteral("金额");
    }
    return {};
}

const QString kTip = QStringLiteral("提示");

Outcome noteGone()
{
    return Outcome::refused(kTip, kNoteGoneMessage);
}

Outcome failed(db::Database &database)
{
    return Outcome::refused(QString(), database.lastError());
}

QString label(const DocumentKind &kind, int i)
{
    return kind.headerLabels.value(i);
}

} // namespace

double salePriceFactor(const Module1 &module)
{
    // Through its short text form, so 1.2 stays 1.2 and not 1.2000000476...
    return numtext::leadingNumber(QString::number(module.gOptSalePriceFactor));
}

QString lockDateText(const Module1 &module)
{
    return db::dateText(module.gPeriodStart);
}

bool isBeforeLockDate(Module1 &module, const QString &noteDate)
{
    module.LoadPeriodStart();
    const QDate date = db::parseDate(noteDate.trimmed());
    if (!date.isValid())
        return true;  // a note without a readable date is never posted
    return module.gPeriodStart.isValid() && module.gPeriodStart.daysTo(date) < 0;
}

// ---- save ------------------------------------------------------------------

SaveOutcome saveDocument(Module1 &m, const DocumentKind &kind, const SaveRequest &r)
{
    SaveOutcome out;
    auto refuse = [&out](const QString &title, const QString &message, Outcome::Focus focus = Outcome::Focus::None) {
        out.done = false;
        out.title = title;
        out.message = message;
        out.icon = Prompt::Icon::Information;
        out.focus = focus;
        return out;
    };

    const QString number = r.number.trimmed();
    if (number.isEmpty() || number == Module1::EnterDocNoText)
        return refuse(kTip, label(kind, 0) + QStringLiteral("不能为空！"), Outcome::Focus::Number);
    out.number = number;

    QString partyCode = r.party.trimmed();
    if (!kind.partyTable.isEmpty()) {
        if (partyCode.isEmpty())
            return refuse(kTip, label(kind, 2) + QStringLiteral("不能为空！"), Outcome::Focus::Party);
        const int point = r.party.indexOf(QLatin1Char('.'));
        partyCode = point >= 0 ? r.party.left(point) : r.party.trimmed();
        if (kind.upperCasePartyInBox)
            partyCode = partyCode.toUpper();
        const QString name = m.GetSingleValue(
            QStringLiteral("select F2 from ") + kind.partyTable + QStringLiteral(" where F1=?"), {partyCode.trimmed()});
        if (kind.createsUnknownParty) {
            // An unknown code becomes a new party, named by its code, inside the
            // save's transaction (extraSaveStep); a known code with an empty
            // name is that party. An empty code (text such as ".x") is no party.
            partyCode = partyCode.trimmed();
            if (partyCode.isEmpty())
                return refuse(kTip, label(kind, 2) + QStringLiteral("不能为空！"), Outcome::Focus::Party);
            out.partyResolved = true;
            out.partyCode = partyCode;
            out.partyName = name == Module1::NoFound ? partyCode : name.trimmed();
        } else {
            if (name == Module1::NoFound || name.isEmpty())
                return refuse(kTip, label(kind, 2) + QStringLiteral("编码输入错误！"), Outcome::Focus::Party);
            out.partyResolved = true;
            out.partyCode = partyCode;
            out.partyName = name.trimmed();
        }
    } else {
        // Box 2 is plain text (the stocktaker): number, date and box 2 are each required.
        if (r.date.trimmed().isEmpty())
            return refuse(kTip, label(kind, 1) + QStringLiteral("不能为空！"));
        if (partyCode.isEmpty())
            return refuse(kTip, label(kind, 2) + QStringLiteral("不能为空！"), Outcome::Focus::Party);
    }

    if (r.lines.isEmpty() || r.lines.first().code.trimmed().isEmpty())
        return refuse(kTip, kind.emptyNoteMessage);

    if (const QString column = unstorableColumn(kind, r.lines); !column.isEmpty())
        return refuse(kTip, numtext::unstorableMessage(column));

    const QDate date = db::parseDate(r.date.trimmed());
    if (!date.isValid())
        return refuse(kTip, label(kind, 1) + QStringLiteral("不是有效的日期！"));
    out.date = db::dateText(date);

    const QString reserved = r.reservedNo.trimmed();
    const bool numberChanged = number != reserved;
    if (numberChanged) {
        QString candidate = number;
        if (!m.IsDocNoFree(candidate))
            return refuse(QString(), QStringLiteral("系统内已经有其它单据使用了 ") + r.number + QStringLiteral(" 这个单号!"));
    }

    db::Database &database = m.gDb;
    db::Transaction transaction(database);
    if (!transaction.isActive()) {
        static_cast<Outcome &>(out) = failed(database);
        return out;
    }

    const QString existing = m.GetSingleValue(
        QStringLiteral("select F1 from ") + kind.headerTable + QStringLiteral(" where F1=?"), {number});
    const QString oldNumber = r.oldNumber.trimmed();
    if (existing != Module1::NoFound && (!r.edit || oldNumber != number))
        return refuse(kTip, QStringLiteral("已经存在[") + r.number + QStringLiteral("]这个编码，请重新设置编码!"),
                      Outcome::Focus::Number);

    if (r.edit) {
        // The note may have been audited on another computer since it was opened.
        const QString auditor = m.GetSingleValue(
            QStringLiteral("select F6 from ") + kind.headerTable + QStringLiteral(" where F1=?"), {oldNumber});
        out.storedNoteChanged = auditor == Module1::NoFound || !auditor.trimmed().isEmpty();
        if (auditor == Module1::NoFound)
            return refuse(kTip, kNoteGoneMessage);  // deleted elsewhere: never written back
        if (!auditor.trimmed().isEmpty())
            return refuse(kTip, QStringLiteral("此单据已经审核，不可修改！"));
    }

    auto fail = [&]() {
        const QString error = database.lastError();
        transaction.rollback();
        return refuse(QString(), error);
    };

    if (kind.extraSaveStep && !kind.extraSaveStep(database, r, partyCode.trimmed()))
        return fail();

    if (r.edit) {
        if (!database.exec(QStringLiteral("delete from ") + kind.lineTable + QStringLiteral(" where F0=?"), {oldNumber})
            || !database.exec(QStringLiteral("delete from ") + kind.headerTable + QStringLiteral(" where F1=?"),
                              {oldNumber}))
            return fail();
    }

    const QString f3 = kind.partyTable.isEmpty() ? partyCode : partyCode.trimmed().toUpper();
    const QVariantList header{number, out.date, f3, r.enteredBy.trimmed(),
                              numtext::typedNumber(r.total), r.remark.trimmed()};
    const bool headerOk = kind.headerHasStamp
        ? database.exec(QStringLiteral("insert into ") + kind.headerTable
                            + QStringLiteral(" (H8,F1,F2,F3,F5,F9,F10) VALUES (?,?,?,?,?,?,?)"),
                        QVariantList{db::stampText(m.Now())} + header)
        : database.exec(QStringLiteral("insert into ") + kind.headerTable
                            + QStringLiteral(" (F1,F2,F3,F5,F9,F10) VALUES (?,?,?,?,?,?)"),
                        header);
    if (!headerOk)
        return fail();

    const bool book = kind.linesCarryBookQuantity;
    db::Statement insertLine = database.prepare(
        QStringLiteral("insert into ") + kind.lineTable
        + (book ? QStringLiteral(" (F0,F1,F6,F7,F8,F5) VALUES (?,?,?,?,?,?)")
                : QStringLiteral(" (F0,F1,F6,F7,F8) VALUES (?,?,?,?,?)")));
    if (!insertLine.isValid())
        return fail();
    for (const SaveLine &line : r.lines) {
        const QString code = line.code.trimmed();
        if (code.isEmpty())
            continue;
        insertLine.reset();
        QVariantList values{number, code, numtext::typedNumber(line.quantity), numtext::typedNumber(line.price),
                            line.remark};
        if (book)
            values.append(numtext::typedNumber(line.bookQuantity));
        if (!insertLine.bindAll(values) || !insertLine.run()) {
            const QString error = insertLine.error();
            transaction.rollback();
            return refuse(QString(), error);
        }
    }

    if (numberChanged) {
        m.ReleaseDocNo(reserved);
        QString saved = number;
        m.ReserveDocNo(saved, 1);
    }

    if (!transaction.commit())
        return fail();
    out.done = true;
    out.title.clear();
    out.message.clear();
    return out;
}

// ---- delete ----------------------------------------------------------------

Outcome deleteDocument(Module1 &m, const DocumentKind &kind, const QString &numberText)
{
    const QString number = numberText.trimmed();
    db::Database &database = m.gDb;
    db::Transaction transaction(database);
    if (!transaction.isActive())
        return failed(database);
    const QString auditor = m.GetSingleValue(
        QStringLiteral("select F6 from ") + kind.headerTable + QStringLiteral(" where F1=?"), {number});
    if (auditor != Module1::NoFound && !auditor.trimmed().isEmpty())
        return Outcome::refused(kTip, QStringLiteral("该单据已审核，不能删除！"));
    if (!database.exec(QStringLiteral("delete from ") + kind.headerTable + QStringLiteral(" WHERE F1=?"), {number})
        || !database.exec(QStringLiteral("delete from ") + kind.lineTable + QStringLiteral(" WHERE F0=?"), {number}))
        return failed(database);
    if (!transaction.commit())
        return failed(database);
    return Outcome::success();
}

// ---- audit and cancel audit ------------------------------------------------

namespace {

// The lines in one order: by code, then by their figures.
QVector<StoredLine> sortedLines(QVector<StoredLine> lines)
{
    std::sort(lines.begin(), lines.end(), [](const StoredLine &a, const StoredLine &b) {
        return std::tuple(a.code, a.quantity, a.price, a.bookQuantity)
            < std::tuple(b.code, b.quantity, b.price, b.bookQuantity);
    });
    return lines;
}

// Whether the stored lines are the ones shown: the same goods with the same
// figures, in any order.
bool sameLines(const QVector<StoredLine> &stored, const QVector<StoredLine> &shown)
{
    if (stored.size() != shown.size())
        return false;
    const QVector<StoredLine> a = sortedLines(stored), b = sortedLines(shown);
    return std::equal(a.begin(), a.end(), b.begin(), [](const StoredLine &x, const StoredLine &y) {
        return x.code == y.code && x.quantity == y.quantity && x.price == y.price && x.bookQuantity == y.bookQuantity;
    });
}

// Whether the stored header's date and party are the ones listed (a party
// code is stored upper-cased and compared as the book compares codes).
bool sameHeader(const QString &date, const QString &party, const ShownNote &shown)
{
    return date.trimmed() == shown.date.trimmed()
        && party.trimmed().compare(shown.party.trimmed(), Qt::CaseInsensitive) == 0;
}

Outcome shownNoteChanged()
{
    Outcome out = Outcome::refused(kTip, kNoteChangedMessage);
    out.shownNoteChanged = true;
    return out;
}

Outcome post(Module1 &m, const DocumentKind &kind, const QString &numberText, bool cancel, const ShownNote *shown)
{
    const QString number = numberText.trimmed();
    if (cancel && !kind.canCancelAudit)
        return Outcome::refused(kTip, QStringLiteral("该单据不能撤销审核！"));
    // The operator's name is the audit mark: a blank one would leave the note
    // looking unaudited, and a second audit would post it again.
    if (!cancel && m.gUserName.trimmed().isEmpty())
        return Outcome::refused(kTip, QStringLiteral("操作员姓名为空，不能审核单据！"));
    db::Database &database = m.gDb;
    db::Transaction transaction(database);
    if (!transaction.isActive())
        return failed(database);

    {
        db::Statement header =
            database.prepare(QStringLiteral("select F2,F3 from %1 where F1=?").arg(kind.headerTable));
        if (!header.isValid() || !header.bindAll({number}))
            return failed(database);
        if (!header.next())
            return header.hasError() ? Outcome::refused(QString(), header.error()) : noteGone();
        if (shown && !sameHeader(header.text(0), header.text(1), *shown))
            return shownNoteChanged();
    }

    bool ok = false;

    // Every goods row must be there before anything changes.
    const QVariant missing = database.scalar(
        QStringLiteral("select coalesce(L.F1,'') from %1 L left join TA4 on TA4.F1=L.F1 where L.F0=? and TA4.F1 is null "
                       "order by L.F1 limit 1")
            .arg(kind.lineTable),
        {number}, &ok);
    if (!ok)
        return failed(database);
    if (missing.isValid())
        return Outcome::refused(QString(), missingGoodsMessage(missing.toString()), Prompt::Icon::Exclamation);

    const QString now = db::stampText(m.Now());
    QString mark;
    QVariantList params;
    if (!cancel) {
        mark = kind.headerHasStamp ? QStringLiteral("update %1 set F6=?,H8=? where F1=? and (F6 is null or F6='')")
                                   : QStringLiteral("update %1 set F6=? where F1=? and (F6 is null or F6='')");
        const QString auditor = m.gUserName.trimmed();
        params = kind.headerHasStamp ? QVariantList{auditor, now, number} : QVariantList{auditor, number};
    } else {
        mark = kind.headerHasStamp ? QStringLiteral("update %1 set F6='',H8=? where F1=? and F6<>''")
                                   : QStringLiteral("update %1 set F6='' where F1=? and F6<>''");
        params = kind.headerHasStamp ? QVariantList{now, number} : QVariantList{number};
    }
    if (!database.exec(mark.arg(kind.headerTable), params))
        return failed(database);
    if (database.changes() != 1) {
        // Audited (or cancelled) meanwhile, e.g. on another computer: nothing is posted.
        return cancel ? Outcome::refused(kTip, kind.cancelNotAuditedMessage)
                      : Outcome::refused(kTip, QStringLiteral("该单据已审核，不需要再次审核！"));
    }

    QVector<StoredLine> lines;
    {
        const QString book = kind.linesCarryBookQuantity ? QStringLiteral("F5") : QStringLiteral("0");
        db::Statement st = database.prepare(QStringLiteral("select F1,F6,F7,%1 from %2 where F0=? order by F1")
                                                .arg(book, kind.lineTable));
        if (!st.isValid() || !st.bindAll({number}))
            return failed(database);
        while (st.next())
            lines.append(StoredLine{st.text(0), st.number(1), st.number(2), st.number(3)});
        if (st.hasError())
            return Outcome::refused(QString(), st.error());
    }
    if (shown && !sameLines(lines, shown->lines))
        return shownNoteChanged();

    PostingContext context{kind, database, number, cancel ? -kind.direction : kind.direction, cancel,
                           m.gOptNoAverageCostUpdate == 1, salePriceFactor(m),
                           cancel ? QStringLiteral("00-00-00") : now, {}, {}};
    for (const StoredLine &line : lines) {
        if (kind.postLine && !kind.postLine(context, line))
            return context.error.isEmpty() ? failed(database) : Outcome::refused(QString(), context.error);
    }
    if (!transaction.commit())
        return failed(database);
    return Outcome::success();
}

} // namespace

Outcome auditDocument(Module1 &m, const DocumentKind &kind, const QString &number, const ShownNote *shown)
{
    return post(m, kind, number, false, shown);
}

Outcome cancelAudit(Module1 &m, const DocumentKind &kind, const QString &number)
{
    return post(m, kind, number, true, nullptr);
}

} // namespace documents
