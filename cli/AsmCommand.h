#pragma once

#include <QStringList>

// krol asm SOURCE [-o FILE.bin] [--sym] [--no-stop] [-I DIR] [--module DESC.json]
int runAsm(const QStringList& arguments);
