#pragma once

#include <QStringList>

// krol sim SOURCE.kro|FILE.bin [--module DESC.json] [-I DIR] [--time MS] [--max-steps N]
//          [--trace] [--json] [--stats]
int runSim(const QStringList& arguments);
