#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "DamagedStart.h"

#include "Database.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QTemporaryDir>
#include <algorithm>
#include <iterator>

namespace db {

namespace {
// Every encrypted file begins with the random salt its key was derived with.
constexpr int kSaltBytes = 16;
// The first byte of every B-tree page: interior and leaf, index and table.
constexpr char kBTreePageKinds[] = {2, 5, 10, 13};

struct KeySettings {
    int pageSize = 0;
    int iterations = 0;
};

// The page size and key derivation rounds the engine makes every book with.
KeySettings engineKeySettings()
{
    KeySettings settings;
    Database engine;
    if (engine.open(QStringLiteral(":memory:"), QString::fromLatin1(kBookPassword), true)) {
        settings.pageSize = engine.scalar(QStringLiteral("PRAGMA cipher_page_size")).toInt();
        settings.iterations = engine.scalar(QStringLiteral("PRAGMA kdf_iter")).toInt();
    }
    return settings;
}

// The engine's key derivation from a password: PBKDF2 with HMAC-SHA1.
QByteArray derivedKey(const QByteArray &password, const QByteArray &salt, int iterations, int length)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha1, password);
    QByteArray key;
    for (quint32 block = 1; key.size() < length; ++block) {
        const char counter[4] = {char(block >> 24), char(block >> 16), char(block >> 8), char(block)};
        mac.reset();
        mac.addData(salt);
        mac.addData(counter, 4);
        QByteArray round = mac.result();
        QByteArray sum = round;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(round);
            round = mac.result();
            for (qsizetype j = 0; j < sum.size(); ++j)
                sum[j] = char(sum[j] ^ round[j]);
        }
        key += sum;
    }
    return key.left(length);
}

bool writeAt(const QString &path, qint64 offset, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(offset) && file.write(bytes) == bytes.size();
}

// Copies the encrypted file at from, keyed with keySpec, page by page into
// the plain file at to; every page that does not read back with the key
// arrives there zeroed.
bool copyDecrypted(const QString &from, const QByteArray &keySpec, const QString &to)
{
    sqlite3 *source = nullptr, *plain = nullptr;
    bool copied = sqlite3_open_v2(QFile::encodeName(from).constData(), &source, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
                  && sqlite3_key(source, keySpec.constData(), int(keySpec.size())) == SQLITE_OK
                  && sqlite3_open_v2(QFile::encodeName(to).constData(), &plain,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
    if (copied) {
        sqlite3_backup *copy = sqlite3_backup_init(plain, "main", source, "main");
        copied = copy && sqlite3_backup_step(copy, -1) == SQLITE_DONE;
        copied = sqlite3_backup_finish(copy) == SQLITE_OK && copied;
    }
    sqlite3_close(plain);
    sqlite3_close(source);
    return copied;
}
} // namespace

bool isTooShortForABook(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && file.size() < engineKeySettings().pageSize;
}

bool secondPageReadsWithBookKey(const QString &path)
{
    const KeySettings settings = engineKeySettings();
    QFile file(path);
    if (settings.pageSize <= 0 || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(2 * settings.pageSize);
    if (start.size() < 2 * settings.pageSize)
        return false;
    // A database of two pages keyed as the file is (the same salt, the key
    // derived from it) whose first page is sound and whose second is the
    // file's own, read page by page: the second reads back only when the
    // file's pages are written with the book key.
    const QByteArray salt = start.left(kSaltBytes);
    const QByteArray key = derivedKey(QByteArray(kBookPassword), salt, settings.iterations, 32);
    const QByteArray keySpec = "x'" + key.toHex() + salt.toHex() + "'";
    QTemporaryDir folder;
    const QString probe = folder.filePath(QStringLiteral("probe")), plain = folder.filePath(QStringLiteral("plain"));
    {
        Database made;
        if (!folder.isValid() || !made.open(probe, QString::fromLatin1(keySpec), true)
            || !made.exec(QStringLiteral("create table second_page (x)")))
            return false;
    }
    if (!writeAt(probe, settings.pageSize, start.mid(settings.pageSize)) || !copyDecrypted(probe, keySpec, plain))
        return false;
    QFile decrypted(plain);
    if (!decrypted.open(QIODevice::ReadOnly) || !decrypted.seek(settings.pageSize))
        return false;
    char kind = 0;
    return decrypted.getChar(&kind) && std::find(std::begin(kBTreePageKinds), std::end(kBTreePageKinds), kind)
                                           != std::end(kBTreePageKinds);
}

} // namespace db
