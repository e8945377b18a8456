#include "cliui.h"
#include "command.h"
#include "commandline.h"
#include "commandrun.h"
#ifdef VDUNO_HAS_CHAIN
#include "chain.h"
#endif

#include "app/instancelock.h"
#include "common/cp1250.h"
#ifdef VDUNO_HAS_LINK
#include "link/tlstrust.h"
#endif

#include <QCoreApplication>
#ifdef VDUNO_CLI_GUI
#include <QGuiApplication>
// Printing to PDF measures and draws text, which needs the GUI application (offscreen).
using CliApplication = QGuiApplication;
#else
using CliApplication = QCoreApplication;
#endif

#include <memory>

#ifdef VDUNO_HAS_EMULATOR
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#endif

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
    if (!cp1250::available()) {
        cli::err(cp1250::missingMessage());
        return ExitFailure;
    }
    CliContext context;
    const cli::ParsedLine line =
        cli::parseCommandLine(QCoreApplication::arguments().mid(1), context);
    if (line.kind == cli::ParsedLine::Kind::Done)
        return ExitOk;
    if (line.kind != cli::ParsedLine::Kind::Run)
        return ExitUsage;
    const CliCommand& command = *line.command;
    if (!context.only.isEmpty() && context.registers.isEmpty())
        return cli::usage(context, QStringLiteral("Opcja --only działa tylko z --registers."));
#ifdef VDUNO_HAS_LINK
    if (!context.tlsPin.isEmpty() && !parseTlsPin(context.tlsPin))
        return cli::usage(context, QStringLiteral("Błędny odcisk certyfikatu --tls-pin: ") +
                                       context.tlsPin +
                                       QStringLiteral(" (64 cyfry szesnastkowe, np. 7F:23:8A:…)"));
#endif
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
    CliUi ui(context.yes, {}, context.quiet);
    context.ui = &ui;
    if (!context.registers.isEmpty()) {
#ifdef VDUNO_HAS_CHAIN
        return cli::runOnChain(command, line.args, context);
#else
        cli::err(QStringLiteral("Ta wersja programu nie obsługuje list kas."));
        return ExitUsage;
#endif
    }
    return cli::runCommand(command, line.args, context);
}
