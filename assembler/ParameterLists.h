#pragma once

#include "RangeCheck.h"
#include "TParameterDescriptor.h"

#include <QList>
#include <QString>
#include <QStringList>

class KROLModuleInterface;

// What a module supports, as plain lists: built from its description by the workbench and by
// `krol asm --module`, handed to the assembler for range checking.
struct TParameterLists
{
    QStringList CommandList;
    QList<TParameterList> AxisParameterLists;     // one per axis
    QList<TParameterList> GlobalParameterLists;   // always 4 banks
    TParameterList InterruptList;
    TParameterList WaitEventList;
    QList<TParameterList> IoPortLists;            // always 3 banks
    TParameterList PullUpList;
    TParameterList CoordinateList;
    bool CoordinateEepromFlag = false;
    bool MultiAxisFlag = false;

    void clear();
    // Replaces everything with what the module describes; a missing map gives an empty list.
    void make(const KROLModuleInterface& module);
};

// Appends one descriptor per "par::" entry of the module's map, in the map's order.
// Nothing when the module has no such map.
void compileParameterList(const KROLModuleInterface& module, const QString& mapName, TParameterList* list);

// Number of "par::TargetVelocity" in map "axis0"; 0 when the map or the record is missing.
int velocityParameterNumber(const KROLModuleInterface& module);

// The range settings for one assembly: copies of the lists, the command list by pointer (it must
// outlive the assembly). The default WAIT events for an empty list are the assembler's business.
TRangeSettings makeRangeSettings(const KROLModuleInterface& module, const TParameterLists& lists,
                                 const QStringList* commandList);
