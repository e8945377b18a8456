#pragma once

#include "command.h"

#include "transfer/whole/wholerestore.h"

namespace cli {
// Programs the database file `path` into the register of the global options, or into each
// register at `addressesText` ("1,2,3") on its line, or into every register the scan finds;
// prints a summary per register. With `verify` the programming is checked afterwards. The exit
// code of "vduno restore".
int restoreFile(const QString& path, const wholereg::RestoreOptions& options,
                const QString& addressesText, bool scan, CliContext& context, bool verify = false);
} // namespace cli
