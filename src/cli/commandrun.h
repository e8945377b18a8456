#pragma once

#include "command.h"

#include <QJsonObject>

namespace cli {

// Runs a parsed subcommand on the register of the link options (or a chain's register, when
// the context carries its link). With --json a command without a document of its own gets
// the common one; a run that failed because no port opened or nothing answered ends with
// ExitNoRegister.
int runCommand(const CliCommand& command, const CliArgs& args, CliContext& context);

// The common document of a run: what ran, whether and how it ended, what it printed (its
// result lines and its messages) and the fields the command added.
QJsonObject resultDocument(const QString& command, int exit, const OutputCapture& capture);

} // namespace cli
