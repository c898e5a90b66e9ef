#include "ExcelSheet.h"

#include "FormulaValues.h"

#include "platform/NumberText.h"

#include <QFileInfo>

#if __has_include(<freexl.h>)
#include <freexl.h>
#define WAREHOUSE_HAS_FREEXL 1
#endif

namespace admin {

#ifdef WAREHOUSE_HAS_FREEXL

namespace {

// Closes the workbook however reading ends.
class Workbook {
public:
    ~Workbook()
    {
        if (handle_)
            freexl_close(handle_);
    }
    int open(const QString &path) { return freexl_open(QFile::encodeName(path).constData(), &handle_); }
    const void *handle() const { return handle_; }

private:
    const void *handle_ = nullptr;
};

QString cellText(const FreeXL_CellValue &cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT: return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE: return numtext::numToText(cell.value.double_value);
    case FREEXL_CELL_NULL: return QString();
    default: return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
    }
}

// A formula cell, which the cell reader leaves empty, as the value saved with it.
QString savedText(const SavedValue &value)
{
    switch (value.kind) {
    case SavedValue::Kind::Number: return numtext::numToText(value.number);
    case SavedValue::Kind::Boolean: return QString::number(int(value.number));  // as a boolean cell reads
    default: return value.text;
    }
}

bool isFault(const SavedValue &value)
{
    return value.kind == SavedValue::Kind::Error || value.kind == SavedValue::Kind::Unreadable;
}

QString openFailure(const QString &path)
{
    return QStringLiteral("无法读入Excel文件“%1”：文件不存在，或不是Excel 97-2003 工作簿(*.xls)。")
        .arg(QFileInfo(path).fileName());
}

} // namespace

bool readExcelSheet(const QString &path, const QString &sheetName, ExcelTable &table, QString &error)
{
    table = {};
    Workbook book;
    if (!QFileInfo(path).isFile() || book.open(path) != FREEXL_OK) {
        error = openFailure(path);
        return false;
    }
    unsigned int sheets = 0;
    if (freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK) {
        error = openFailure(path);
        return false;
    }
    int found = -1;
    for (unsigned int i = 0; i < sheets && found < 0; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(book.handle(), static_cast<unsigned short>(i), &name) == FREEXL_OK && name
            && QString::fromUtf8(name).compare(sheetName.trimmed(), Qt::CaseInsensitive) == 0)
            found = int(i);
    }
    if (found < 0) {
        error = QStringLiteral("在Excel文件中找不到工作表“%1”。").arg(sheetName.trimmed());
        return false;
    }
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(book.handle(), static_cast<unsigned short>(found)) != FREEXL_OK
        || freexl_worksheet_dimensions(book.handle(), &rows, &cols) != FREEXL_OK) {
        error = QStringLiteral("无法读入工作表“%1”。").arg(sheetName.trimmed());
        return false;
    }
    SavedValues formulas;
    if (!readFormulaValues(path, sheetName, formulas)) {
        error = QStringLiteral("无法读出工作表“%1”中公式的值：Excel文件已损坏，或是本系统不能读取的旧版本。").arg(sheetName.trimmed());
        return false;
    }
    for (unsigned int r = 0; r < rows; ++r) {
        QStringList texts;
        texts.reserve(cols);
        CellFaults faults;
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(book.handle(), r, c, &cell) != FREEXL_OK) {
                error = QStringLiteral("工作表“%1”第%2行第%3列的数据无法读出。").arg(sheetName.trimmed()).arg(r + 1).arg(c + 1);
                table = {};
                return false;
            }
            const auto formula = formulas.find({int(r), int(c)});
            if (cell.type != FREEXL_CELL_NULL || formula == formulas.end()) {
                texts << cellText(cell);
                continue;
            }
            texts << savedText(formula->second);
            if (isFault(formula->second))
                faults.insert(c, formula->second.text);
        }
        if (r == 0) {
            table.fieldNames = texts;
        } else {
            table.records << texts;
            table.faults << faults;
        }
    }
    return true;
}

#else

bool readExcelSheet(const QString &, const QString &, ExcelTable &table, QString &error)
{
    table = {};
    error = QStringLiteral("本系统没有安装读取Excel文件的组件。");
    return false;
}

#endif

} // namespace admin
