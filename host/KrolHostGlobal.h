#pragma once

#include <QtCore/qglobal.h>

// The host library is a shared object: only what carries this mark is visible to its users.
#if defined(KROLHOST_LIBRARY)
#define KROLHOST_EXPORT Q_DECL_EXPORT
#else
#define KROLHOST_EXPORT Q_DECL_IMPORT
#endif
