// Writes a new, keyed account book from the schema and its default rows.
#include "db/BookFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makebook <book file>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The build's own output, made anew: a new book goes only to a free name.
    QFile::remove(path);
    const QString error = db::createBook(path);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "makebook: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
