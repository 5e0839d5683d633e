#include "PluginInterface.h"

#include "ImportFilter.h"

PluginInterface::PluginInterface() = default;

PluginInterface::~PluginInterface()
{
    for (const QPointer<ImportFilter>& f : qAsConst(m_owned)) {
        if (f && f->parent() == nullptr)
            delete f.data();
    }
}

void PluginInterface::addImportFilter(ImportFilter* filter)
{
    if (filter == nullptr || m_filters.contains(filter))
        return;
    m_filters.append(filter);
    if (filter->parent() == nullptr)
        m_owned.append(filter);
}

QList<ImportFilter*> PluginInterface::importFilters() const
{
    QList<ImportFilter*> live;
    for (const QPointer<ImportFilter>& f : m_filters) {
        if (f)
            live.append(f.data());
    }
    return live;
}

bool PluginInterface::acceptsImport(const ExportType* key, const QObject* sender) const
{
    const QList<ImportFilter*> filters = importFilters();
    if (filters.isEmpty())
        return false;
    for (const ImportFilter* f : filters) {
        if (!f->accepts(key, sender))
            return false;
    }
    return true;
}
