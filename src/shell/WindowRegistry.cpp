#include "WindowRegistry.h"

#include <QHash>

namespace windows {

namespace {
QHash<QString, Factory> &factories()
{
    static QHash<QString, Factory> map;
    return map;
}
} // namespace

void registerFactory(const QString &name, Factory factory)
{
    factories().insert(name, std::move(factory));
}

bool has(const QString &name)
{
    return factories().contains(name);
}

QWidget *create(const QString &name, QWidget *parent)
{
    const auto it = factories().constFind(name);
    return it == factories().constEnd() ? nullptr : (*it)(parent);
}

} // namespace windows
