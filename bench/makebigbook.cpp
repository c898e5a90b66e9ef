// Makes a large account book for the benchmarks:
//   makebigbook <book path> [--goods N] [--categories N] [--units N]
//               [--docs-per-kind N] [--lines-per-doc N]
#include "BigBook.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: makebigbook <book path> [--goods N] [--categories N] [--units N]\n"
                 "                   [--docs-per-kind N] [--lines-per-doc N]\n"
                 "defaults: 100000 goods, 100 categories, 200 units, 25000 documents per kind,\n"
                 "          10 lines per document (about 1,000,000 lines)\n");
}

// Reads "--name N" or "--name=N" at argv[i]; advances i past what it used.
bool option(int argc, char **argv, int &i, const char *name, int &value, bool &bad)
{
    const size_t length = std::strlen(name);
    if (std::strncmp(argv[i], name, length) != 0)
        return false;
    const char *text = nullptr;
    if (argv[i][length] == '=')
        text = argv[i] + length + 1;
    else if (argv[i][length] == '\0' && i + 1 < argc)
        text = argv[++i];
    else if (argv[i][length] != '\0')
        return false;
    bool ok = false;
    if (text)
        value = QString::fromLocal8Bit(text).toInt(&ok);
    if (!ok || value < 0) {
        std::fprintf(stderr, "makebigbook: %s needs a whole number\n", name);
        bad = true;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    bench::BigBookSize size;
    QString path;
    bool bad = false;
    for (int i = 1; i < argc && !bad; ++i) {
        if (option(argc, argv, i, "--goods", size.goods, bad)
            || option(argc, argv, i, "--categories", size.categories, bad)
            || option(argc, argv, i, "--units", size.units, bad)
            || option(argc, argv, i, "--docs-per-kind", size.docsPerKind, bad)
            || option(argc, argv, i, "--lines-per-doc", size.linesPerDoc, bad))
            continue;
        if (argv[i][0] == '-' || !path.isEmpty()) {
            std::fprintf(stderr, "makebigbook: unknown argument %s\n", argv[i]);
            bad = true;
        } else {
            path = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (bad || path.isEmpty()) {
        usage();
        return 2;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());

    std::printf("makebigbook: %d goods, %d categories, %d units, %d documents per kind, ~%d lines per document\n",
                size.goods, size.categories, size.units, size.docsPerKind, size.linesPerDoc);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    const QString error = bench::makeBigBook(path, size, [](const QString &line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    });
    if (!error.isEmpty()) {
        std::fprintf(stderr, "makebigbook: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("makebigbook: wrote %s (%.1f MB) in %.1f s\n", qPrintable(path),
                QFileInfo(path).size() / 1048576.0, timer.elapsed() / 1000.0);
    return 0;
}
