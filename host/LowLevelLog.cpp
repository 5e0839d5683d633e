#include "LowLevelLog.h"

Q_LOGGING_CATEGORY(debLowLevel, "krol.host.lowlevel", QtInfoMsg)
