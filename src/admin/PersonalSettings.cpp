#include "PersonalSettings.h"

#include "db/Database.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"
#include "platform/RegularFile.h"
#include "shell/Passwords.h"
#include "shell/Pictures.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace personal {

namespace {
QString typographic(QString text)
{
    return text.replace(QLatin1Char('\''), QChar(0x2019));
}

// Why the chosen picture file could not be read, the system's text as detail.
QString unreadablePicture(const QString &path, RegularFileOpen why, const QString &detail)
{
    const QString name = QDir::toNativeSeparators(path);
    QString reason;
    if (why == RegularFileOpen::Missing)
        reason = QStringLiteral("图片文件 %1 不存在，请重新选择图片。").arg(name);
    else if (why == RegularFileOpen::NotAFile)
        reason = QStringLiteral("%1 不是图片文件，请重新选择图片。").arg(name);
    else
        reason = QStringLiteral("无法读取图片文件 %1，请检查它的权限或者重新选择图片。").arg(name);
    return db::withDetail(reason, detail);
}

// Why the operator's picture could not be removed, the system's text as detail.
QString unremovablePicture(int errorNumber, const QString &path)
{
    const QString name = QDir::toNativeSeparators(path);
    const QString detail = QString::fromLocal8Bit(std::strerror(errorNumber));
    if (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS)
        return db::withDetail(
            QStringLiteral("图片文件 %1 不能删除（只读），请检查它所在文件夹的权限。").arg(name), detail);
    return db::withDetail(QStringLiteral("无法删除图片文件 %1。").arg(name), detail);
}
} // namespace

QString readNote(db::Database &db, const QString &code)
{
    return db.scalar(QStringLiteral("select pad from TE1 where F1=?"), {code}).toString();
}

QString storedNote(const QString &text)
{
    return typographic(text);
}

bool saveNote(db::Database &db, const QString &code, const QString &storedText)
{
    return db.exec(QStringLiteral("update TE1 set pad=? where F1=?"), {storedText, code});
}

QString storedCaption(const QString &text)
{
    return QLatin1Char(' ') + typographic(text).trimmed();
}

bool saveCaption(db::Database &db, const QString &code, const QString &storedText)
{
    return db.exec(QStringLiteral("update TE1 set F75=? where F1=?"), {storedText, code});
}

PasswordChange changePassword(db::Database &db, const QString &code, const QString &oldPassword,
                              const QString &newPassword, const QString &confirmation)
{
    if (newPassword != confirmation)
        return {PasswordOutcome::Mismatch, {}};
    db::Transaction tx(db);
    if (!tx.isActive())
        return {PasswordOutcome::Failed, db.lastError()};
    db::Statement st = db.prepare(QStringLiteral("select F3 from TE1 where F1=?"));
    if (!st.isValid() || !st.bindAll({code}))
        return {PasswordOutcome::Failed, db.lastError()};
    if (!st.next()) {
        if (st.hasError())
            return {PasswordOutcome::Failed, st.error()};
        return {PasswordOutcome::WrongOld, {}};  // no such operator
    }
    const QString stored = st.text(0);
    st = db::Statement();
    if (!passwords::matches(stored, oldPassword))
        return {PasswordOutcome::WrongOld, {}};
    if (!db.exec(QStringLiteral("update TE1 set F3=? where F1=?"), {passwords::storedForm(newPassword), code}) ||
        !tx.commit())
        return {PasswordOutcome::Failed, db.lastError()};
    return {PasswordOutcome::Changed, {}};
}

QString ownPicturePath(const QString &appPath, const QString &code)
{
    return operatorPicturePath(appPath, code);
}

QString defaultPicturePath(const QString &appPath)
{
    return appPath + QStringLiteral("syspic.dat");
}

std::optional<QString> setOwnPicture(const QString &appPath, const QString &code, const QString &source)
{
    QFile in;
    QString detail;
    const RegularFileOpen opened = openRegularFile(source, in, &detail);
    if (opened != RegularFileOpen::Opened)
        return unreadablePicture(source, opened, detail);
    if (const QString tooLarge = pictureSizeRefusal(in, source); !tooLarge.isEmpty())
        return tooLarge;
    const QByteArray content = in.readAll();
    if (in.error() != QFile::NoError)
        return unreadablePicture(source, RegularFileOpen::Unreadable, in.errorString());
    const QString target = ownPicturePath(appPath, code);
    if (target.isEmpty())
        return QStringLiteral("操作员帐号“%1”不能用作图片的文件名，无法保存个人图片。\n\n"
                              "请在系统操作员管理中给这个操作员换一个帐号。")
            .arg(code);
    QDir().mkpath(appPath + QStringLiteral("image"));
    if (const QString failure = db::writeWhole(target, content); !failure.isEmpty())
        return failure;
    return std::nullopt;
}

std::optional<QString> removeOwnPicture(const QString &appPath, const QString &code)
{
    const QString path = ownPicturePath(appPath, code);
    if (path.isEmpty())
        return std::nullopt;  // such a code has no picture of its own
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return std::nullopt;
    return unremovablePicture(errno, path);
}

} // namespace personal
