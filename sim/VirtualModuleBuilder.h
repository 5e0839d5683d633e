#pragma once

#include <QString>

class KROLModuleInterface;
class ModuleDescription;
class QObject;
class VirtualConnection;

// Builds a host-layer module whose connection is a virtual module, from a module description.
class VirtualModuleBuilder
{
public:
    // The module and its connection (a child of the module). Direct mode accepts what the
    // description's "DirectModeCommands" lists (everything without that record), also after the
    // module's description is replaced.
    static KROLModuleInterface* create(const ModuleDescription& description, QObject* parent = nullptr);
    // From a description file; null with *error set when it cannot be loaded.
    static KROLModuleInterface* createFromFile(const QString& path, QString* error,
                                               QObject* parent = nullptr);
    // The virtual connection behind a module built here, or null.
    static VirtualConnection* connectionOf(const KROLModuleInterface* module);

    // Where the virtual module's own description is: next to an installed program, else in the
    // source tree the program was built from.
    static QString defaultDescriptionPath();
};
