#pragma once

#include "command.h"

namespace cli {

// vduno --registers FILE [--only NAME,...] COMMAND ...: the command on every register of the
// list, registers on different lines at the same time, those sharing a line in turn. Each
// register's results are printed as a block of their own when it ends, its messages behind
// its name, and the run ends with one table (or one JSON document with --json). Exit 0 only
// when every register succeeded.
int runOnChain(const CliCommand& command, const CliArgs& args, CliContext& context);

} // namespace cli
