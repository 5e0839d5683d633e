#include "ImportFilter_SameModule.h"

ImportFilter_SameModule::ImportFilter_SameModule(QObject* parent) : ImportFilter(parent)
{
}

bool ImportFilter_SameModule::accepts(const ExportType*, const QObject* sender) const
{
    const KROLModuleInterface* own = moduleOf(parent());
    return own != nullptr && moduleOf(sender) == own;
}
