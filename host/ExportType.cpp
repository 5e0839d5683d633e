#include "ExportType.h"

ExportType::ExportType(const QString& name) : m_name(name)
{
}

namespace ExportTypes {
const ExportType KROLScript(QStringLiteral("KROL script"));
}
