#pragma once

#include <QStringList>

// krol download SOURCE|FILE.bin [--module DESC.json] [-I DIR] [--no-check] --port DEVICE|--sim ...
int runDownload(const QStringList& arguments);
