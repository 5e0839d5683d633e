#include "OutputCheck.h"

#include "OutputFile.h"
#include "SubCommand.h"

void OutputCheck::addInput(const QString& path, const QString& role)
{
    if (!path.isEmpty())
        m_files.append({path, role});
}

bool OutputCheck::addOutput(const QString& path, const QString& role)
{
    QString reason;
    if (!OutputFile(path).check(&reason)) {
        report(QStringLiteral("cannot write '%1': %2").arg(path, reason));
        return false;
    }
    for (const File& f : qAsConst(m_files)) {
        if (OutputFile::sameFile(path, f.path)) {
            report(QStringLiteral("cannot write '%1': it is the same file as the %2 '%3'")
                       .arg(path, f.role, f.path));
            return false;
        }
    }
    m_files.append({path, role});
    return true;
}
