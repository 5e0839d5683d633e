#pragma once

#include <QString>

// Where krol-ide finds what it ships with. Every path is relative to the executable, so an
// installed copy and the build tree both work without environment variables.
class IdePaths
{
public:
    // The tool plug-ins: build/plugins next to build/bin, or lib/krol/plugins when installed.
    static QString pluginFolder();
    // The virtual module's own description.
    static QString defaultModule();
    // The example programs users open first.
    static QString examplesFolder();

private:
    // The first of the candidates that exists, else the last one.
    static QString firstExisting(const QStringList& candidates);
};
