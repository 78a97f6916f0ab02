// Feeds every file of the folders (or files) named on the command line to the entry point once, without
// libFuzzer, so the committed seed corpus runs in every normal build. Each input is a heap block of exactly its
// size. A crash or an abort() of the entry point fails the test; an empty corpus fails it too.
#include "Fuzz.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList files;
    for (const QString& arg : app.arguments().mid(1)) {
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else {
            files << arg;
        }
    }
    files.sort();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no input found\n");
        return 1;
    }
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray bytes = f.readAll();
        std::fprintf(stderr, "%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
        auto input = std::make_unique<uint8_t[]>(bytes.size() ? bytes.size() : 1);
        std::memcpy(input.get(), bytes.constData(), bytes.size());
        LLVMFuzzerTestOneInput(input.get(), size_t(bytes.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(files.size()));
    return 0;
}
