#include "SheetCells.h"

#include "BiffRecords.h"
#include "CellDates.h"

#include <QHash>
#include <QStringDecoder>
#include <QVector>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <optional>

namespace admin {

namespace {

using biff::Record;
using biff::u16;
using biff::u32;
using biff::unicodeChars;

enum RecordType : quint16 {
    Formula = 0x0006,
    // FORMULA under the ids of Excel 3 and 4, which some export tools still
    // write into BIFF8 workbooks; their row, column, format and result are
    // laid out as FORMULA's.
    Formula3 = 0x0206,
    Formula4 = 0x0406,
    EndOfFile = 0x000A,
    DateMode = 0x0022,
    FilePass = 0x002F,
    CodePage = 0x0042,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    RichLabel = 0x00D6,
    ExtendedFormat = 0x00E0,
    SharedStrings = 0x00FC,
    LabelSst = 0x00FD,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Array = 0x0221,
    Table = 0x0236,
    Rk = 0x027E,
    SharedFormula = 0x04BC,
    Format = 0x041E,
    BeginOfFile = 0x0809,
    // The first record of workbooks older than Excel 5.
    BeginOfFile2 = 0x0009,
    BeginOfFile3 = 0x0209,
    BeginOfFile4 = 0x0409,
};

// An RK number: 30 bits of a double's high bits or of an integer, perhaps to be divided by 100.
double rkNumber(quint32 rk)
{
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 0x01 ? value / 100 : value;
}

// The decoder of the 8-bit texts of an Excel 5/95 workbook by its code page:
// a Windows page by its Windows name, a DOS page by its IBM name, a Mac page
// (10000 and up) by the page the decoder has or the nearest one to it. An
// invalid decoder where none fits (Johab, a page no one defines): the texts
// are then read byte for byte, so that names in plain ASCII still match.
QStringDecoder codePageDecoder(int codePage)
{
    switch (codePage) {
    case 367: return QStringDecoder(QStringDecoder::Latin1);
    case 10000:
    case 10079:  // Mac Icelandic: Mac Roman but for a few letters
    case 32768: return QStringDecoder("macintosh");
    case 10001: return QStringDecoder("Shift_JIS");
    case 10006: return QStringDecoder("x-mac-greek");
    case 10007: return QStringDecoder("x-mac-cyrillic");
    case 10008: return QStringDecoder("GBK");
    case 10029: return QStringDecoder("x-mac-centraleurroman");
    case 10081: return QStringDecoder("x-mac-turkish");
    case 32769: return QStringDecoder("windows-1252");  // Windows Latin 1 as the oldest workbooks number it
    default: break;
    }
    QStringDecoder windows(qPrintable(QStringLiteral("windows-%1").arg(codePage)));
    if (windows.isValid() || codePage >= 1000)
        return windows;
    return QStringDecoder(qPrintable(QStringLiteral("IBM%1").arg(codePage)));
}

// The sheet a typed name asks for, letter case ignored: the first sheet
// spelt exactly so, else the first whose name is the same once the blanks
// around both are dropped (a stored name may end in a blank the clerk cannot
// see, and the typed one is trimmed).
class SheetMatch {
public:
    explicit SheetMatch(const QString &typed) : typed_(typed), typedTrimmed_(typed.trimmed()) {}

    void offer(const QString &name, qint64 offset)
    {
        if (exact_ < 0 && name.compare(typed_, Qt::CaseInsensitive) == 0)
            exact_ = offset;
        else if (trimmed_ < 0 && name.trimmed().compare(typedTrimmed_, Qt::CaseInsensitive) == 0)
            trimmed_ = offset;
    }
    // The offset of the sheet's records; -1 when no sheet has that name.
    qint64 offset() const { return exact_ >= 0 ? exact_ : trimmed_; }

private:
    QString typed_;
    QString typedTrimmed_;
    qint64 exact_ = -1;    // the first sheet spelt as typed
    qint64 trimmed_ = -1;  // the first sheet of the same name without its blanks
};

class Workbook {
public:
    Workbook(const QByteArray &stream, const CellSink &sink) : records_(stream), sink_(sink) {}

    SheetRead read(const QString &sheetName)
    {
        qint64 offset = -1;
        const SheetRead globals = readGlobals(sheetName, offset);
        if (globals != SheetRead::Read)
            return globals;
        return readSheet(offset) ? SheetRead::Read : SheetRead::Damaged;
    }

private:
    // Reads the globals: the BIFF version, the code page of BIFF5's 8-bit
    // texts, the date base, the formats, the shared strings and the sheets
    // with their offsets; the offset of the named sheet.
    SheetRead readGlobals(const QString &sheetName, qint64 &offset)
    {
        Record r;
        if (!records_.next(r))
            return SheetRead::Damaged;
        if (r.type == BeginOfFile2 || r.type == BeginOfFile3 || r.type == BeginOfFile4)
            return SheetRead::OldFormat;
        if (r.type != BeginOfFile || r.data.size() < 4)
            return SheetRead::Damaged;
        // BIFF8 says 0x0600, BIFF5 0x0500; a writer that says neither gives
        // BIFF8's 16 bytes or BIFF5's 8.
        const quint16 version = u16(r.data, 0);
        biff8_ = version == 0x0600 || (version != 0x0500 && r.data.size() >= 16);
        SheetMatch match(sheetName);
        while (records_.next(r) && r.type != EndOfFile) {
            switch (r.type) {
            case FilePass: return SheetRead::Encrypted;
            case CodePage:
                if (r.data.size() >= 2)
                    codePage_ = u16(r.data, 0);
                break;
            case DateMode:
                if (r.data.size() >= 2)
                    base1904_ = u16(r.data, 0) == 1;
                break;
            case Format:
                if (r.data.size() >= 2)
                    formats_.insert(u16(r.data, 0), formatTextOf(r.data.sliced(2)).value_or(QString()));
                break;
            case ExtendedFormat:
                if (r.data.size() >= 4)
                    xfFormats_.append(u16(r.data, 2));
                break;
            case SharedStrings: readSharedStrings(r.data); break;
            case BoundSheet:
                if (r.data.size() >= 8) {
                    if (const std::optional<QString> name = sheetNameOf(r.data.sliced(6)))
                        match.offer(*name, u32(r.data, 0));
                }
                break;
            default: break;
            }
        }
        if (r.type != EndOfFile)
            return SheetRead::Damaged;
        offset = match.offset();
        return offset >= 0 ? SheetRead::Read : SheetRead::NoSheet;
    }

    // The shared strings: two counts, then the strings, going on in the
    // CONTINUE records after the SST record. A string that cannot be read
    // ends the list: cells that refer past its end are Unreadable.
    void readSharedStrings(QByteArrayView data)
    {
        QVector<QByteArrayView> pieces{data};
        pieces += records_.continues();
        biff::ContinuedBytes bytes(std::move(pieces));
        bytes.skip(4);
        const std::optional<quint32> count = bytes.dword();
        if (!count)
            return;
        while (quint32(strings_.size()) < *count && !bytes.atEnd()) {
            std::optional<QString> text = bytes.unicodeString();
            if (!text)
                break;
            strings_.append(std::move(*text));
        }
    }

    // A sheet name: one byte of length, then (BIFF8) a flag byte and the characters.
    std::optional<QString> sheetNameOf(QByteArrayView name) const
    {
        if (name.isEmpty())
            return {};
        const int count = quint8(name[0]);
        if (!biff8_)
            return name.size() >= 1 + count ? codePageText(name.sliced(1, count)) : std::nullopt;
        if (name.size() < 2)
            return {};
        const bool wide = name[1] & 1;
        const qsizetype bytes = count * (wide ? 2 : 1);
        return name.size() >= 2 + bytes ? std::optional(unicodeChars(name.sliced(2, bytes), wide)) : std::nullopt;
    }

    // A FORMAT record's text: BIFF8 a two-byte length, a flag byte and the
    // characters; BIFF5 one byte of length and code-page bytes.
    std::optional<QString> formatTextOf(QByteArrayView text) const
    {
        if (!biff8_)
            return !text.isEmpty() && text.size() >= 1 + quint8(text[0]) ? codePageText(text.sliced(1, quint8(text[0])))
                                                                         : std::nullopt;
        if (text.size() < 3)
            return {};
        const bool wide = text[2] & 1;
        const qsizetype bytes = u16(text, 0) * (wide ? 2 : 1);
        return text.size() >= 3 + bytes ? std::optional(unicodeChars(text.sliced(3, bytes), wide)) : std::nullopt;
    }

    // The shape of the numbers shown by the cell format (XF) of that index.
    DateShape dateShapeOfCell(int xf) const
    {
        if (xf < 0 || xf >= xfFormats_.size())
            return DateShape::None;
        const int format = xfFormats_[xf];
        return dateShapeOf(format, formats_.value(format));
    }

    std::optional<QString> codePageText(QByteArrayView bytes) const
    {
        if (codePage_ == 1200)
            return unicodeChars(bytes, true);
        QStringDecoder decoder = codePageDecoder(codePage_);
        if (!decoder.isValid())
            return QString::fromLatin1(bytes);
        QString text = decoder.decode(bytes);
        return decoder.hasError() ? std::nullopt : std::optional(text);
    }

    bool readSheet(qint64 offset)
    {
        Record r;
        if (!records_.seek(offset) || !records_.next(r) || r.type != BeginOfFile)
            return false;
        int depth = 1;  // a chart inside the sheet brings its own BOF .. EOF
        while (depth > 0 && records_.next(r)) {
            if (r.type == BeginOfFile)
                ++depth;
            else if (r.type == EndOfFile)
                --depth;
            else if (depth == 1 && !readCell(r))
                return false;
        }
        return depth == 0 && !records_.damaged();
    }

    // A cell record: row, column, cell format, then the value. False when it
    // names a column past the last one.
    bool readCell(const Record &r)
    {
        const QByteArrayView d = r.data;
        switch (r.type) {
        case Number:
            if (d.size() >= 14)
                return give(u16(d, 0), u16(d, 2), numberValue(qFromLittleEndian<double>(d.data() + 6), u16(d, 4)));
            break;
        case Rk:
            if (d.size() >= 10)
                return give(u16(d, 0), u16(d, 2), numberValue(rkNumber(u32(d, 6)), u16(d, 4)));
            break;
        case MulRk:
            // Row, first column, then a format and an RK number for each column, then the last column.
            for (qsizetype i = 0; d.size() >= 4 && 4 + 6 * i + 6 <= d.size() - 2; ++i) {
                const qsizetype at = 4 + 6 * i;
                if (!give(u16(d, 0), u16(d, 2) + int(i), numberValue(rkNumber(u32(d, at + 2)), u16(d, at))))
                    return false;
            }
            break;
        case LabelSst:
            if (d.size() >= 10)
                return give(u16(d, 0), u16(d, 2), sharedString(u32(d, 6)));
            break;
        case Label:
        case RichLabel:
            if (d.size() >= 8)
                return give(u16(d, 0), u16(d, 2), label(d.sliced(6), r.type == RichLabel));
            break;
        case BoolErr:
            if (d.size() >= 8)
                return give(u16(d, 0), u16(d, 2), d[7] ? errorValue(quint8(d[6])) : booleanValue(d[6]));
            break;
        case Formula:
        case Formula3:
        case Formula4:
            if (d.size() >= 4)
                return give(u16(d, 0), u16(d, 2), formulaValue(d));
            break;
        default: break;
        }
        return true;
    }

    bool give(int row, int col, const CellValue &value)
    {
        if (col > kLastSheetColumn)
            return false;
        sink_(row, col, value);
        return true;
    }

    // A number, or the date the cell shows it as; a NaN or an infinity is no
    // number a spreadsheet holds.
    CellValue numberValue(double number, int xf) const
    {
        if (!std::isfinite(number))
            return errorValue(0x24);
        const DateShape shape = dateShapeOfCell(xf);
        const QString date = shape == DateShape::None ? QString() : dateText(number, shape, base1904_);
        if (!date.isEmpty())
            return {CellValue::Kind::Text, 0, date};
        return {CellValue::Kind::Number, number, {}};
    }

    // Error values are numbered after the shared strings, whose indexes are 32-bit.
    static CellValue errorValue(int code)
    {
        return {CellValue::Kind::Error, 0, biff::errorText(code), false, (qint64(1) << 32) + code};
    }
    static CellValue booleanValue(char value) { return {CellValue::Kind::Boolean, value ? 1.0 : 0.0, {}}; }

    CellValue sharedString(quint32 index) const
    {
        if (index >= quint32(strings_.size()))
            return {};
        return {CellValue::Kind::Text, 0, strings_[index], false, qint64(index)};
    }

    // A LABEL's text (RSTRING's, rich: with its formatting runs after it):
    // BIFF8 a string that may go on in CONTINUE records; BIFF5 a two-byte
    // length and code-page bytes.
    CellValue label(QByteArrayView text, bool rich)
    {
        std::optional<QString> chars;
        if (biff8_) {
            QVector<QByteArrayView> pieces{text};
            pieces += records_.continues();
            chars = continuedLabel(pieces, rich);
        } else if (text.size() >= 2 && text.size() >= 2 + u16(text, 0)) {
            chars = codePageText(text.sliced(2, u16(text, 0)));
        }
        if (!chars)
            return {};
        return {CellValue::Kind::Text, 0, *chars};
    }

    // A BIFF8 label's string from its record's bytes and its CONTINUE
    // records. Each piece opens with a flag byte (8-bit or 16-bit
    // characters); some writers instead split the characters' bytes anywhere,
    // even inside a character, and keep only the first flag byte. The reading
    // that ends exactly where the records end is the writer's.
    static std::optional<QString> continuedLabel(const QVector<QByteArrayView> &pieces, bool rich)
    {
        biff::ContinuedBytes flagged(pieces);
        const std::optional<QString> text = flagged.unicodeString();
        if (text && endsWithLabel(flagged, rich))
            return text;
        QByteArray joined;
        for (QByteArrayView piece : pieces)
            joined += piece;
        biff::ContinuedBytes bare({joined});
        const std::optional<QString> bareText = bare.unicodeString();
        if (bareText && endsWithLabel(bare, rich))
            return bareText;
        return text;
    }

    // Whether the label's bytes end after its string (and an RSTRING's formatting runs).
    static bool endsWithLabel(biff::ContinuedBytes &bytes, bool rich)
    {
        if (rich) {
            const std::optional<quint16> runs = bytes.word();
            if (!runs || !bytes.skip(qint64(*runs) * 4))
                return false;
        }
        return bytes.atEnd();
    }

    // A FORMULA record: row, column, format, then the 8-byte result. Its
    // last two bytes 0xFFFF mark a result other than a number, its first
    // byte telling which.
    CellValue formulaValue(QByteArrayView data)
    {
        CellValue value = savedResult(data);
        value.formula = true;
        return value;
    }

    CellValue savedResult(QByteArrayView data)
    {
        if (data.size() < 14)
            return {};
        const QByteArrayView result = data.sliced(6, 8);
        if (u16(result, 6) != 0xFFFF)
            return numberValue(qFromLittleEndian<double>(result.data()), u16(data, 4));
        switch (quint8(result[0])) {
        case 0: return savedString();
        case 1: return booleanValue(result[2]);
        case 2: return errorValue(quint8(result[2]));
        case 3: return {CellValue::Kind::Text, 0, {}};
        default: return {};
        }
    }

    // The text result: the STRING record after the formula (after the shared
    // or array formula's own record, if any), continued in CONTINUE records
    // when long. Unreadable when missing or cut short.
    CellValue savedString()
    {
        Record r;
        for (quint16 type : {SharedFormula, Array, Table})
            records_.nextOfType(type, r);
        if (!records_.nextOfType(String, r) || r.data.size() < 2)
            return {};
        const int count = u16(r.data, 0);
        std::optional<QString> text;
        if (!biff8_) {
            if (r.data.size() >= 2 + count)
                text = codePageText(r.data.sliced(2, count));
        } else {
            QVector<QByteArrayView> pieces{r.data.sliced(2)};
            pieces += records_.continues();
            text = continuedText(count, pieces);
        }
        if (!text)
            return {};
        return {CellValue::Kind::Text, 0, *text};
    }

    // A BIFF8 text of count characters from its pieces: the STRING record's
    // bytes after the count, then its CONTINUE records. Each piece opens with
    // a flag byte (8-bit or 16-bit characters); some writers instead split
    // the characters' bytes anywhere and keep only the first flag byte.
    static std::optional<QString> continuedText(int count, const QVector<QByteArrayView> &pieces)
    {
        if (count == 0)
            return QString();
        if (pieces.first().isEmpty())
            return {};
        QString text;
        for (QByteArrayView piece : pieces) {
            const bool wide = !piece.isEmpty() && (piece[0] & 1);
            if (piece.isEmpty() || (piece.size() - 1) % (wide ? 2 : 1) != 0) {
                text.clear();
                break;
            }
            text += unicodeChars(piece.sliced(1), wide);
        }
        if (text.size() == count)
            return text;
        const bool wide = pieces.first()[0] & 1;
        QByteArray joined = pieces.first().sliced(1).toByteArray();
        for (qsizetype i = 1; i < pieces.size(); ++i)
            joined += pieces[i];
        return joined.size() == count * (wide ? 2 : 1) ? std::optional(unicodeChars(joined, wide)) : std::nullopt;
    }

    biff::Records records_;
    const CellSink &sink_;
    bool biff8_ = true;
    int codePage_ = 1252;
    bool base1904_ = false;
    QHash<int, QString> formats_;  // the workbook's own format texts by index
    QVector<int> xfFormats_;       // the format index of each cell format (XF)
    QVector<QString> strings_;     // the shared strings (SST)
};

} // namespace

SheetRead readSheetCells(const QByteArray &workbookStream, const QString &sheetName, const CellSink &sink)
{
    return Workbook(workbookStream, sink).read(sheetName);
}

} // namespace admin
