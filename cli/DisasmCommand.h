#pragma once

#include <QStringList>

// krol disasm FILE.bin [-o FILE.kro] [--module DESC.json]
int runDisasm(const QStringList& arguments);
