#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <utility>

// Writes workbooks byte by byte, record by record, for the records no
// spreadsheet program writes on request: constant error values, encrypted
// flags, capital stream names, a DIMENSIONS record far larger than the cells.
namespace biffwrite {

QByteArray le16(quint16 value);
QByteArray le32(quint32 value);
QByteArray f64(double value);
QByteArray record(quint16 type, const QByteArray &data);
// Characters after their flag byte (1 = 16-bit characters), as a piece of a
// continued text opens.
QByteArray piece(const QString &chars, bool wide);
// A BIFF8 string: its count of characters, its flag byte and its characters.
QByteArray unicodeString(const QString &text);
// A result of a formula other than a number: kind, a value byte, then 0xFFFF.
QByteArray marker(char kind, char value = 0);
// An RK number holding the integer value.
quint32 rkInteger(qint32 value);

// A workbook stream: the globals (BOF, the records given, a BOUNDSHEET per
// sheet, EOF), then each sheet (BOF, its records, EOF). BIFF8 unless biff5.
class Workbook {
public:
    explicit Workbook(bool biff5 = false) : biff5_(biff5) {}

    Workbook &global(quint16 type, const QByteArray &data);
    // A FORMAT record of that index and text, and a cell format (XF) using it;
    // the XF's index is xfCount() - 1 after the call.
    Workbook &dateFormat(quint16 index, const QString &text);
    // A cell format (XF) of a built-in format index.
    Workbook &cellFormat(quint16 formatIndex);
    int xfCount() const { return xfs_; }
    // The shared strings in an SST record and as many CONTINUE records as
    // their length needs, each string whole in one record unless it is longer
    // than a record holds.
    Workbook &sharedStrings(const QStringList &strings);

    // A new sheet (type 0 worksheet, 2 chart) that takes the records after it.
    Workbook &sheet(const QString &name, char type = 0);
    Workbook &record(quint16 type, const QByteArray &data);
    Workbook &number(int row, int col, double value, quint16 xf = 15);
    Workbook &label(int row, int col, const QString &text);
    Workbook &labelSst(int row, int col, quint32 index);
    Workbook &boolErr(int row, int col, quint8 value, bool error);
    Workbook &rk(int row, int col, quint32 rk, quint16 xf = 15);
    Workbook &mulRk(int row, int firstCol, const QVector<quint32> &rks, quint16 xf = 15);
    Workbook &blank(int row, int col);
    // A FORMULA record with the 8-byte result given; its own tokens (the
    // number 1) follow it. type: 0x0006, or the older ids 0x0206 and 0x0406.
    Workbook &formula(int row, int col, const QByteArray &result, quint16 xf = 15, quint16 type = 0x0006);
    Workbook &dimensions(quint32 rows, quint16 cols);

    QByteArray stream() const;

private:
    QByteArray bof(quint16 kind) const;
    QByteArray boundSheet(quint32 offset, char type, const QString &name) const;
    QByteArray cell(int row, int col, quint16 xf) const;

    bool biff5_;
    QByteArray globals_;
    int xfs_ = 0;
    struct Sheet {
        QString name;
        char type;
        QByteArray records;
    };
    QVector<Sheet> sheets_;
};

// A workbook stream whose sheet holds a caption in A1 and, in column A of the
// rows below it, rows cells all holding one shared string text.
QByteArray sharedTextWorkbook(const QString &sheet, int rows, const QString &text);
// A workbook stream whose sheet holds a caption in A1 and, on each of the rows
// below it, one label in the sheet's last column (IV).
QByteArray lastColumnWorkbook(const QString &sheet, int rows);

// A compound file at path holding stream under streamName; false when it
// cannot be written.
bool writeCompoundFile(const QString &path, const QByteArray &stream, const char *streamName = "Workbook");
// The same with several streams, each given by its name.
bool writeCompoundFile(const QString &path, const QVector<std::pair<const char *, QByteArray>> &streams);

} // namespace biffwrite
