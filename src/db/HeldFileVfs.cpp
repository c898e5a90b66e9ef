#include "HeldFileVfs.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace db {

namespace {

constexpr char kHeldPrefix[] = "/proc/self/fd/";

// The engine hands a layer's functions the layer itself: the base follows it.
struct Layer {
    sqlite3_vfs vfs;
    sqlite3_vfs *base;
    char name[64];
};

int keptPathname(sqlite3_vfs *vfs, const char *path, int size, char *out)
{
    const auto *layer = reinterpret_cast<const Layer *>(vfs);
    if (std::strncmp(path, kHeldPrefix, sizeof kHeldPrefix - 1) != 0)
        return layer->base->xFullPathname(layer->base, path, size, out);
    if (int(std::strlen(path)) >= size)
        return SQLITE_CANTOPEN;
    std::strcpy(out, path);
    return SQLITE_OK;
}

} // namespace

QString heldFilePath(int handle)
{
    return QString::fromLatin1(kHeldPrefix) + QString::number(handle);
}

const char *keepingHeldPaths(const char *base)
{
    static std::mutex guard;
    static std::map<std::string, std::unique_ptr<Layer>> layers;
    const std::lock_guard<std::mutex> locked(guard);
    sqlite3_vfs *found = sqlite3_vfs_find(base);
    if (!found)
        return nullptr;
    std::unique_ptr<Layer> &layer = layers[found->zName];
    if (!layer) {
        layer = std::make_unique<Layer>();
        layer->base = found;
        std::snprintf(layer->name, sizeof layer->name, "%.50s-held", found->zName);
        layer->vfs = *found;
        layer->vfs.pNext = nullptr;
        layer->vfs.zName = layer->name;
        layer->vfs.xFullPathname = keptPathname;
        sqlite3_vfs_register(&layer->vfs, 0);
    }
    return layer->name;
}

} // namespace db
