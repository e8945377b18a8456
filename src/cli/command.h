#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CliUi;
class QJsonDocument;

// Exit codes of every subcommand.
enum CliExit { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

// Options that stand before the subcommand and apply to all of them.
struct CliContext {
    QString device;        // --device PATH
    int port = -1;         // --port N (1..99)
    qint32 baud = 115200;  // --baud B
    int address = 1;       // --address A (1..9)
    bool emulator = false; // --emulator: a register emulator started in-process
    QString emulatorModel = QStringLiteral("duno-bis"); // --emulator-model duno|duno-bis
    bool fast = false;                                  // --fast
    QString trace;                                      // --trace FILE
    bool yes = false;                                   // --yes: answer Yes to every question
    bool json = false; // --json: the result as one JSON document on stdout (UTF-8)
    CliUi* ui = nullptr;
};

struct CliCommand {
    const char* name;
    const char* summary; // one line for "vduno --help"
    int (*run)(const QStringList& args, CliContext& context);
};

class CommandRegistry {
public:
    static bool add(const CliCommand& command);
    static const std::vector<CliCommand>& all();
    static const CliCommand* find(const QString& name);
};

// Registers a subcommand from its own source file:
//   VDUNO_COMMAND(db, "db new|convert|show ...", runDb)
#define VDUNO_COMMAND(id, summary, fn)                                                             \
    namespace {                                                                                    \
    const bool registered_##id = CommandRegistry::add({#id, summary, fn});                         \
    }

// The same for a subcommand whose name is not an identifier ("cache-dump"):
//   VDUNO_COMMAND_NAMED(cachedump, "cache-dump", "cache-dump PLIK ...", runCacheDump)
#define VDUNO_COMMAND_NAMED(id, name, summary, fn)                                                 \
    namespace {                                                                                    \
    const bool registered_##id = CommandRegistry::add({name, summary, fn});                        \
    }

// Small helpers for the subcommands' own option parsing.
namespace cli {
// Removes "--name VALUE" from args; returns the value or a null string when absent.
// Sets `missingValue` when the option stands last without its value.
QString takeOption(QStringList& args, const QString& name, bool* missingValue = nullptr);
// Removes "--name" from args; true when it was there.
bool takeFlag(QStringList& args, const QString& name);
// Prints a line to stdout / stderr in the terminal's encoding.
void out(const QString& line);
void err(const QString& line);
// Prints a JSON document to stdout as UTF-8, whatever the terminal's encoding.
void outJson(const QJsonDocument& document);
} // namespace cli
