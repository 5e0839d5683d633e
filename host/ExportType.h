#pragma once

#include "KrolHostGlobal.h"

#include <QString>

// A kind of value that one host tool exports and others may import. Compared by identity:
// every tool names the same instance, which lives in this library.
class KROLHOST_EXPORT ExportType
{
public:
    explicit ExportType(const QString& name);
    ExportType(const ExportType&) = delete;
    ExportType& operator=(const ExportType&) = delete;

    QString name() const { return m_name; }

private:
    QString m_name;
};

using export_type_t = ExportType;

namespace ExportTypes {
// One line of KROL source, for example an instruction sent in direct mode.
KROLHOST_EXPORT extern const ExportType KROLScript;
}
