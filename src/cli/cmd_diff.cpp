#include "command.h"

#include "database/databasesession.h"
#include "sync/databasediff.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

// vduno diff A.vkf B.vkf [TABLE]: the records only in A, only in B and those that differ (with
// the fields that differ), table by table. Neither file is written: each is read into a working
// copy of its own. Exit 0 when the tables are equal, 1 when they differ.
namespace {

QStringList tables()
{
    return basesync::diffTableNames();
}

QStringList details()
{
    return {QStringLiteral("Tabele: ") + tables().join(QStringLiteral(", ")),
            QStringLiteral("Kod wyjścia 0: bazy równe, 1: różnią się.")};
}

// A file opened into a working copy in a directory of its own.
struct OpenedFile {
    QTemporaryDir dir;
    DatabaseSession session{dir.filePath(DatabaseSession::WorkingCopyName)};
};

bool open(OpenedFile& file, const QString& path)
{
    if (!file.dir.isValid()) {
        cli::err(QStringLiteral("Nie mogę utworzyć katalogu tymczasowego"));
        return false;
    }
    const DbResult opened = file.session.openDatabaseFile(path);
    if (!opened.ok)
        cli::err(opened.message);
    return opened.ok;
}

QString stateName(basesync::Comparison::Kind kind)
{
    switch (kind) {
    case basesync::Comparison::OnlyPc:
        return QStringLiteral("onlyA");
    case basesync::Comparison::OnlyRegister:
        return QStringLiteral("onlyB");
    case basesync::Comparison::Equal:
        return QStringLiteral("equal");
    case basesync::Comparison::Different:
        break;
    }
    return QStringLiteral("different");
}

void printJson(const QList<basesync::TableDiff>& tables)
{
    QJsonArray list;
    for (const basesync::TableDiff& t : tables) {
        QJsonArray records;
        for (const basesync::Comparison& c : t.records)
            records.append(
                QJsonObject{{QStringLiteral("number"), c.number},
                            {QStringLiteral("state"), stateName(c.kind)},
                            {QStringLiteral("fields"), QJsonArray::fromStringList(c.fields)},
                            {QStringLiteral("text"), t.text(c)}});
        list.append(QJsonObject{{QStringLiteral("table"), t.table},
                                {QStringLiteral("title"), t.title},
                                {QStringLiteral("equal"), t.equal()},
                                {QStringLiteral("records"), records}});
    }
    cli::outJson(QJsonDocument(QJsonObject{{QStringLiteral("equal"), basesync::allEqual(tables)},
                                           {QStringLiteral("tables"), list}}));
}

void printText(const QList<basesync::TableDiff>& tables)
{
    for (const basesync::TableDiff& t : tables) {
        if (t.equal())
            continue;
        cli::out(t.title + QStringLiteral(" (") + t.table + QStringLiteral("):"));
        for (const basesync::Comparison& c : t.records)
            cli::out(QStringLiteral("  ") + t.text(c));
    }
    if (basesync::allEqual(tables))
        cli::out(QStringLiteral("Bazy zgodne."));
}

int runDiff(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (args.size() != 2 && args.size() != 3)
        return cli::usage(context);
    const QString table = args.value(2);
    if (!table.isEmpty() && !basesync::diffTableNames().contains(table)) {
        return cli::unknownTable(context, table);
    }
    OpenedFile a, b;
    if (!open(a, args.at(0)) || !open(b, args.at(1)))
        return ExitUsage;
    const QList<basesync::TableDiff> tables =
        basesync::diffDatabases(a.session.database(), b.session.database(), table);
    if (context.json)
        printJson(tables);
    else
        printText(tables);
    return basesync::allEqual(tables) ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(diff,
              {"diff",
               CommandGroup::Database,
               "A.vkf B.vkf [TABELA]",
               "porównuje dwie bazy, tabela po tabeli",
               {},
               {"diff centrala.vkf sklep1.vkf", "diff centrala.vkf sklep1.vkf articles --json"},
               runDiff,
               details,
               tables})
