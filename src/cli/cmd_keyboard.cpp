// vduno keyboard --pdf OUT.pdf [--design FILE]
#include "command.h"
#include "printing/keyboard.h"

namespace {

int runKeyboard(const QStringList& argsIn, CliContext&)
{
    QStringList args = argsIn;
    bool missing = false;
    const QString pdf = cli::takeOption(args, QStringLiteral("--pdf"), &missing);
    const QString designPath = cli::takeOption(args, QStringLiteral("--design"), &missing);
    if (missing || !args.isEmpty() || pdf.isNull()) {
        cli::err(QStringLiteral("Użycie: vduno keyboard --pdf WYJŚCIE.pdf [--design PLIK]"));
        return ExitUsage;
    }
    keyboard::Design design = keyboard::defaultDesign();
    if (!designPath.isNull()) {
        const QString error = keyboard::load(designPath, design);
        if (!error.isEmpty()) {
            cli::err(error);
            return ExitFailure;
        }
    }
    const QString error = keyboard::writePdf(pdf, design);
    if (!error.isEmpty()) {
        cli::err(error);
        return ExitFailure;
    }
    cli::out(QStringLiteral("Szablon klawiatury zapisany: ") + pdf);
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(keyboard, "keyboard --pdf WYJŚCIE.pdf [--design PLIK]", runKeyboard)
