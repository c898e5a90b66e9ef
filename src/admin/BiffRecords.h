#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <optional>

// The records of a workbook stream of an Excel 97-2003 (BIFF8) or Excel 5/95
// (BIFF5) workbook, and the texts inside them. Every read is checked against
// the bytes there are: a record or text running past its end is refused.
namespace admin::biff {

struct Record {
    quint16 type = 0;
    QByteArrayView data;
};

// Walks the records of a workbook stream: a two-byte type, a two-byte length
// and that many bytes of data.
class Records {
public:
    explicit Records(const QByteArray &stream) : stream_(stream) {}

    bool seek(qint64 offset);
    // The next record; false at the end of the stream or when the record runs
    // past it (then damaged() is true).
    bool next(Record &record);
    // The next record when it has the given type; otherwise nothing is read.
    bool nextOfType(quint16 type, Record &record);
    // The data of every CONTINUE record that follows, in order.
    QVector<QByteArrayView> continues();
    bool damaged() const { return damaged_; }

private:
    const QByteArray &stream_;
    qint64 pos_ = 0;
    bool damaged_ = false;
};

quint16 u16(QByteArrayView data, qsizetype at);
quint32 u32(QByteArrayView data, qsizetype at);

// The characters of a BIFF8 string: 8-bit (the low bytes of UTF-16) or
// UTF-16LE, as its flag byte says.
QString unicodeChars(QByteArrayView bytes, bool wide);

// The text of an error value by its code ("#DIV/0!" for 0x07).
QString errorText(int code);

// The bytes of a record and of the CONTINUE records after it, read in order
// as one run; each read fails rather than pass the last byte.
class ContinuedBytes {
public:
    explicit ContinuedBytes(QVector<QByteArrayView> pieces) : pieces_(std::move(pieces)) {}

    bool atEnd();
    bool skip(qint64 count);
    std::optional<quint8> byte();
    std::optional<quint16> word();
    std::optional<quint32> dword();
    // A BIFF8 string: a two-byte count of characters, a flag byte, the counts
    // of its formatting runs and phonetic data when the flags tell of them,
    // the characters, then the runs and the phonetic data (passed over). The
    // characters may go on in the next piece, which opens with a flag byte of
    // its own.
    std::optional<QString> unicodeString();

private:
    std::optional<QString> chars(int count, bool wide);
    // The bytes left in the current piece, moving to the next piece when it is spent.
    qsizetype available();

    QVector<QByteArrayView> pieces_;
    qsizetype piece_ = 0;
    qsizetype pos_ = 0;
};

} // namespace admin::biff
