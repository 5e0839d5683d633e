#include "TParameterDescriptor.h"

#include "Globals.h"

const TParameterDescriptor* FindParameter(const TParameterList& list, int number)
{
    for (const TParameterDescriptor& d : list) {
        if (d.Number == number)
            return &d;
    }
    return nullptr;
}

TParameterList DefaultWaitEventList()
{
    TParameterList list;
    for (int i = 0; !WaitEventMnemonic[i].isEmpty(); ++i) {
        TParameterDescriptor d;
        d.Number = i;
        d.Name = WaitEventMnemonic[i];
        d.Unit = QStringLiteral("10 ms");
        d.Min = -1;
        d.Max = 2147483647u;
        d.Writable = true;
        list.append(d);
    }
    return list;
}
