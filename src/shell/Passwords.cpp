#include "Passwords.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace passwords {

namespace {
const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kIterations = 60000;
constexpr int kKeyLength = 32;

QByteArray derive(const QString &plain, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, plain.toUtf8(), salt, iterations,
                                              kKeyLength);
}

// Compares without stopping at the first difference.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}
} // namespace

QString storedForm(const QString &plain)
{
    if (plain.isEmpty())
        return {};
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), salt.size() / 4);
    return kScheme + QLatin1Char('$') + QString::number(kIterations) + QLatin1Char('$') +
           QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') +
           QString::fromLatin1(derive(plain, salt, kIterations).toBase64());
}

bool isHashed(const QString &stored)
{
    return stored.startsWith(kScheme + QLatin1Char('$'));
}

bool matches(const QString &stored, const QString &typed)
{
    if (stored.isEmpty())
        return typed.isEmpty();
    if (!isHashed(stored))
        return stored == typed;
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4)
        return false;
    // No count above the one this program stores is worked: a book may carry
    // any text here, and a count of 2^31-1 would keep the login busy for an hour.
    bool isNumber = false;
    const int iterations = parts[1].toInt(&isNumber);
    if (!isNumber || iterations < 1 || iterations > kIterations)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    return !typed.isEmpty() && sameBytes(derive(typed, salt, iterations), expected);
}

} // namespace passwords
