#pragma once

#include <QString>
#include <functional>

namespace report {

// Writes an exported file whole in path's place. make() writes the file at
// the scratch path it is given (in a private temporary folder); its bytes
// then replace path durably, so an earlier file at path stays whole when the
// new one cannot be written. False, with the reason in the clerk's words in
// error (the system's text as its detail), when it fails.
bool exportWhole(const QString &path, QString *error, const std::function<bool(const QString &scratch)> &make);

} // namespace report
