#include "cliui.h"
#include "command.h"

#include "app/instancelock.h"

#include <QCoreApplication>
#ifdef VDUNO_CLI_GUI
#include <QGuiApplication>
// Printing to PDF measures and draws text, which needs the GUI application (offscreen).
using CliApplication = QGuiApplication;
#else
using CliApplication = QCoreApplication;
#endif

#include <algorithm>
#include <memory>

#ifdef VDUNO_HAS_EMULATOR
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#endif

namespace {

void printHelp()
{
    cli::out(QStringLiteral("Użycie: vduno [opcje łącza] POLECENIE [argumenty]"));
    cli::out(QString());
    cli::out(QStringLiteral("Opcje łącza:"));
    cli::out(
        QStringLiteral("  --device ŚCIEŻKA    urządzenie szeregowe (np. /dev/ttyUSB0) albo adres\n"
                       "                      serwera portów szeregowych: tcp://HOST:PORT,\n"
                       "                      rfc2217://HOST:PORT"));
    cli::out(QStringLiteral("  --port N            numer portu COM 1..99"));
    cli::out(QStringLiteral("  --baud B            prędkość (domyślnie 115200)"));
    cli::out(QStringLiteral("  --address A         adres kasy 1..9 (domyślnie 1)"));
    cli::out(
        QStringLiteral("  --emulator          wbudowany emulator kasy zamiast prawdziwej kasy"));
    cli::out(QStringLiteral("  --emulator-model M  duno | duno-bis (domyślnie duno-bis)"));
    cli::out(QStringLiteral("  --fast              szybkie transmisje"));
    cli::out(QStringLiteral("  --trace PLIK        zapis ramek do pliku"));
    cli::out(QStringLiteral("  --yes               odpowiada Tak na każde pytanie"));
    cli::out(QStringLiteral("  --json              wynik jako JSON (info, sales, compare, db show, "
                            "probe)"));
    cli::out(QString());
    cli::out(QStringLiteral("Polecenia:"));
    std::vector<CliCommand> commands = CommandRegistry::all();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return qstrcmp(a.name, b.name) < 0; });
    for (const CliCommand& c : commands)
        cli::out(
            QStringLiteral("  %1  %2")
                .arg(QString::fromUtf8(c.name).leftJustified(10), QString::fromUtf8(c.summary)));
}

// The subcommands that can print their result as JSON.
bool jsonCapable(const QString& name, const QStringList& args)
{
    if (name == QLatin1String("info") || name == QLatin1String("probe") ||
        name == QLatin1String("compare"))
        return true;
    if (name == QLatin1String("sales"))
        return args.isEmpty() || args.first() != QLatin1String("clear");
    if (name == QLatin1String("db"))
        return !args.isEmpty() && args.first() == QLatin1String("show");
    return false;
}

// Takes the link options that stand before the subcommand. Returns false on wrong usage.
bool parseGlobalOptions(QStringList& args, CliContext& context)
{
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        auto value = [&](QString& into) {
            if (args.isEmpty())
                return false;
            into = args.takeFirst();
            return true;
        };
        QString v;
        bool ok = true;
        if (opt == QLatin1String("--device")) {
            ok = value(context.device);
        } else if (opt == QLatin1String("--port")) {
            ok = value(v);
            context.port = v.toInt(&ok);
            ok = ok && context.port >= 1 && context.port <= 99;
        } else if (opt == QLatin1String("--baud")) {
            ok = value(v);
            context.baud = v.toInt(&ok);
            ok = ok && context.baud > 0;
        } else if (opt == QLatin1String("--address")) {
            ok = value(v);
            context.address = v.toInt(&ok);
            ok = ok && context.address >= 1 && context.address <= 9;
        } else if (opt == QLatin1String("--emulator")) {
            context.emulator = true;
        } else if (opt == QLatin1String("--emulator-model")) {
            ok = value(context.emulatorModel) &&
                 (context.emulatorModel == QLatin1String("duno") ||
                  context.emulatorModel == QLatin1String("duno-bis"));
        } else if (opt == QLatin1String("--fast")) {
            context.fast = true;
        } else if (opt == QLatin1String("--trace")) {
            ok = value(context.trace);
        } else if (opt == QLatin1String("--yes")) {
            context.yes = true;
        } else if (opt == QLatin1String("--json")) {
            context.json = true;
        } else if (opt == QLatin1String("--help")) {
            args.prepend(opt);
            return true;
        } else {
            cli::err(QStringLiteral("Nieznana opcja: ") + opt);
            return false;
        }
        if (!ok) {
            cli::err(QStringLiteral("Błędna wartość opcji ") + opt);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef VDUNO_CLI_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Without XDG_RUNTIME_DIR Qt warns on every start; the program's own directory serves.
    InstanceLock::prepareRuntimeDirectory();
    CliApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vduno"));
    QStringList args = QCoreApplication::arguments().mid(1);

    CliContext context;
    if (!parseGlobalOptions(args, context))
        return ExitUsage;
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("help")) {
        printHelp();
        return args.isEmpty() ? ExitUsage : ExitOk;
    }
    const QString name = args.takeFirst();
    const CliCommand* command = CommandRegistry::find(name);
    if (!command) {
        cli::err(QStringLiteral("Nieznane polecenie: ") + name);
        return ExitUsage;
    }
    if (context.json && !jsonCapable(name, args)) {
        cli::err(QStringLiteral("Opcja --json dotyczy tylko poleceń info, sales, compare, db show "
                                "i probe."));
        return ExitUsage;
    }
#ifdef VDUNO_HAS_EMULATOR
    // --emulator: a register with demo content on a pseudo-terminal, reached through the
    // real serial code; it lives until the subcommand ends.
    std::unique_ptr<emu::RegisterModel> emulatedRegister;
    std::unique_ptr<emu::EmulatorHost> emulatorHost;
    if (context.emulator) {
        emulatedRegister = std::make_unique<emu::RegisterModel>(
            context.emulatorModel == QLatin1String("duno") ? emu::Model::Duno : emu::Model::DunoBis,
            context.address);
        emulatedRegister->fillDemo();
        emulatorHost = std::make_unique<emu::EmulatorHost>(*emulatedRegister);
        QString error;
        if (!emulatorHost->start(&error)) {
            cli::err(QStringLiteral("Nie mogę uruchomić emulatora kasy: ") + error);
            return ExitFailure;
        }
        context.device = emulatorHost->devicePath();
    }
#else
    if (context.emulator) {
        cli::err(QStringLiteral("Ta wersja programu nie zawiera emulatora kasy."));
        return ExitUsage;
    }
#endif
    CliUi ui(context.yes);
    context.ui = &ui;
    return command->run(args, context);
}
