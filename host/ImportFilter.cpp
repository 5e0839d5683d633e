#include "ImportFilter.h"

#include "KROLModuleInterface.h"
#include "ToolsInterface.h"

#include <QVariant>

ImportFilter::ImportFilter(QObject* parent) : QObject(parent)
{
}

ImportFilter::~ImportFilter() = default;

const KROLModuleInterface* ImportFilter::moduleOf(const QObject* object)
{
    for (const QObject* o = object; o != nullptr; o = o->parent()) {
        if (auto module = qobject_cast<const KROLModuleInterface*>(o))
            return module;
        if (auto tool = static_cast<const ToolsInterface*>(ToolsInterface::staticMetaObject.cast(o)))
            return tool->module();
        const QVariant held = o->property("krolModule");
        if (held.isValid())
            return qobject_cast<const KROLModuleInterface*>(held.value<QObject*>());
    }
    return nullptr;
}
