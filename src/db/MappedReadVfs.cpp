#include "MappedReadVfs.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

constexpr const char *kName = "warehouse-mapped-read";
constexpr const char *kBlockName = "warehouse-block-read";

sqlite3_vfs gVfs;
sqlite3_vfs gBlockVfs;
sqlite3_vfs *gDefault = nullptr;

// The last blocks of a file read whole, so that the many page reads that fall
// into one block cost one system call; the least recently used is read over.
class BlockCache {
public:
    static constexpr sqlite3_int64 kBlockSize = 256 * 1024;
    static constexpr int kBlocks = 16;

    explicit BlockCache(sqlite3_int64 fileSize) : fileSize_(fileSize), memory_(new char[kBlockSize * kBlocks])
    {
        std::fill(std::begin(start_), std::end(start_), -1);
    }

    // The read of amount bytes at offset from real through the blocks; reads
    // across a block's end or past the file's end go to real as they are.
    int read(sqlite3_file *real, void *buffer, int amount, sqlite3_int64 offset)
    {
        const sqlite3_int64 start = offset / kBlockSize * kBlockSize;
        if (offset < 0 || offset + amount > start + kBlockSize || offset + amount > fileSize_)
            return real->pMethods->xRead(real, buffer, amount, offset);
        int slot = 0;
        for (int i = 0; i < kBlocks; ++i) {
            if (start_[i] == start) {
                slot = i;
                break;
            }
            if (lastUse_[i] < lastUse_[slot])
                slot = i;
        }
        char *block = memory_.get() + slot * kBlockSize;
        if (start_[slot] != start) {
            start_[slot] = -1;
            const int rc = real->pMethods->xRead(real, block, int(qMin(kBlockSize, fileSize_ - start)), start);
            if (rc != SQLITE_OK)
                return rc;
            start_[slot] = start;
        }
        lastUse_[slot] = ++clock_;
        std::memcpy(buffer, block + (offset - start), size_t(amount));
        return SQLITE_OK;
    }

private:
    sqlite3_int64 fileSize_;
    std::unique_ptr<char[]> memory_;
    sqlite3_int64 start_[kBlocks];
    quint64 lastUse_[kBlocks] = {};
    quint64 clock_ = 0;
};
#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22
#endif

// The mapping is filled a window at a time, when the engine first reads in
// it: a file longer than its pages (a tail after its last page) costs no read
// of the tail, while each window still comes in with one call.
constexpr sqlite3_int64 kWindow = sqlite3_int64(1) << 20;

// The default layer's file follows this header in the same allocation.
struct MappedFile {
    sqlite3_file base;
    sqlite3_file *real;
    const char *map;
    sqlite3_int64 mapSize;
    BlockCache *blocks;
    unsigned char *filled;  // one mark per window of the mapping
};

// Brings the windows that the read of amount bytes at offset touches into
// the mapping, each once.
void fillWindows(MappedFile *self, sqlite3_int64 offset, int amount)
{
    for (sqlite3_int64 window = offset / kWindow; window <= (offset + amount - 1) / kWindow; ++window) {
        if (self->filled[window])
            continue;
        self->filled[window] = 1;
        char *start = const_cast<char *>(self->map) + window * kWindow;
        const size_t length = size_t(std::min(kWindow, self->mapSize - window * kWindow));
        // Older systems lack the populating advice: a hint to read ahead then.
        if (::madvise(start, length, MADV_POPULATE_READ) != 0)
            ::madvise(start, length, MADV_WILLNEED);
    }
}

sqlite3_file *real(sqlite3_file *file)
{
    return reinterpret_cast<MappedFile *>(file)->real;
}

int mappedClose(sqlite3_file *file)
{
    auto *self = reinterpret_cast<MappedFile *>(file);
    if (self->map)
        ::munmap(const_cast<char *>(self->map), size_t(self->mapSize));
    self->map = nullptr;
    delete self->blocks;
    self->blocks = nullptr;
    sqlite3_free(self->filled);
    self->filled = nullptr;
    return self->real->pMethods->xClose(self->real);
}

int mappedRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    auto *self = reinterpret_cast<MappedFile *>(file);
    if (self->map && offset >= 0 && amount > 0 && offset + amount <= self->mapSize) {
        fillWindows(self, offset, amount);
        std::memcpy(buffer, self->map + offset, size_t(amount));
        return SQLITE_OK;
    }
    // Reads past the end keep the default layer's short-read answer.
    return self->real->pMethods->xRead(self->real, buffer, amount, offset);
}

int blockRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    const auto *self = reinterpret_cast<MappedFile *>(file);
    return self->blocks ? self->blocks->read(self->real, buffer, amount, offset)
                        : self->real->pMethods->xRead(self->real, buffer, amount, offset);
}

int mappedWrite(sqlite3_file *file, const void *data, int amount, sqlite3_int64 offset)
{
    return real(file)->pMethods->xWrite(real(file), data, amount, offset);
}
int mappedTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    return real(file)->pMethods->xTruncate(real(file), size);
}
int mappedSync(sqlite3_file *file, int flags)
{
    return real(file)->pMethods->xSync(real(file), flags);
}
int mappedFileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    return real(file)->pMethods->xFileSize(real(file), size);
}
int mappedLock(sqlite3_file *file, int level)
{
    return real(file)->pMethods->xLock(real(file), level);
}
int mappedUnlock(sqlite3_file *file, int level)
{
    return real(file)->pMethods->xUnlock(real(file), level);
}
int mappedCheckReservedLock(sqlite3_file *file, int *result)
{
    return real(file)->pMethods->xCheckReservedLock(real(file), result);
}
int mappedFileControl(sqlite3_file *file, int op, void *arg)
{
    return real(file)->pMethods->xFileControl(real(file), op, arg);
}
int mappedSectorSize(sqlite3_file *file)
{
    return real(file)->pMethods->xSectorSize(real(file));
}
int mappedDeviceCharacteristics(sqlite3_file *file)
{
    return real(file)->pMethods->xDeviceCharacteristics(real(file));
}

// Version 1: no shared memory, so a database in WAL mode is refused by the
// engine rather than read wrongly; account books use a rollback journal.
const sqlite3_io_methods kMethods = {
    1,
    mappedClose,
    mappedRead,
    mappedWrite,
    mappedTruncate,
    mappedSync,
    mappedFileSize,
    mappedLock,
    mappedUnlock,
    mappedCheckReservedLock,
    mappedFileControl,
    mappedSectorSize,
    mappedDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// The same with the reads through the last blocks read.
const sqlite3_io_methods kBlockMethods = [] {
    sqlite3_io_methods methods = kMethods;
    methods.xRead = blockRead;
    return methods;
}();

// Maps the whole file read-only, unfilled: only what the engine reads is
// ever read from the disk. On any failure the reads simply go to the default
// layer.
void mapFile(MappedFile *self, const char *path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) {
        const sqlite3_int64 windows = (info.st_size + kWindow - 1) / kWindow;
        self->filled = static_cast<unsigned char *>(sqlite3_malloc64(sqlite3_uint64(windows)));
        void *map = self->filled ? ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_SHARED, fd, 0) : MAP_FAILED;
        if (map != MAP_FAILED) {
            std::memset(self->filled, 0, size_t(windows));
            self->map = static_cast<const char *>(map);
            self->mapSize = info.st_size;
        } else {
            sqlite3_free(self->filled);
            self->filled = nullptr;
        }
    }
    ::close(fd);
}

// Opens name through the default layer into file, with methods once open.
int openReal(const char *name, sqlite3_file *file, int flags, int *outFlags, const sqlite3_io_methods *methods)
{
    auto *self = reinterpret_cast<MappedFile *>(file);
    self->real = reinterpret_cast<sqlite3_file *>(self + 1);
    self->map = nullptr;
    self->mapSize = 0;
    self->blocks = nullptr;
    self->filled = nullptr;
    const int rc = gDefault->xOpen(gDefault, name, self->real, flags, outFlags);
    if (rc != SQLITE_OK || !self->real->pMethods) {
        if (self->real->pMethods)
            self->real->pMethods->xClose(self->real);
        self->base.pMethods = nullptr;
        return rc == SQLITE_OK ? SQLITE_CANTOPEN : rc;
    }
    self->base.pMethods = methods;
    return SQLITE_OK;
}

bool readOnlyBook(const char *name, int flags)
{
    return name && (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READONLY);
}

int mappedOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    const int rc = openReal(name, file, flags, outFlags, &kMethods);
    if (rc == SQLITE_OK && readOnlyBook(name, flags))
        mapFile(reinterpret_cast<MappedFile *>(file), name);
    return rc;
}

// The blocks are read through the default layer's own file handle: no other
// handle of this process is opened on the file.
int blockOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    const int rc = openReal(name, file, flags, outFlags, &kBlockMethods);
    auto *self = reinterpret_cast<MappedFile *>(file);
    sqlite3_int64 size = 0;
    if (rc == SQLITE_OK && readOnlyBook(name, flags) && self->real->pMethods->xFileSize(self->real, &size) == SQLITE_OK)
        self->blocks = new (std::nothrow) BlockCache(size);
    return rc;
}

void registerVfs()
{
    gDefault = sqlite3_vfs_find(nullptr);
    gVfs = *gDefault;
    gVfs.szOsFile = int(sizeof(MappedFile)) + gDefault->szOsFile;
    gVfs.pNext = nullptr;
    gVfs.zName = kName;
    gVfs.xOpen = mappedOpen;
    sqlite3_vfs_register(&gVfs, 0);
    gBlockVfs = gVfs;
    gBlockVfs.zName = kBlockName;
    gBlockVfs.xOpen = blockOpen;
    sqlite3_vfs_register(&gBlockVfs, 0);
}

} // namespace

namespace {
std::once_flag gRegistered;
} // namespace

const char *mappedReadVfs()
{
    std::call_once(gRegistered, registerVfs);
    return kName;
}

const char *blockReadVfs()
{
    std::call_once(gRegistered, registerVfs);
    return kBlockName;
}

} // namespace db
