// vduno keyboard --pdf OUT.pdf [--design FILE]
#include "command.h"
#include "printing/keyboard.h"

namespace {

int runKeyboard(const CliArgs& parsed, CliContext& context)
{
    const QString pdf = parsed.value(QStringLiteral("pdf"));
    const QString designPath = parsed.value(QStringLiteral("design"));
    if (!parsed.positional.isEmpty() || pdf.isEmpty())
        return cli::usage(context, QStringLiteral("Podaj --pdf WYJŚCIE.pdf."));
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
    cli::jsonField(QStringLiteral("file"), pdf);
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(keyboard, {"keyboard",
                         CommandGroup::Files,
                         "--pdf WYJŚCIE.pdf [--design PLIK]",
                         "szablon nakładki klawiatury do PDF",
                         {{"pdf", "WYJŚCIE.pdf", "plik PDF do zapisania (wymagane)"},
                          {"design", "PLIK", "projekt klawiatury (domyślnie pusty szablon)"}},
                         {"keyboard --pdf klawiatura.pdf --design sklep.json"},
                         runKeyboard})
