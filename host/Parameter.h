#pragma once

#include <QMap>
#include <QString>

// One record of a module's parameter map, as a module description declares it.
struct Parameter
{
    int number = 0;
    QString name;       // first text
    QString unit;       // second text
    qint64 min = 0;
    qint64 max = 0;
    bool flag = false;
    bool flag2 = false;
    QString access;     // letters r (read), w (write), e (store/restore)
};

inline bool operator==(const Parameter& a, const Parameter& b)
{
    return a.number == b.number && a.name == b.name && a.unit == b.unit && a.min == b.min && a.max == b.max
           && a.flag == b.flag && a.flag2 == b.flag2 && a.access == b.access;
}

// Keyed by parameter name, in ascending key order.
using ParameterMap = QMap<QString, Parameter>;
