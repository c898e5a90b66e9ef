#pragma once

#include <QString>

namespace db {

// A file the program holds open is reached by the engine through that
// handle, never by its name: the path of the handle itself
// ("/proc/self/fd/N"), which the system opens as the very file held, whatever
// name now lies where the file was made. The engine's own layer turns such a
// path into the file's name before it opens it; the layer named by
// keepingHeldPaths does not.
QString heldFilePath(int handle);

// The name of a file system layer that works as the one named base (nullptr:
// the default one) but opens a held file's path as it is. Registered once per
// base.
const char *keepingHeldPaths(const char *base = nullptr);

} // namespace db
