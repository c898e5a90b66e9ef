#include "ExcelSheet.h"

#include "SheetCells.h"
#include "WorkbookFile.h"

#include "platform/NumberText.h"

#include <QFileInfo>
#include <QMap>

namespace admin {

namespace {

// The rows of a sheet as they come, cell by cell: only the cells holding a
// value are kept, so memory follows the cells, whatever the sheet's extent.
class TableBuilder {
public:
    void add(int row, int col, const CellValue &value)
    {
        if (row == 0) {
            if (col >= fieldNames_.size())
                fieldNames_.resize(col + 1);
            fieldNames_[col] = textOf(value);
        } else {
            if (value.shared >= 0)
                records_.setShared(row - 1, col, value.shared, value.text);
            else
                records_.set(row - 1, col, textOf(value));
        }
        rows_ = qMax(rows_, row + 1);
        columns_ = qMax(columns_, col + 1);
        const std::optional<CellFault> fault = faultOf(value);
        if (fault) {
            faults_[row].insert(col, *fault);
        } else if (const auto found = faults_.find(row); found != faults_.end()) {
            found->remove(col);  // a later record of the same cell
        }
    }

    void take(ExcelTable &table)
    {
        table = {};
        if (rows_ == 0)
            return;
        table.fieldNames = std::move(fieldNames_);
        table.fieldNames.resize(columns_);
        records_.finish(rows_ - 1);
        table.records = std::move(records_);
        table.faults.resize(rows_ - 1);
        for (auto it = faults_.cbegin(); it != faults_.cend(); ++it)
            if (it.key() > 0 && !it->isEmpty())
                table.faults[it.key() - 1] = *it;
    }

private:
    static QString textOf(const CellValue &value)
    {
        switch (value.kind) {
        case CellValue::Kind::Number: return numtext::numToText(value.number);
        case CellValue::Kind::Boolean: return QString::number(int(value.number));
        default: return value.text;
        }
    }

    static std::optional<CellFault> faultOf(const CellValue &value)
    {
        if (value.kind != CellValue::Kind::Error && value.kind != CellValue::Kind::Unreadable)
            return {};
        return CellFault{value.text, value.formula};
    }

    QStringList fieldNames_;
    SheetRows records_;             // the rows below the field names
    QMap<int, CellFaults> faults_;  // by sheet row; few rows have any
    int rows_ = 0;
    int columns_ = 0;
};

// The reason a workbook is not read, in the frame every such message has.
QString refusal(const QString &path, const char *reason)
{
    return QStringLiteral("无法读入Excel文件“%1”：%2").arg(QFileInfo(path).fileName(), QString::fromUtf8(reason));
}

const char *const kDamaged = "文件已损坏。";
const char *const kEncrypted = "工作簿设有密码保护（已加密）。请先在Excel中取消它的密码并保存，再读入。";
const char *const kOldFormat = "这是Excel 5.0以前的旧版本工作簿，本系统不能读取。请先在Excel中把它另存为Excel 97-2003 工作簿(*.xls)。";

QString fileRefusal(const QString &path, WorkbookFile status)
{
    switch (status) {
    case WorkbookFile::Missing: return refusal(path, "文件不存在。");
    case WorkbookFile::Folder: return refusal(path, "这是文件夹，不是Excel文件。");
    case WorkbookFile::Unopenable: return refusal(path, "文件无法打开，请检查是否有读取它的权限。");
    case WorkbookFile::NotWorkbook: return refusal(path, "不是Excel 97-2003 工作簿(*.xls)。");
    case WorkbookFile::OldFormat: return refusal(path, kOldFormat);
    case WorkbookFile::Encrypted: return refusal(path, kEncrypted);
    case WorkbookFile::Damaged:
    case WorkbookFile::Opened: break;
    }
    return refusal(path, kDamaged);
}

QString sheetRefusal(const QString &path, const QString &sheetName, SheetRead status)
{
    switch (status) {
    case SheetRead::NoSheet: return QStringLiteral("在Excel文件中找不到工作表“%1”。").arg(sheetName.trimmed());
    case SheetRead::Encrypted: return refusal(path, kEncrypted);
    case SheetRead::OldFormat: return refusal(path, kOldFormat);
    case SheetRead::Damaged:
    case SheetRead::Read: break;
    }
    return refusal(path, kDamaged);
}

} // namespace

bool readExcelSheet(const QString &path, const QString &sheetName, ExcelTable &table, QString &error)
{
    table = {};
    QByteArray stream;
    const WorkbookFile file = readWorkbookStream(path, stream);
    if (file != WorkbookFile::Opened) {
        error = fileRefusal(path, file);
        return false;
    }
    TableBuilder builder;
    const SheetRead read = readSheetCells(stream, sheetName, [&builder](int row, int col, const CellValue &value) {
        builder.add(row, col, value);
    });
    if (read != SheetRead::Read) {
        error = sheetRefusal(path, sheetName, read);
        return false;
    }
    builder.take(table);
    return true;
}

} // namespace admin
