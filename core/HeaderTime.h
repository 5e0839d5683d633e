#pragma once

#include <QDateTime>
#include <QString>

// The time written into the headers of generated files (the symbol file, the disassembly).
// With SOURCE_DATE_EPOCH set to whole seconds since 1970 it is that time in UTC, so that a
// build can be repeated byte for byte; otherwise it is the local time now.
class HeaderTime
{
public:
    // "MM-dd-yyyy hh:mm:ss".
    static QString text();
    static QDateTime now();

    // False when SOURCE_DATE_EPOCH is set to something other than whole seconds from 0 up to
    // the end of the year 9999; *error then says so. An unset or empty variable is fine.
    static bool checkEnvironment(QString* error);
};
