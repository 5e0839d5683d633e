#pragma once

#include "KrolHostGlobal.h"

#include <QObject>

class ExportType;
class KROLModuleInterface;

// Decides whether an exported value may reach a tool's importValue.
class KROLHOST_EXPORT ImportFilter : public QObject
{
    Q_OBJECT

public:
    explicit ImportFilter(QObject* parent = nullptr);
    ~ImportFilter() override;

    virtual bool accepts(const ExportType* key, const QObject* sender) const = 0;

    // The module an object works for: the object itself when it is a module, else the module of
    // the nearest tool among it and its parents, else the module held in its "krolModule"
    // property (a QObject*). Null when none.
    static const KROLModuleInterface* moduleOf(const QObject* object);
};
