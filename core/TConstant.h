#pragma once

#include <QString>

struct TConstant
{
    QString Name;   // upper case, as defined
    double Value = 0.0;
};
