#pragma once

#include "command.h"

// The command line of vduno: one parser (Qt's) for every subcommand, over the options every
// subcommand shares and the subcommand's own. Options stand before or after the subcommand
// and between its arguments; "--opt=value" and "--opt value" are the same; "--" ends them.
namespace cli {

// The options every subcommand takes, as the help groups them.
struct OptionSection {
    const char* title;
    std::vector<CliOption> options;
};
const std::vector<OptionSection>& sharedOptions();

struct ParsedLine {
    enum class Kind {
        Run,        // run `command` with `args`
        Done,       // help, version or completion printed
        UsageError, // told on stderr
    };
    Kind kind = Kind::UsageError;
    const CliCommand* command = nullptr;
    CliArgs args;
};

// Parses the arguments after the program's name into `context` and the subcommand's
// arguments. Help, the version and usage errors are printed here.
ParsedLine parseCommandLine(const QStringList& arguments, CliContext& context);

// The help texts, as printed by --help.
QStringList generalHelp();
QStringList commandHelp(const CliCommand& command);
// The subcommand nearest to a mistyped name; null when none is near.
const CliCommand* nearestCommand(const QString& name);

// A completion script for "bash", "zsh" or "fish", made from the same definitions.
QString completionScript(const QString& shell);

} // namespace cli
