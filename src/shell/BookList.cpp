// The account-book list dbsetup.dat beside the program: line 1 "Yes"/"No"
// (show the chooser or open the first book), then pairs of name and path lines.
#include "Module1.h"

#include "db/BookFile.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {
const QString kAppPathMark = QStringLiteral("%AppPath%");

QStringList fileLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();  // the line break ending the last line starts no line
    return lines;
}
} // namespace

bool Module1::LoadBookList()
{
    bookList = {};
    const QString listFile = gAppPath + QStringLiteral("dbsetup.dat");
    bool askChooser = true;
    bool failed = false;
    if (QFileInfo::exists(listFile)) {
        bool readable = false;
        QString failure;
        const QStringList lines = fileLines(textfile::read(listFile, &readable, &failure));
        if (!readable) {
            // The chooser offers the current book; the clerk learns why the list is not in it.
            Prompt::current().message(QStringLiteral("提示"), QStringLiteral("无法读取帐本列表：\n") + failure,
                                      Prompt::Icon::Exclamation);
            failed = true;
        } else {
            askChooser = lines.isEmpty() || lines.first().trimmed() != QLatin1String("No");
            for (int i = 1; i < lines.size(); i += 2) {
                QString path = i + 1 < lines.size() ? lines[i + 1] : lines[i];
                if (path.startsWith(kAppPathMark))
                    path = gAppPath + path.mid(kAppPathMark.size());
                bookList.names.append(lines[i]);
                bookList.paths.append(path);
            }
            if (!askChooser) {
                if (bookList.paths.isEmpty()) {
                    failed = true;
                } else {
                    gBookFile = bookList.paths.first();
                    gBookName = bookList.names.first();
                }
            }
        }
    }
    // An empty list file lists no book: the chooser offers the current one.
    if (!QFileInfo::exists(listFile) || failed || bookList.paths.isEmpty()) {
        askChooser = true;
        bookList.names.append(gBookName);
        bookList.paths.append(gBookFile);
    }
    bookList.selected = 0;
    return askChooser;
}

QString Module1::OpenBookFile(const QString &path)
{
    if (!gDb.open(path))
        return gDb.lastError();
    const QString error = db::accountBookError(gDb);
    if (!error.isEmpty())
        gDb.close();
    else if (gDb.isReadOnly())
        TellReadOnlyBook(path);
    return error;
}

void Module1::TellReadOnlyBook(const QString &path)
{
    Prompt::current().message(QStringLiteral("提示"),
                              QStringLiteral("帐本文件 %1 是只读的：可以查看数据，但不能保存任何修改。\n\n"
                                             "请检查帐本文件和它所在文件夹的权限。")
                                  .arg(QDir::toNativeSeparators(path)),
                              Prompt::Icon::Exclamation);
}

bool Module1::IsOnNetworkFileSystem(const QString &path)
{
    if (path.startsWith(QLatin1String("//")) || path.startsWith(QLatin1String("\\\\")))
        return true;
    const QByteArray type = QStorageInfo(path).fileSystemType().toLower();
    static const QByteArrayList network = {"nfs", "nfs4", "cifs", "smb", "smb2", "smb3", "smbfs",
                                           "fuse.sshfs", "sshfs", "afs", "ncpfs", "davfs", "fuse.davfs2", "9p"};
    return network.contains(type);
}
