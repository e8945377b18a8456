#pragma once

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <vector>

class CliUi;
class Link;
class QJsonDocument;
struct CliCommand;

// Exit codes of every subcommand.
enum CliExit {
    ExitOk = 0,
    ExitFailure = 1, // the run failed; for compare, diff and --verify: a difference was found
    ExitUsage = 2,
    ExitNoRegister = 3, // the port did not open, is held, or no register answered on it
};

// What a subcommand run on one register of a chain tells the chain's closing table, beyond
// its exit status.
struct CliReport {
    QString result; // a word better than "OK" / "Błąd" ("Zgodna z bazą")
    QString counts; // what it did, in numbers
    QString resume; // the --resume point of a run that ended early
};

// The options that apply to every subcommand (the link, the answers, the output).
struct CliContext {
    QString device;        // --device PATH
    int port = -1;         // --port N (1..99)
    qint32 baud = 115200;  // --baud B
    int address = 1;       // --address A (1..9)
    bool emulator = false; // --emulator: a register emulator started in-process
    QString emulatorModel = QStringLiteral("duno-bis"); // --emulator-model duno|duno-bis
    bool fast = false;                                  // --fast
    QString trace;                                      // --trace FILE
    QString tlsCa;      // --tls-ca FILE: the certificates a TLS device server is checked against
    QString tlsPin;     // --tls-pin SHA256: the server certificate's fingerprint
    bool yes = false;   // --yes: answer Yes to every question
    bool json = false;  // --json: the result as one JSON document on stdout (UTF-8)
    bool quiet = false; // --quiet: no progress
    QString registers;  // --registers FILE: the command runs on every register of the list
    QString only;       // --only NAME,...: on these registers of the list only
    CliUi* ui = nullptr;
    const CliCommand* command = nullptr; // the subcommand being run, for its usage line
    // On a chain: the register's own link (already open on its line) and its report. Null for
    // a command run on the one register of the link options.
    Link* link = nullptr;
    CliReport* report = nullptr;
    // Set by openLink when the port did not open: the run ends with ExitNoRegister.
    bool linkFailed = false;
};

// A subcommand's arguments once the command line is parsed: the positional arguments in
// order and each option given, under its long name.
class CliArgs {
public:
    QStringList positional;

    bool isSet(const QString& name) const { return m_values.contains(name); }
    // The option's value; a null string when it was not given.
    QString value(const QString& name) const { return m_values.value(name); }
    void set(const QString& name, const QString& value = QStringLiteral(""))
    {
        m_values[name] = value;
    }
    void unset(const QString& name) { m_values.remove(name); }

private:
    QHash<QString, QString> m_values;
};

// One option as the parser, the help and the completions know it.
struct CliOption {
    const char* names;       // "yes" or "y,yes": short and long names, long name last
    const char* valueName;   // null for a switch
    const char* description; // one line of help
};

// How "vduno --help" groups the subcommands.
enum class CommandGroup { Register, Database, Reports, Files };

struct CliCommand {
    const char* name;
    CommandGroup group;
    const char* arguments; // "PLIK.vkf [TABELA]"; empty for none
    const char* summary;   // one line for "vduno --help"
    std::vector<CliOption> options;
    std::vector<const char*> examples; // command lines without "vduno "
    int (*run)(const CliArgs& args, CliContext& context);
    // Further lines of the command's own help (its tables, its kinds of report).
    QStringList (*details)() = nullptr;
    // The words that stand among its arguments (subcommands, tables, kinds), for completion.
    QStringList (*words)() = nullptr;
};

class CommandRegistry {
public:
    static bool add(const CliCommand& command);
    static const std::vector<CliCommand>& all();
    static const CliCommand* find(const QString& name);
};

// Registers a subcommand from its own source file:
//   VDUNO_COMMAND(db, {"db", CommandGroup::Database, "new|convert|show ...", ...})
#define VDUNO_COMMAND(id, ...)                                                                     \
    namespace {                                                                                    \
    const bool registered_##id = CommandRegistry::add(CliCommand __VA_ARGS__);                     \
    }

namespace cli {
// "Użycie: vduno NAME ARGUMENTS [opcje]".
QString usageLine(const CliCommand& command);
// A usage error of the running subcommand: the problem (if any), its usage line and where
// its help is, all on stderr. Returns ExitUsage.
int usage(const CliContext& context, const QString& problem = {});
// A table name the subcommand does not know: says so, lists the tables it takes (its details)
// and its usage. Returns ExitUsage.
int unknownTable(const CliContext& context, const QString& table);
// Prints a line to stdout / stderr in the terminal's encoding.
void out(const QString& line);
void err(const QString& line);
// Prints a JSON document to stdout as UTF-8, whatever the terminal's encoding.
void outJson(const QJsonDocument& document);
// A field of the run's JSON document (--json), for a command without a document of its own.
void jsonField(const QString& key, const QJsonValue& value);

// What a command prints while it runs: on a chain's register, on that register's thread, or
// with --json. Its results are kept (for the register's block or the JSON document), its
// messages go to stderr at once behind the prefix, so that registers running at the same
// time never mix their lines.
struct OutputCapture {
    QString prefix; // "[rynek-1] "
    QStringList lines;
    QByteArray json;    // a document the command printed itself
    QJsonObject fields; // what jsonField() gave
    QStringList errors; // every line it printed on stderr
    QString lastError;  // the last of them
};
// Sets the capture of the calling thread (null: print as usual).
void captureOutput(OutputCapture* capture);
// Writes text to stderr in one piece, so that lines of different threads stay whole.
void errRaw(const QByteArray& bytes);
} // namespace cli
