#include "FuzzSupport.h"

#include "Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    // Debug and warning chatter costs time on every input; only a fatal message matters.
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
        std::abort();
    }
}

} // namespace

// Resources of a static library are registered by hand, from the global namespace.
static void initResources()
{
    Q_INIT_RESOURCE(fuzz);
}

namespace FuzzSupport {

void initialize(int* argc, char*** argv)
{
    static QCoreApplication* application = nullptr;
    static QTemporaryDir* home = nullptr;
    if (application)
        return;
    qInstallMessageHandler(quietMessages);
    initResources();
    // The application keeps references to these for its lifetime.
    static int args = 1;
    static char name[] = "krol-fuzz";
    static char* argument[] = {name, nullptr};
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    application = new QCoreApplication(args, argument);
    // Include files that are not served from memory are looked for under the home folder:
    // keep that an empty private folder, never the user's.
    home = new QTemporaryDir;
    qputenv("KROL_HOME", QFile::encodeName(home->path()));
}

QByteArray resource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        finding("missing resource", path);
    return file.readAll();
}

ModuleDescription virtualModule()
{
    ModuleDescription description;
    QString error;
    if (!ModuleDescription::parse(resource(QStringLiteral(":/fuzz/virtual.json")),
                                  QStringLiteral("virtual.json"), &description, &error))
        finding("virtual.json does not load", error);
    return description;
}

bool sameWords(const QList<TInstruction>& a, const QList<TInstruction>& b)
{
    if (a.size() != b.size())
        return false;
    for (int k = 0; k < a.size(); ++k) {
        const TInstruction& x = a.at(k);
        const TInstruction& y = b.at(k);
        if (x.Opcode != y.Opcode)
            return false;
        const TInstructionRow* row = FindInstructionByOpcode(x.Opcode);
        if ((!row || row->TypeKind != TypeNone) && x.Type != y.Type)
            return false;
        if ((!row || row->MotorKind != 0) && x.Motor != y.Motor)
            return false;
        if ((!row || row->ValueKind != ValueNone) && x.Value != y.Value)
            return false;
    }
    return true;
}

void finding(const char* what, const QString& detail)
{
    std::fprintf(stderr, "==krol-fuzz== %s: %s\n", what, qPrintable(detail));
    std::fflush(stderr);
    std::abort();
}

} // namespace FuzzSupport
