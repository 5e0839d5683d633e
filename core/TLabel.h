#pragma once

#include <QString>

struct TLabel
{
    QString Name;     // upper case
    int Address = 0;  // program address of the instruction that follows the label
};
