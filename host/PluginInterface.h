#pragma once

#include "KrolHostGlobal.h"

#include <QList>
#include <QPointer>

class ExportType;
class ImportFilter;
class QObject;

// What every host tool shares besides being a widget: the filters for imported values.
class KROLHOST_EXPORT PluginInterface
{
public:
    virtual ~PluginInterface();
    PluginInterface(const PluginInterface&) = delete;
    PluginInterface& operator=(const PluginInterface&) = delete;

    // A filter without a QObject parent becomes the tool's; one with a parent stays its parent's.
    void addImportFilter(ImportFilter* filter);
    QList<ImportFilter*> importFilters() const;
    // True when the tool registered filters and every one of them accepts the value.
    bool acceptsImport(const ExportType* key, const QObject* sender) const;

protected:
    PluginInterface();

private:
    QList<QPointer<ImportFilter>> m_filters;
    QList<QPointer<ImportFilter>> m_owned;
};
