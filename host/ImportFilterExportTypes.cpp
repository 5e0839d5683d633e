#include "ImportFilterExportTypes.h"

ImportFilter_SpecificExportTypes::ImportFilter_SpecificExportTypes(const QSet<const ExportType*>& types,
                                                                   QObject* parent)
    : ImportFilter(parent), m_types(types)
{
}

bool ImportFilter_SpecificExportTypes::accepts(const ExportType* key, const QObject*) const
{
    return key != nullptr && m_types.contains(key);
}
