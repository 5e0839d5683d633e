#pragma once

#include "KrolHostGlobal.h"

#include <QLoggingCategory>

// The host's switch for extra diagnostics (file watching, shutdown and the like). Off by
// default; QT_LOGGING_RULES="krol.host.lowlevel.debug=true" turns it on.
KROLHOST_EXPORT const QLoggingCategory& debLowLevel();
