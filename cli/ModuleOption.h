#pragma once

#include "RangeCheck.h"

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

// The --module DESC.json option shared by the sub-commands.
namespace ModuleOption {

QCommandLineOption option();

// Loads a module description and builds the lists that range checking uses. On failure
// *error names the file and the fault.
bool load(const QString& path, QStringList* commandList, TRangeSettings* ranges, QString* error);

// The WAIT events of the module described at path (relative or absolute); an empty path leaves
// *events as it is, the module's default events.
bool loadWaitEvents(const QString& path, TParameterList* events, QString* error);

} // namespace ModuleOption
