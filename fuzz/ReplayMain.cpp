// Runs every file of the given folders (or the given files) through a fuzz target's entry
// point, so the stored corpus replays in the ordinary test suite without libFuzzer.
#include "FuzzSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

QStringList inputsOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return {path};
    QStringList files;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER|INPUT...\n", argv[0]);
        return 2;
    }
    QStringList paths;
    for (int k = 1; k < argc; ++k)
        paths.append(QString::fromLocal8Bit(argv[k]));
    LLVMFuzzerInitialize(&argc, &argv);

    int count = 0;
    for (const QString& path : paths) {
        const QStringList files = inputsOf(path);
        if (files.isEmpty()) {
            std::fprintf(stderr, "%s: no inputs\n", qPrintable(path));
            return 2;
        }
        for (const QString& file : files) {
            QFile in(file);
            if (!in.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s: cannot read\n", qPrintable(file));
                return 2;
            }
            // A copy of exactly the input's size, so reads past its end are caught.
            const QByteArray bytes = in.readAll();
            std::vector<uint8_t> input(bytes.begin(), bytes.end());
            std::fprintf(stderr, "replaying %s\n", qPrintable(file));
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++count;
        }
    }
    std::printf("%d inputs replayed\n", count);
    return 0;
}
