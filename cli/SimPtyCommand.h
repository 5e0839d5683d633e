#pragma once

#include <QStringList>

// krol sim --pty [--module DESC.json] [--address N] [--reply-address N] [--baud N]
int runSimPty(const QStringList& arguments);
