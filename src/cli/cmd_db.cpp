#include "cliui.h"
#include "command.h"
#include "dbshow.h"

#include "common/cp1250.h"
#include "database/databasesession.h"

#include <QFileInfo>
#include <QTemporaryDir>

// vduno db new OUT.vkf [--currency SYM] [--name NAME]
// vduno db convert IN.vkf OUT.vkf
// Each run edits a private working copy so that a running program's copy is left alone.
namespace {

QStringList details()
{
    return {
        QStringLiteral("  new PLIK.vkf [--currency SYMBOL] [--name NAZWA]   nowa, pusta baza"),
        QStringLiteral("  convert WEJŚCIE.vkf WYJŚCIE.vkf                  baza starego formatu "
                       "w bieżącym"),
        QStringLiteral("  show PLIK.vkf TABELA                             rekordy tabeli")};
}

QStringList words()
{
    return {QStringLiteral("new"), QStringLiteral("convert"), QStringLiteral("show")};
}

int fail(const QString& message)
{
    cli::err(message);
    return ExitFailure;
}

// The save of the program: an existing target is replaced only after a Yes (--yes).
int save(DatabaseSession& session, const QString& out, CliContext& context)
{
    if (QFileInfo::exists(out) && context.ui &&
        context.ui->ask(QStringLiteral("Plik ") + out +
                        QStringLiteral(" już istnieje. Kontynuować? ")) != TransferUi::Answer::Yes)
        return fail(QStringLiteral("Nie zapisano pliku ") + out);
    const DbResult saved = session.saveDatabaseFile(out);
    if (!saved.ok)
        return fail(saved.message);
    cli::out(saved.message);
    return ExitOk;
}

int runNew(const CliArgs& parsed, const QStringList& args, CliContext& context,
           DatabaseSession& session)
{
    QString symbol = parsed.value(QStringLiteral("currency"));
    QString name = parsed.value(QStringLiteral("name"));
    if (args.size() != 1)
        return cli::usage(context);
    if (symbol.isNull())
        symbol = QStringLiteral("PLN");
    if (symbol.size() > 3 || !cp1250::representable(symbol)) {
        cli::err(QStringLiteral("Symbol waluty ewidencyjnej może mieć najwyżej 3 znaki."));
        return ExitUsage;
    }
    const QString out = args.first();
    if (name.isNull())
        name = QFileInfo(out).completeBaseName();
    if (name.size() > 12) {
        cli::err(QStringLiteral("Nazwa bazy danych może mieć najwyżej 12 znaków."));
        return ExitUsage;
    }
    const DbResult created = session.newDatabase(name, symbol);
    if (!created.ok)
        return fail(created.message);
    return save(session, out, context);
}

int runConvert(const CliArgs& parsed, const QStringList& args, CliContext& context,
               DatabaseSession& session)
{
    if (args.size() != 2 || parsed.isSet(QStringLiteral("currency")) ||
        parsed.isSet(QStringLiteral("name")))
        return cli::usage(context);
    const DbResult opened = session.openDatabaseFile(args.at(0));
    if (!opened.ok)
        return fail(opened.message);
    return save(session, args.at(1), context);
}

int runDb(const CliArgs& parsed, CliContext& context)
{
    QStringList args = parsed.positional;
    if (args.isEmpty())
        return cli::usage(context);
    const QString sub = args.takeFirst();
    if (sub == QLatin1String("show")) {
        if (parsed.isSet(QStringLiteral("currency")) || parsed.isSet(QStringLiteral("name")))
            return cli::usage(context);
        return runDbShow(args, context);
    }
    using Runner = int (*)(const CliArgs&, const QStringList&, CliContext&, DatabaseSession&);
    Runner runner = nullptr;
    if (sub == QLatin1String("new"))
        runner = runNew;
    else if (sub == QLatin1String("convert"))
        runner = runConvert;
    if (!runner)
        return cli::usage(context);

    QTemporaryDir dir;
    if (!dir.isValid())
        return fail(QStringLiteral("Nie mogę utworzyć katalogu tymczasowego"));
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    return runner(parsed, args, context, session);
}

} // namespace

VDUNO_COMMAND(db, {"db",
                   CommandGroup::Database,
                   "new|convert|show ...",
                   "nowa baza, przeniesienie starej do bieżącego formatu, rekordy tabeli",
                   {{"currency", "SYMBOL", "new: symbol waluty ewidencyjnej (domyślnie PLN)"},
                    {"name", "NAZWA", "new: nazwa bazy (domyślnie nazwa pliku)"}},
                   {"db new sklep.vkf --currency PLN", "db convert stara.vkf nowa.vkf",
                    "db show sklep.vkf articles --json"},
                   runDb,
                   details,
                   words})
