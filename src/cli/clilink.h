#pragma once

#include "command.h"

class Link;
class TransferUi;

namespace cli {

// The link a command talks over: the register's own on a chain, the process's otherwise.
Link& commandLink(CliContext& context);

// Opens the link from the global options: --device PATH is put under the COM number of
// --port (COM99 without it), --port N alone uses the port map; --baud and --address set the
// line and the register address; --trace FILE logs every frame in hex. Messages go to `ui`.
// Returns false (after telling why) when no port opens. On a chain the register's link is
// already open on its line and is used as it is.
bool openLink(CliContext& context, Link& link, TransferUi& ui);

// The register type for a command whose frames depend on it, asked of the register on the
// open link: 1 DUNO, 2 DUNO BIS. 0 when the register does not tell; the command must then
// not go on, and the reason has been shown.
int registerType(Link& link, TransferUi& ui);

} // namespace cli
