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

// vduno compare FILE.vkf [TABLE]: reads the register's table and prints, record number by
// record number, whether it is only on the PC, only in the register, equal, or different
// and in which fields; without a table every table, with a line of counts each and only the
// records that differ. Exit 0 when both sides hold the same records, 1 otherwise.
namespace {

QStringList tables()
{
    QStringList names{QStringLiteral("articles")};
    for (const basesync::TableMember* m : basesync::tableMembers())
        names.append(m->id);
    return names;
}

QStringList details()
{
    return {QStringLiteral("Tabele: ") + tables().join(QStringLiteral(", ")),
            QStringLiteral("Bez tabeli porównuje wszystkie. Kod wyjścia 0: kasa zgodna z bazą, "
                           "1: różni się (albo odczyt się nie udał), 3: kasa nie odpowiada.")};
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

QJsonObject tableJson(const QString& table, const QList<basesync::Comparison>& result)
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
    return QJsonObject{{QStringLiteral("table"), table},
                       {QStringLiteral("equal"), basesync::allEqual(result)},
                       {QStringLiteral("records"), records}};
}

// Reads the register's table and sets it beside the file's; false when the read did not come
// whole (the reason has been shown).
bool compareOne(DatabaseSession& session, const QString& table, Link& link, CliUi& ui,
                QList<basesync::Comparison>& result, QString& reread)
{
    const qsizetype before = ui.messages.size();
    if (const basesync::TableMember* member = basesync::tableMember(table)) {
        basesync::TableSync sync(*member);
        const basesync::ReadOutcome outcome = sync.read(link, ui);
        if (!readUsable(outcome, ui, before))
            return false;
        result = basesync::compareTable(session.database(), sync);
        reread = outcome.rereadText();
        return true;
    }
    const int type = cli::registerType(link, ui);
    if (type == 0)
        return false;
    basesync::ArticleSync sync;
    const qsizetype afterProbe = ui.messages.size();
    const basesync::ReadOutcome outcome = sync.read(link, ui, type);
    if (!readUsable(outcome, ui, afterProbe))
        return false;
    result = basesync::compareArticles(session.database(), sync, type);
    reread = outcome.rereadText();
    return true;
}

// "zgodne 298, różne 2, tylko w PC 0, tylko w kasie 1"
QString countsText(const QList<basesync::Comparison>& result)
{
    int counts[4] = {};
    for (const basesync::Comparison& c : result)
        ++counts[c.kind];
    return QStringLiteral("zgodne %1, różne %2, tylko w PC %3, tylko w kasie %4")
        .arg(counts[basesync::Comparison::Equal])
        .arg(counts[basesync::Comparison::Different])
        .arg(counts[basesync::Comparison::OnlyPc])
        .arg(counts[basesync::Comparison::OnlyRegister]);
}

int runCompare(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    if (args.size() != 1 && args.size() != 2)
        return cli::usage(context);
    QStringList tables;
    if (args.size() == 2) {
        const QString table = args.at(1);
        if (!basesync::tableMember(table) && table != QLatin1String("articles")) {
            return cli::unknownTable(context, table);
        }
        tables << table;
    } else {
        tables << QStringLiteral("articles");
        for (const basesync::TableMember* m : basesync::tableMembers())
            tables << m->id;
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
    Link& link = cli::commandLink(context);
    if (!cli::openLink(context, link, ui))
        return ExitFailure;

    QList<QPair<QString, QList<basesync::Comparison>>> compared;
    for (const QString& table : tables) {
        QList<basesync::Comparison> result;
        QString reread;
        if (!compareOne(session, table, link, ui, result, reread)) {
            link.closePort();
            return ExitFailure;
        }
        compared.append({table, result});
        // What the line damaged and a second pass brought is told beside the results.
        if (!reread.isEmpty())
            cli::err(table + QStringLiteral(": ") + reread);
    }
    link.closePort();

    QList<basesync::Comparison> all;
    for (const auto& [table, result] : compared)
        all += result;
    const bool equal = basesync::allEqual(all);
    if (context.report) {
        context.report->result =
            equal ? QStringLiteral("Zgodna z bazą") : QStringLiteral("Różni się od bazy");
        context.report->counts = countsText(all);
    }
    if (context.json) {
        if (tables.size() == 1) {
            cli::outJson(QJsonDocument(tableJson(tables.first(), compared.first().second)));
        } else {
            QJsonArray list;
            for (const auto& [table, result] : compared)
                list.append(tableJson(table, result));
            cli::outJson(QJsonDocument(
                QJsonObject{{QStringLiteral("equal"), equal}, {QStringLiteral("tables"), list}}));
        }
    } else if (tables.size() == 1) {
        for (const basesync::Comparison& c : compared.first().second)
            cli::out(basesync::comparisonText(c));
    } else {
        // Every table: a line of counts each, and only the records that differ.
        for (const auto& [table, result] : compared) {
            cli::out(table + QStringLiteral(": ") + countsText(result));
            for (const basesync::Comparison& c : result)
                if (c.kind != basesync::Comparison::Equal)
                    cli::out(QStringLiteral("  ") + basesync::comparisonText(c));
        }
    }
    return equal ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(compare, {"compare",
                        CommandGroup::Database,
                        "PLIK.vkf [TABELA]",
                        "porównuje tabele pliku z tabelami kasy",
                        {},
                        {"--device /dev/ttyUSB0 compare sklep.vkf",
                         "--device /dev/ttyUSB0 compare sklep.vkf articles --json"},
                        runCompare,
                        details,
                        tables})
