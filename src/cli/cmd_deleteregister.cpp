#include "clilink.h"
#include "cliui.h"
#include "command.h"
#include "tabletarget.h"

#include "link/answers.h"
#include "link/link.h"
#include "sync/articlesync.h"
#include "sync/tablesync.h"

#include <QSet>

#include <memory>

// vduno delete-register TABLE NUMBERS [--confirm]: deletes records in the register. The
// register's table is read first, so that every deletion frame carries the name the register
// holds; the register refuses a name that does not match.
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
    return {QStringLiteral("Tabele: ") + tables().join(QStringLiteral(", "))};
}

int runDeleteRegister(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    const bool confirm = parsed.isSet(QStringLiteral("confirm"));
    if (args.size() != 2)
        return cli::usage(context);
    const QString table = args.at(0);
    const basesync::TableMember* member = basesync::tableMember(table);
    if (!member && table != QLatin1String("articles")) {
        return cli::unknownTable(context, table);
    }
    const int max = member ? member->registerLines : basesync::ArticleSync::Count;
    std::vector<int> numbers;
    QString error;
    if (!cli::parseNumbers(args.at(1), max, numbers, &error)) {
        cli::err(error);
        return ExitUsage;
    }
    CliUi& ui = *context.ui;
    Link& link = cli::commandLink(context);
    if (!cli::openLink(context, link, ui))
        return ExitFailure;

    int type = 2;
    std::unique_ptr<basesync::TableSync> tableSync;
    basesync::ArticleSync articleSync;
    QList<int> present;
    if (member) {
        tableSync = std::make_unique<basesync::TableSync>(*member);
        tableSync->read(link, ui);
        present = tableSync->registerNumbers();
    } else {
        type = cli::registerType(link, ui);
        if (type == 0) {
            link.closePort();
            return ExitFailure;
        }
        articleSync.read(link, ui, type);
        present = articleSync.registerNumbers();
    }
    const QSet<int> inRegister(present.begin(), present.end());
    QSet<int> wanted;
    bool missing = false;
    for (int n : numbers) {
        if (inRegister.contains(n)) {
            wanted.insert(n);
        } else {
            cli::err(QStringLiteral("Brak rekordu ") + QString::number(n) +
                     QStringLiteral(" w kasie."));
            missing = true;
        }
    }
    int done = 0;
    if (!wanted.isEmpty()) {
        if (member)
            done = tableSync->deleteInRegister(link, ui, present, wanted, confirm ? 1 : 0).done;
        else
            done = articleSync.deleteInRegister(link, ui, present, wanted, confirm ? 1 : 0).done;
    }
    link.closePort();
    cli::out(QStringLiteral("Usunięto ") + QString::number(done) + QStringLiteral(" z ") +
             QString::number(numbers.size()));
    cli::jsonField(QStringLiteral("table"), table);
    cli::jsonField(QStringLiteral("asked"), int(numbers.size()));
    cli::jsonField(QStringLiteral("deleted"), done);
    return !missing && done == int(wanted.size()) ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(deleteregister, {"delete-register",
                               CommandGroup::Database,
                               "TABELA NUMERY",
                               "usuwa rekordy w kasie",
                               {{"confirm", nullptr, "kasa potwierdza każde usunięcie wydrukiem"}},
                               {"--device /dev/ttyUSB0 delete-register articles 5,7-9"},
                               runDeleteRegister,
                               details,
                               tables})
