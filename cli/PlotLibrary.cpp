#include "PlotLibrary.h"

#include "PlotEntry.h"

#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <cstring>

namespace PlotLibrary {

namespace {

QLibrary& library()
{
    static QLibrary lib;
    return lib;
}

// Beside krol in the build tree (bin/ and lib/) and in an installation, then the system's paths.
bool load(QString* error)
{
    QLibrary& lib = library();
    if (lib.isLoaded())
        return true;
    const QString bin = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QStringList candidates{bin + QStringLiteral("/../lib/libkrolplot"),
                                 bin + QStringLiteral("/../" KROL_INSTALL_LIBDIR "/libkrolplot"),
                                 bin + QStringLiteral("/libkrolplot"), QStringLiteral("krolplot")};
    for (const QString& name : candidates) {
        lib.setFileName(name);
        if (lib.load())
            return true;
    }
    *error = lib.errorString();
    return false;
}

} // namespace

bool requested(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "sim") != 0)
        return false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--plot") == 0 || std::strncmp(argv[i], "--plot=", 7) == 0)
            return true;
    }
    return false;
}

QCoreApplication* makeApplication(int& argc, char** argv, QString* error)
{
    if (!load(error))
        return nullptr;
    const auto make = reinterpret_cast<KrolPlotApplicationFunction>(
        library().resolve(KrolPlotApplicationSymbol));
    if (!make) {
        *error = library().errorString();
        return nullptr;
    }
    return make(&argc, argv);
}

bool writeSvg(const TMotionTable& table, QIODevice* device, QString* error)
{
    const auto write = load(error) ? reinterpret_cast<KrolPlotWriteFunction>(
                                         library().resolve(KrolPlotWriteSymbol))
                                   : nullptr;
    if (!write) {
        if (error->isEmpty())
            *error = library().errorString();
        return false;
    }
    return write(&table, device, error);
}

} // namespace PlotLibrary
