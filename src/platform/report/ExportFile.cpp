#include "ExportFile.h"

#include "db/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace report {

bool exportWhole(const QString &path, QString *error, const std::function<bool(const QString &scratch)> &make)
{
    const auto failed = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QTemporaryDir scratchFolder;
    const QString scratch = scratchFolder.filePath(QFileInfo(path).fileName());
    QFile made(scratch);
    if (!scratchFolder.isValid() || !make(scratch) || !made.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("无法写入文件 %1。").arg(QDir::toNativeSeparators(path)));
    // What exports cut off earlier left in the folder goes now.
    for (const QString &left : db::leftoversIn(QFileInfo(path).absolutePath()))
        QFile::remove(left);
    const QString reason = db::writeWhole(path, made.readAll());
    return reason.isEmpty() || failed(reason);
}

} // namespace report
