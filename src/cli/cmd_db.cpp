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

int usage()
{
    cli::err(QStringLiteral("Użycie: vduno db new PLIK.vkf [--currency SYMBOL] [--name NAZWA]"));
    cli::err(QStringLiteral("        vduno db convert WEJŚCIE.vkf WYJŚCIE.vkf"));
    return ExitUsage;
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

int runNew(QStringList args, CliContext& context, DatabaseSession& session)
{
    bool missing = false;
    QString symbol = cli::takeOption(args, QStringLiteral("--currency"), &missing);
    if (missing)
        return usage();
    QString name = cli::takeOption(args, QStringLiteral("--name"), &missing);
    if (missing || args.size() != 1 || args.first().startsWith(QLatin1String("--")))
        return usage();
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

int runConvert(const QStringList& args, CliContext& context, DatabaseSession& session)
{
    if (args.size() != 2)
        return usage();
    const DbResult opened = session.openDatabaseFile(args.at(0));
    if (!opened.ok)
        return fail(opened.message);
    return save(session, args.at(1), context);
}

int runDb(const QStringList& arguments, CliContext& context)
{
    QStringList args = arguments;
    if (args.isEmpty())
        return usage();
    const QString sub = args.takeFirst();
    if (sub == QLatin1String("show"))
        return runDbShow(args, context);
    using Runner = int (*)(QStringList, CliContext&, DatabaseSession&);
    Runner runner = nullptr;
    if (sub == QLatin1String("new"))
        runner = runNew;
    else if (sub == QLatin1String("convert"))
        runner = [](QStringList a, CliContext& c, DatabaseSession& s) {
            return runConvert(a, c, s);
        };
    if (!runner)
        return usage();

    QTemporaryDir dir;
    if (!dir.isValid())
        return fail(QStringLiteral("Nie mogę utworzyć katalogu tymczasowego"));
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    return runner(args, context, session);
}

} // namespace

VDUNO_COMMAND(db,
              "db new PLIK.vkf [--currency SYM] [--name NAZWA] | db convert WE.vkf WY.vkf | "
              "db show PLIK.vkf TABELA",
              runDb)
