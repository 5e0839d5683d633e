#pragma once

#include <QStringList>

// krol upload [-o FILE.kro] [--module DESC.json] --port DEVICE|--sim ...
int runUpload(const QStringList& arguments);
