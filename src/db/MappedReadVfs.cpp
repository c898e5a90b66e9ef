#include "MappedReadVfs.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

constexpr const char *kName = "warehouse-mapped-read";

sqlite3_vfs gVfs;
sqlite3_vfs *gDefault = nullptr;

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

int mappedOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    auto *self = reinterpret_cast<MappedFile *>(file);
    self->real = reinterpret_cast<sqlite3_file *>(self + 1);
    self->map = nullptr;
    self->mapSize = 0;
    self->filled = nullptr;
    const int rc = gDefault->xOpen(gDefault, name, self->real, flags, outFlags);
    if (rc != SQLITE_OK || !self->real->pMethods) {
        if (self->real->pMethods)
            self->real->pMethods->xClose(self->real);
        self->base.pMethods = nullptr;
        return rc == SQLITE_OK ? SQLITE_CANTOPEN : rc;
    }
    self->base.pMethods = &kMethods;
    if (name && (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READONLY))
        mapFile(self, name);
    return SQLITE_OK;
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
}

} // namespace

const char *mappedReadVfs()
{
    static std::once_flag once;
    std::call_once(once, registerVfs);
    return kName;
}

} // namespace db
