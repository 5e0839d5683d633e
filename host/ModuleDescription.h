#pragma once

#include "KrolHostGlobal.h"
#include "Parameter.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// What a module publishes: its name, its axes and its named parameter maps.
// Read from the JSON files in modules/; docs/module-description.md describes the format.
class KROLHOST_EXPORT ModuleDescription
{
public:
    QString name;
    int axes = 0;
    QMap<QString, ParameterMap> maps;

    bool operator==(const ModuleDescription& other) const
    {
        return name == other.name && axes == other.axes && maps == other.maps;
    }

    // On failure returns false, leaves *description untouched and sets *error to a message
    // naming the file, the map, the key and the fault.
    static bool load(const QString& path, ModuleDescription* description, QString* error);
    // As load, for text already in memory; fileName is only used in messages.
    static bool parse(const QByteArray& json, const QString& fileName, ModuleDescription* description,
                      QString* error);
    // As parse, always through QJsonDocument (parse reads plain texts a quicker way).
    static bool parseJson(const QByteArray& json, const QString& fileName, ModuleDescription* description,
                          QString* error);
};
