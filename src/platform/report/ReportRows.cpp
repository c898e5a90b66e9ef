#include "ReportRows.h"

#include "db/Database.h"
#include "platform/NumberText.h"

#include <cstring>

namespace report {

namespace {

template <typename T>
void appendRaw(std::string &data, T value)
{
    data.append(reinterpret_cast<const char *>(&value), sizeof value);
}

template <typename T>
T readRaw(QByteArrayView bytes)
{
    T value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

} // namespace

double numberOf(const QVariant &v)
{
    if (v.isNull())
        return 0;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int:
        return v.toDouble();
    default:
        return numtext::leadingNumber(v.toString());
    }
}

QString formattedNumber(double value, const QString &format)
{
    if (format.compare(QLatin1String("quantity"), Qt::CaseInsensitive) == 0)
        return numtext::quantityText(value);
    return numtext::formatNumber(value, format);
}

QString cellText(const QVariant &v, const QString &format)
{
    if (v.isNull())
        return {};
    if (!format.isEmpty()) {
        if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return {};
        return formattedNumber(numberOf(v), format);
    }
    if (v.typeId() == QMetaType::Double)
        return numtext::numToText(v.toDouble());
    return v.toString();
}

ReportRows::Store &ReportRows::writable()
{
    if (!store_) {
        store_ = std::make_shared<Store>();
    } else if (store_.use_count() > 1) {
        auto copy = std::make_shared<Store>();
        for (const auto &block : *store_)
            copy->push_back(std::make_unique<Block>(*block));
        store_ = std::move(copy);
    }
    return *store_;
}

void ReportRows::append(const db::Statement &st)
{
    Store &store = writable();
    const int n = columnCount();
    if (rowCount_ % kBlockRows == 0) {
        auto block = std::make_unique<Block>();
        block->storage.reserve(size_t(kBlockRows) * n);
        block->ends.reserve(size_t(kBlockRows) * n);
        block->data.reserve(size_t(kBlockRows) * n * 8);
        store.push_back(std::move(block));
    }
    Block &block = *store.back();
    for (int c = 0; c < n; ++c) {
        switch (st.type(c)) {
        case db::Statement::Type::Null:
            block.storage.push_back(Null);
            break;
        case db::Statement::Type::Integer:
            block.storage.push_back(Integer);
            appendRaw(block.data, st.value(c).toLongLong());
            break;
        case db::Statement::Type::Real:
            block.storage.push_back(Real);
            appendRaw(block.data, st.number(c));
            break;
        case db::Statement::Type::Text: {
            block.storage.push_back(Text);
            const QByteArrayView text = st.utf8(c);
            block.data.append(text.data(), size_t(text.size()));
            break;
        }
        case db::Statement::Type::Blob: {
            block.storage.push_back(Blob);
            const QByteArray blob = st.value(c).toByteArray();
            block.data.append(blob.constData(), size_t(blob.size()));
            break;
        }
        }
        block.ends.push_back(quint32(block.data.size()));
    }
    ++rowCount_;
}

QByteArrayView ReportRows::bytes(int row, int column, Storage *storage) const
{
    const Block &block = *(*store_)[size_t(row / kBlockRows)];
    const size_t cell = size_t(row % kBlockRows) * size_t(columnCount()) + size_t(column);
    *storage = Storage(block.storage[cell]);
    const quint32 start = cell == 0 ? 0 : block.ends[cell - 1];
    return QByteArrayView(block.data.data() + start, qsizetype(block.ends[cell] - start));
}

QVariant ReportRows::value(int row, int column) const
{
    Storage storage;
    const QByteArrayView b = bytes(row, column, &storage);
    switch (storage) {
    case Integer:
        return QVariant(qlonglong(readRaw<qint64>(b)));
    case Real:
        return QVariant(readRaw<double>(b));
    case Text:
        return QVariant(QString::fromUtf8(b));
    case Blob:
        return QVariant(b.toByteArray());
    default:
        return {};
    }
}

double ReportRows::number(int row, int column) const
{
    Storage storage;
    const QByteArrayView b = bytes(row, column, &storage);
    switch (storage) {
    case Integer:
        return double(readRaw<qint64>(b));
    case Real:
        return readRaw<double>(b);
    case Null:
        return 0;
    default:
        return numberOf(value(row, column));
    }
}

QString ReportRows::text(int row, int column) const
{
    return cellText(value(row, column), formats_[column]);
}

bool ReportRows::storedText(int row, int column, QByteArrayView *utf8) const
{
    if (!formats_[column].isEmpty())
        return false;
    Storage storage;
    *utf8 = bytes(row, column, &storage);
    return storage == Text;
}

QStringList ReportRows::operator[](int row) const
{
    QStringList texts;
    texts.reserve(columnCount());
    for (int c = 0; c < columnCount(); ++c)
        texts.append(text(row, c));
    return texts;
}

bool operator==(const ReportRows &rows, const QVector<QStringList> &texts)
{
    if (rows.size() != texts.size())
        return false;
    for (int r = 0; r < rows.size(); ++r)
        if (rows[r] != texts[r])
            return false;
    return true;
}

} // namespace report
