#include "PrintRequest.h"

#include "platform/GridModel.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "platform/report/ReportTemplate.h"
#include "shell/Module1.h"
#include "shell/Prnt.h"
#include "shell/SqlText.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringEncoder>

#include <optional>

namespace {

void tell(const QString &text)
{
    Prompt::current().message(QStringLiteral("提示"), text, Prompt::Icon::Information);
}

bool isIdentifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

} // namespace

QString FormulaText(const QString &name, const QString &value)
{
    return name + QLatin1Char('=') + sqltext::quoted(value);
}

QString SelectionFormulaText(const QString &headerTable, const QString &number)
{
    return QLatin1Char('{') + headerTable + QStringLiteral(".F1}=") + sqltext::quoted(number);
}

bool ReportFileExists(const QString &fileName)
{
    return !report::findFileIgnoringCase(Module1::instance().gProgramPath + fileName).isEmpty();
}

QStringList StagingColumns(int first, int last)
{
    QStringList columns;
    for (int f = first; f <= last; ++f)
        columns.append(QStringLiteral("F") + QString::number(f));
    return columns;
}

QVector<QVariantList> GridTextRows(const GridModel &grid, const QVector<int> &columns, int firstRow, int lastRow)
{
    QVector<QVariantList> rows;
    const int last = lastRow < 0 ? grid.rows() - 1 : qMin(lastRow, grid.rows() - 1);
    for (int r = firstRow; r <= last; ++r) {
        QVariantList row;
        for (int c : columns)
            row.append(grid.textMatrix(r, c));
        rows.append(row);
    }
    return rows;
}

namespace {

// Encodes a row's texts as UTF-8 into one buffer and binds them from there:
// no allocation or copy per value. The buffer stays put until the row has
// been inserted, because its room is made before the row's first text.
class TextBinder {
public:
    // Room for texts of this many UTF-16 units in all.
    void startRow(qsizetype units)
    {
        const qsizetype need = encoder_.requiredSpace(units) + 1;
        if (buffer_.size() < need)
            buffer_.resize(need);
        used_ = 0;
    }

    bool bind(db::Statement &statement, int index, QStringView text)
    {
        char *start = buffer_.data() + used_;
        char *end = encoder_.appendToBuffer(start, text);
        used_ = end - buffer_.data();
        return statement.bindUtf8(index, QByteArrayView(start, end - start));
    }

private:
    QStringEncoder encoder_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    QByteArray buffer_;
    qsizetype used_ = 0;
};

// Empties table and prepares the insert of one row into the columns.
std::optional<db::Statement> prepareStaging(db::Database &db, const QString &table, const QStringList &columns,
                                            QString *error)
{
    if (!isIdentifier(table) || columns.isEmpty()
        || !std::all_of(columns.begin(), columns.end(), isIdentifier)) {
        *error = QStringLiteral("打印数据表或字段名不正确：%1").arg(table);
        return std::nullopt;
    }
    if (!db.exec(QStringLiteral("delete from ") + table)) {
        *error = db.lastError();
        return std::nullopt;
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                            .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    db::Statement insert = db.prepare(sql);
    if (!insert.isValid()) {
        *error = db.lastError();
        return std::nullopt;
    }
    return insert;
}

bool insertFailed(db::Database &db, const db::Statement &insert, QString *error)
{
    *error = insert.error().isEmpty() ? db.lastError() : insert.error();
    return false;
}

} // namespace

bool StageRows(db::Database &db, const QString &table, const QStringList &columns,
               const QVector<QVariantList> &rows, QString *error)
{
    std::optional<db::Statement> insert = prepareStaging(db, table, columns, error);
    if (!insert)
        return false;
    // A short row stages empty texts in its missing columns; a long row's extra values are dropped.
    const int n = int(columns.size());
    // The text a value holds, read in place; null for other values.
    const auto textOf = [](const QVariant &v) {
        return v.typeId() == QMetaType::QString ? static_cast<const QString *>(v.constData()) : nullptr;
    };
    TextBinder texts;
    for (const QVariantList &row : rows) {
        insert->reset();
        qsizetype units = 0;
        for (int c = 0; c < n && c < row.size(); ++c)
            if (const QString *text = textOf(row[c]))
                units += text->size();
        texts.startRow(units);
        bool bound = true;
        for (int c = 0; c < n && bound; ++c) {
            if (c >= row.size())
                bound = texts.bind(*insert, c + 1, QStringView());
            else if (const QString *text = textOf(row[c]))
                bound = texts.bind(*insert, c + 1, *text);
            else
                bound = insert->bind(c + 1, row[c]);
        }
        if (!bound || !insert->run())
            return insertFailed(db, *insert, error);
    }
    return true;
}

bool StageGridRows(db::Database &db, const QString &table, const QStringList &columns, const GridModel &grid,
                   const QVector<int> &gridColumns, QString *error)
{
    std::optional<db::Statement> insert = prepareStaging(db, table, columns, error);
    if (!insert)
        return false;
    const int n = int(qMin(columns.size(), gridColumns.size()));
    TextBinder texts;
    for (int r = 1; r < grid.rows(); ++r) {
        insert->reset();
        qsizetype units = 0;
        for (int c = 0; c < n; ++c)
            units += grid.cellView(r, gridColumns[c]).size();
        texts.startRow(units);
        bool bound = true;
        for (int c = 0; c < columns.size() && bound; ++c)
            bound = texts.bind(*insert, c + 1, c < n ? grid.cellView(r, gridColumns[c]) : QStringView());
        if (!bound || !insert->run())
            return insertFailed(db, *insert, error);
    }
    return true;
}

bool RunPrintRequest(const PrintRequest &request)
{
    WaitCursor busy;
    Module1 &m = Module1::instance();

    if (!request.testedFile.isEmpty() && !ReportFileExists(request.testedFile)) {
        tell(request.missingMessage.isEmpty()
                 ? QStringLiteral("报表文件") + request.testedFile + QStringLiteral("丢失！")
                 : request.missingMessage);
        return false;
    }

    // Staging and the report's read of the staged rows are one transaction, so
    // two computers printing through the same table cannot mix their rows.
    db::Transaction transaction(m.gDb);
    if (!transaction.isActive()) {
        tell(QStringLiteral("无法准备打印数据！系统返回如下信息：\n") + m.gDb.lastError());
        return false;
    }
    if (!request.stagingTable.isEmpty()) {
        QString error;
        const bool staged = request.stagingGrid
                                ? StageGridRows(m.gDb, request.stagingTable, request.stagingColumns,
                                                *request.stagingGrid, request.stagingGridColumns, &error)
                                : StageRows(m.gDb, request.stagingTable, request.stagingColumns,
                                            request.stagingRows, &error);
        if (!staged) {
            tell(QStringLiteral("无法准备打印数据！系统返回如下信息：\n") + error);
            return false;
        }
    }

    const bool wasOpen = Prnt::loaded() != nullptr;
    Prnt &host = Prnt::instance();
    ReportControl &cry = *host.Cry;
    cry.setConnection(&m.gDb);
    cry.setMoneyFormat(m.gMoneyFormat);
    cry.setDataFiles(0, m.gBookFile);
    cry.setReportFileName(m.gProgramPath + request.reportFile);
    if (!request.selectionFormula.isEmpty())
        cry.setSelectionFormula(request.selectionFormula);
    for (int i = 0; i < request.formulas.size(); ++i)
        cry.setFormulas(i, request.formulas[i]);
    cry.setDestination(0);
    const bool shown = cry.setAction(1);  // a failure is shown to the operator by the control

    if (!transaction.commit()) {
        tell(QStringLiteral("无法准备打印数据！系统返回如下信息：\n") + m.gDb.lastError());
        if (!wasOpen)
            delete &host;
        return false;
    }
    if (!shown) {
        if (!wasOpen)
            delete &host;
        return false;
    }
    host.showHost();
    host.Cmd->raise();
    return true;
}
