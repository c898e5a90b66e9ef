// The compound-file library's headers first: they use words that Qt's headers
// turn into macros.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>

#include "WorkbookFile.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace admin {

namespace {

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

const QByteArray kCompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// The index of the compound file's child of that name, letter case ignored
// (some writers spell the names in capitals); -1 when there is none.
int childIndex(GsfInfile *compound, const char *wanted)
{
    for (int i = 0; i < gsf_infile_num_children(compound); ++i) {
        const char *name = gsf_infile_name_by_index(compound, i);
        if (name && QString::fromUtf8(name).compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// The workbook stream's child of the compound file: "Workbook" before "Book".
GsfInput *workbookChild(GsfInfile *compound)
{
    for (const char *wanted : {"Workbook", "Book"}) {
        if (const int index = childIndex(compound, wanted); index >= 0)
            return gsf_infile_child_by_index(compound, index);
    }
    return nullptr;
}

// A password-protected .xlsx (.xlsm, .xlsb) is no zip package but a compound
// file holding the encrypted package and how it was encrypted.
bool holdsEncryptedPackage(GsfInfile *compound)
{
    return childIndex(compound, "EncryptionInfo") >= 0 && childIndex(compound, "EncryptedPackage") >= 0;
}

// The compound file is read through the handle that was checked, never
// opened again by its path: whatever was put at the path meanwhile (a FIFO
// that would hold the read for good) is not what is read.
WorkbookFile readCompound(QFile &checked, QByteArray &stream)
{
    const int fd = ::fcntl(checked.handle(), F_DUPFD_CLOEXEC, 0);
    FILE *handle = fd < 0 ? nullptr : ::fdopen(fd, "rb");
    if (!handle) {
        if (fd >= 0)
            ::close(fd);
        return WorkbookFile::Unopenable;
    }
    std::rewind(handle);  // the copy of the handle shares its place in the file
    // The compound-file reader closes the handle when it is done with it.
    Unref<GsfInput> file{gsf_input_stdio_new_FILE(QFile::encodeName(checked.fileName()).constData(), handle, FALSE)};
    if (!file.object) {
        std::fclose(handle);
        return WorkbookFile::Unopenable;
    }
    Unref<GsfInfile> compound{gsf_infile_msole_new(file.object, nullptr)};
    if (!compound.object)
        return WorkbookFile::Damaged;
    Unref<GsfInput> child{workbookChild(compound.object)};
    if (!child.object)
        return holdsEncryptedPackage(compound.object) ? WorkbookFile::Encrypted : WorkbookFile::NotWorkbook;
    const gsf_off_t size = gsf_input_size(child.object);
    if (size < 0 || size > checked.size())
        return WorkbookFile::Damaged;
    stream = QByteArray(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(child.object, size_t(size), reinterpret_cast<guint8 *>(stream.data()))) {
        stream.clear();
        return WorkbookFile::Damaged;
    }
    return WorkbookFile::Opened;
}

// A file that opens with a BOF record holds a workbook's records bare: Excel
// 2.x to 4.0 wrote them so, and some programs write BIFF5/BIFF8 so.
std::optional<WorkbookFile> bareRecords(const QByteArray &head)
{
    if (head.size() < 4)
        return {};
    const quint16 type = qFromLittleEndian<quint16>(head.constData());
    const quint16 length = qFromLittleEndian<quint16>(head.constData() + 2);
    if (length < 4 || length > 20)
        return {};
    if (type == 0x0009 || type == 0x0209 || type == 0x0409)
        return WorkbookFile::OldFormat;
    if (type == 0x0809)
        return WorkbookFile::Opened;
    return {};
}

} // namespace

WorkbookFile readWorkbookStream(const QString &path, QByteArray &stream)
{
    stream.clear();
    QFile file;
    switch (openRegularFile(path, file)) {
    case RegularFileOpen::Opened: break;
    case RegularFileOpen::Missing: return WorkbookFile::Missing;
    case RegularFileOpen::NotAFile: return QFileInfo(path).isDir() ? WorkbookFile::Folder : WorkbookFile::NotWorkbook;
    case RegularFileOpen::Unreadable: return WorkbookFile::Unopenable;
    }
    return readWorkbookStream(file, stream);
}

WorkbookFile readWorkbookStream(QFile &file, QByteArray &stream)
{
    stream.clear();
    if (!file.seek(0))
        return WorkbookFile::Unopenable;
    const QByteArray head = file.read(kCompoundSignature.size());
    if (head == kCompoundSignature)
        return readCompound(file, stream);
    const std::optional<WorkbookFile> bare = bareRecords(head);
    if (!bare)
        return WorkbookFile::NotWorkbook;
    if (*bare == WorkbookFile::Opened && file.seek(0))
        stream = file.readAll();
    return *bare;
}

} // namespace admin
