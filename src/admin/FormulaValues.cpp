// The compound-file library's headers first: they use words that Qt's headers
// turn into macros.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>

#include "FormulaValues.h"

#include "CellDates.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QVector>
#include <QtEndian>

#include <limits>
#include <optional>

namespace admin {

namespace {

enum RecordType : quint16 {
    Formula = 0x0006,
    EndOfFile = 0x000A,
    DateMode = 0x0022,
    Continue = 0x003C,
    CodePage = 0x0042,
    BoundSheet = 0x0085,
    ExtendedFormat = 0x00E0,
    String = 0x0207,
    Array = 0x0221,
    Table = 0x0236,
    SharedFormula = 0x04BC,
    Format = 0x041E,
    BeginOfFile = 0x0809,
};

struct Record {
    quint16 type = 0;
    QByteArrayView data;
};

// Walks the records of a workbook stream: a two-byte type, a two-byte length
// and that many bytes of data.
class Records {
public:
    explicit Records(const QByteArray &stream) : stream_(stream) {}

    bool seek(qint64 offset)
    {
        if (offset < 0 || offset >= stream_.size())
            return false;
        pos_ = offset;
        return true;
    }
    // The next record; false at the end of the stream or when the record runs
    // past it (then damaged() is true).
    bool next(Record &record)
    {
        if (pos_ + 4 > stream_.size()) {
            damaged_ = pos_ != stream_.size();
            return false;
        }
        record.type = qFromLittleEndian<quint16>(stream_.constData() + pos_);
        const quint16 length = qFromLittleEndian<quint16>(stream_.constData() + pos_ + 2);
        if (pos_ + 4 + length > stream_.size()) {
            damaged_ = true;
            return false;
        }
        record.data = QByteArrayView(stream_.constData() + pos_ + 4, length);
        pos_ += 4 + length;
        return true;
    }
    // The next record when it has the given type; otherwise nothing is read.
    bool nextOfType(quint16 type, Record &record)
    {
        const qint64 at = pos_;
        if (next(record) && record.type == type)
            return true;
        pos_ = at;
        return false;
    }
    bool damaged() const { return damaged_; }

private:
    const QByteArray &stream_;
    qint64 pos_ = 0;
    bool damaged_ = false;
};

quint16 u16(QByteArrayView data, qsizetype at) { return qFromLittleEndian<quint16>(data.data() + at); }

QString errorText(int code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#ERROR!");
    }
}

// The characters of a BIFF8 string: 8-bit (the low bytes of UTF-16) or
// UTF-16LE, as its flag byte says.
QString unicodeChars(QByteArrayView bytes, bool wide)
{
    if (!wide)
        return QString::fromLatin1(bytes);
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(u16(bytes, 2 * i));
    return text;
}

class Workbook {
public:
    explicit Workbook(const QByteArray &stream) : records_(stream) {}

    bool read(const QString &sheetName, SavedValues &values)
    {
        const std::optional<qint64> sheet = sheetOffset(sheetName);
        return sheet && readSheet(*sheet, values);
    }

private:
    // Reads the globals: the BIFF version, the code page of BIFF5's 8-bit
    // texts and the sheets with their offsets; the offset of the named sheet.
    std::optional<qint64> sheetOffset(const QString &sheetName)
    {
        Record r;
        if (!records_.next(r) || r.type != BeginOfFile || r.data.size() < 2)
            return {};
        biff8_ = u16(r.data, 0) == 0x0600;
        std::optional<qint64> found;
        while (records_.next(r) && r.type != EndOfFile) {
            if (r.type == CodePage && r.data.size() >= 2)
                codePage_ = u16(r.data, 0);
            else if (r.type == DateMode && r.data.size() >= 2)
                base1904_ = u16(r.data, 0) == 1;
            else if (r.type == Format && r.data.size() >= 2)
                formats_.insert(u16(r.data, 0), formatTextOf(r.data.sliced(2)).value_or(QString()));
            else if (r.type == ExtendedFormat && r.data.size() >= 4)
                xfFormats_.append(u16(r.data, 2));
            else if (r.type == BoundSheet && r.data.size() >= 8 && !found) {
                const std::optional<QString> name = sheetNameOf(r.data.sliced(6));
                if (name && name->compare(sheetName.trimmed(), Qt::CaseInsensitive) == 0)
                    found = qFromLittleEndian<quint32>(r.data.data());
            }
        }
        if (r.type != EndOfFile)
            return {};
        return found;
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
        if (codePage_ == 367)
            return QString::fromLatin1(bytes);
        QStringDecoder decoder(codePage_ == 32768 ? "macintosh" : qPrintable(QStringLiteral("windows-%1").arg(codePage_)));
        if (!decoder.isValid())
            return {};
        QString text = decoder.decode(bytes);
        return decoder.hasError() ? std::nullopt : std::optional(text);
    }

    bool readSheet(qint64 offset, SavedValues &values)
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
            else if (r.type == Formula && depth == 1)
                readFormula(r.data, values);
        }
        return depth == 0 && !records_.damaged();
    }

    // A FORMULA record: row, column, format, then the 8-byte result. Its
    // last two bytes 0xFFFF mark a result other than a number, its first
    // byte telling which.
    void readFormula(QByteArrayView data, SavedValues &values)
    {
        if (data.size() < 4)
            return;
        SavedValue &value = values[{u16(data, 0), u16(data, 2)}];
        value = {};
        if (data.size() < 14)
            return;
        const QByteArrayView result = data.sliced(6, 8);
        if (u16(result, 6) != 0xFFFF) {
            value.kind = SavedValue::Kind::Number;
            value.number = qFromLittleEndian<double>(result.data());
            // A number the cell shows as a date reads as the cell reader gives date cells.
            const DateShape shape = dateShapeOfCell(u16(data, 4));
            const QString date = shape == DateShape::None ? QString() : dateText(value.number, shape, base1904_);
            if (!date.isEmpty()) {
                value.kind = SavedValue::Kind::Text;
                value.text = date;
            }
            return;
        }
        switch (quint8(result[0])) {
        case 0: readString(value); break;
        case 1:
            value.kind = SavedValue::Kind::Boolean;
            value.number = result[2] ? 1 : 0;
            break;
        case 2:
            value.kind = SavedValue::Kind::Error;
            value.text = errorText(quint8(result[2]));
            break;
        case 3: value.kind = SavedValue::Kind::Text; break;
        default: break;
        }
    }

    // The text result: the STRING record after the formula (after the shared
    // or array formula's own record, if any), continued in CONTINUE records
    // when long. Left Unreadable when missing or cut short.
    void readString(SavedValue &value)
    {
        Record r;
        for (quint16 type : {SharedFormula, Array, Table})
            records_.nextOfType(type, r);
        if (!records_.nextOfType(String, r) || r.data.size() < 2)
            return;
        const int count = u16(r.data, 0);
        if (!biff8_) {
            if (r.data.size() < 2 + count)
                return;
            if (std::optional<QString> text = codePageText(r.data.sliced(2, count))) {
                value.kind = SavedValue::Kind::Text;
                value.text = *text;
            }
            return;
        }
        QVector<QByteArrayView> pieces{r.data.sliced(2)};
        while (records_.nextOfType(Continue, r))
            pieces << r.data;
        if (std::optional<QString> text = continuedText(count, pieces)) {
            value.kind = SavedValue::Kind::Text;
            value.text = *text;
        }
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

    Records records_;
    bool biff8_ = true;
    int codePage_ = 1252;
    bool base1904_ = false;
    QHash<int, QString> formats_;  // the workbook's own format texts by index
    QVector<int> xfFormats_;       // the format index of each cell format (XF)
};

// Releases a compound-file object however reading ends.
template <typename T>
struct Unref {
    T *object = nullptr;
    ~Unref()
    {
        if (object)
            g_object_unref(object);
    }
};

// The workbook stream of the compound file at path ("Workbook"; "Book" in
// files of Excel 5 and 95).
std::optional<QByteArray> workbookStream(const QString &path)
{
    Unref<GsfInput> file{gsf_input_stdio_new(QFile::encodeName(path).constData(), nullptr)};
    if (!file.object)
        return {};
    Unref<GsfInfile> compound{gsf_infile_msole_new(file.object, nullptr)};
    if (!compound.object)
        return {};
    Unref<GsfInput> stream{gsf_infile_child_by_name(compound.object, "Workbook")};
    if (!stream.object)
        stream.object = gsf_infile_child_by_name(compound.object, "Book");
    if (!stream.object)
        return {};
    const gsf_off_t size = gsf_input_size(stream.object);
    if (size < 0 || size > std::numeric_limits<int>::max())
        return {};
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.object, size_t(size), reinterpret_cast<guint8 *>(bytes.data())))
        return {};
    return bytes;
}

} // namespace

bool readSavedValues(const QByteArray &workbookStream, const QString &sheetName, SavedValues &values)
{
    values.clear();
    Workbook book(workbookStream);
    if (book.read(sheetName, values))
        return true;
    values.clear();
    return false;
}

bool readFormulaValues(const QString &path, const QString &sheetName, SavedValues &values)
{
    values.clear();
    const std::optional<QByteArray> stream = workbookStream(path);
    return stream && readSavedValues(*stream, sheetName, values);
}

} // namespace admin
