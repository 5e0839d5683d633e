#pragma once

#include <QList>
#include <QString>
#include <cstdint>

// One item a module declares: a parameter, interrupt, I/O port, coordinate or WAIT event.
struct TParameterDescriptor
{
    int Number = 0;
    QString Name;
    QString Unit;
    int32_t Min = 0;
    uint32_t Max = 0;
    bool Flag = false;
    bool Readable = false;
    bool Writable = false;
    bool Storable = false;
};

using TParameterList = QList<TParameterDescriptor>;

// First descriptor whose Number equals the key, or nullptr.
const TParameterDescriptor* FindParameter(const TParameterList& list, int number);

// The WAIT events a module has when it declares none: TICKS, POS, REFSW, LIMSW, RFS.
TParameterList DefaultWaitEventList();
