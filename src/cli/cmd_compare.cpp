#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "database/databasesession.h"
#include "link/answers.h"
#include "link/link.h"
#include "sync/articlesync.h"
#include "sync/compare.h"
#include "sync/tablesync.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

// vduno compare FILE.vkf TABLE: reads the register's table and prints, record number by
// record number, whether it is only on the PC, only in the register, equal, or different
// and in which fields. Exit 0 when both sides hold the same records, 1 otherwise.
namespace {

int usage()
{
    cli::err(QStringLiteral("Użycie: vduno compare PLIK.vkf TABELA"));
    QStringList names{QStringLiteral("articles")};
    for (const basesync::TableMember* m : basesync::tableMembers())
        names.append(m->id);
    cli::err(QStringLiteral("Tabele: ") + names.join(QStringLiteral(", ")));
    return ExitUsage;
}

// A read that ended on "Pusta baza." found an empty table; anything else that did not reach
// the last frame is a failure.
bool readUsable(const basesync::ReadOutcome& outcome, const CliUi& ui, qsizetype messagesBefore)
{
    if (outcome.complete)
        return true;
    return outcome.received == 0 && ui.messages.size() > messagesBefore &&
           ui.messages.last() == QStringLiteral("Pusta baza.");
}

void printJson(const QString& table, const QList<basesync::Comparison>& result)
{
    QJsonArray records;
    for (const basesync::Comparison& c : result) {
        QString state;
        switch (c.kind) {
        case basesync::Comparison::OnlyPc:
            state = QStringLiteral("onlyPc");
            break;
        case basesync::Comparison::OnlyRegister:
            state = QStringLiteral("onlyRegister");
            break;
        case basesync::Comparison::Equal:
            state = QStringLiteral("equal");
            break;
        case basesync::Comparison::Different:
            state = QStringLiteral("different");
            break;
        }
        records.append(QJsonObject{{QStringLiteral("number"), c.number},
                                   {QStringLiteral("state"), state},
                                   {QStringLiteral("fields"), QJsonArray::fromStringList(c.fields)},
                                   {QStringLiteral("text"), basesync::comparisonText(c)}});
    }
    cli::outJson(QJsonDocument(QJsonObject{{QStringLiteral("table"), table},
                                           {QStringLiteral("equal"), basesync::allEqual(result)},
                                           {QStringLiteral("records"), records}}));
}

int runCompare(const QStringList& args, CliContext& context)
{
    if (args.size() != 2)
        return usage();
    const QString table = args.at(1);
    const basesync::TableMember* member = basesync::tableMember(table);
    if (!member && table != QLatin1String("articles")) {
        cli::err(QStringLiteral("Nieznana tabela: ") + table);
        return usage();
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        cli::err(QStringLiteral("Nie mogę utworzyć katalogu tymczasowego"));
        return ExitFailure;
    }
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    const DbResult opened = session.openDatabaseFile(args.at(0));
    if (!opened.ok) {
        cli::err(opened.message);
        return ExitFailure;
    }
    CliUi& ui = *context.ui;
    Link& link = Link::instance();
    if (!cli::openLink(context, link, ui))
        return ExitFailure;

    QList<basesync::Comparison> result;
    const qsizetype before = ui.messages.size();
    if (member) {
        basesync::TableSync sync(*member);
        const basesync::ReadOutcome outcome = sync.read(link, ui);
        if (!readUsable(outcome, ui, before)) {
            link.closePort();
            return ExitFailure;
        }
        result = basesync::compareTable(session.database(), sync);
    } else {
        const int type = cli::registerType(link, ui);
        if (type == 0) {
            link.closePort();
            return ExitFailure;
        }
        basesync::ArticleSync sync;
        const qsizetype afterProbe = ui.messages.size();
        const basesync::ReadOutcome outcome = sync.read(link, ui, type);
        if (!readUsable(outcome, ui, afterProbe)) {
            link.closePort();
            return ExitFailure;
        }
        result = basesync::compareArticles(session.database(), sync, type);
    }
    link.closePort();
    if (context.json)
        printJson(table, result);
    else
        for (const basesync::Comparison& c : result)
            cli::out(basesync::comparisonText(c));
    return basesync::allEqual(result) ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(compare, "compare PLIK.vkf TABELA  porównuje tabelę pliku z tabelą kasy", runCompare)
