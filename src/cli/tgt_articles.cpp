// vduno send FILE.vkf articles [--numbers LIST] and vduno read FILE.vkf articles.
#include "clilink.h"
#include "cliui.h"
#include "command.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "link/answers.h"
#include "link/link.h"
#include "tables/articleread.h"
#include "tables/articlesend.h"

#include <cstdio>
#include <unistd.h>

namespace {

int sendArticles(DatabaseSession& db, const std::vector<int>& numbers, CliContext& context,
                 Link& link, TransferUi& ui)
{
    QList<int> list;
    if (numbers.empty())
        list = articlesend::usedArticles(db.database());
    else
        for (int n : numbers)
            if (n <= 2000)
                list.append(n);
    const int type = cli::registerType(link, ui);
    if (type == 0)
        return ExitFailure;
    articlesend::Panel panel;
    // Redrawn in place, which several registers at once cannot share: a chain logs progress.
    // Like all progress, only on a terminal and not with --quiet.
    const bool counter = !context.link && !context.quiet && isatty(fileno(stderr)) != 0;
    if (counter)
        panel.programmed = [](int done, int listed) {
            std::fprintf(stderr, "\rLiczba wysłanych towarów: %d/%d", done, listed);
            std::fflush(stderr);
        };
    const articlesend::RunResult run =
        articlesend::sendAll(link, ui, db.database(), list, type, panel);
    if (counter)
        std::fputc('\n', stderr);
    for (const QString& message : run.messages())
        cli::out(message);
    const bool broken = run.end == articlesend::RunResult::End::TransmissionError ||
                        run.end == articlesend::RunResult::End::SalesNotZero;
    return broken || !run.refused.isEmpty() ? ExitFailure : ExitOk;
}

int readArticles(DatabaseSession& db, CliContext&, Link& link, TransferUi& ui)
{
    const int type = cli::registerType(link, ui);
    if (type == 0)
        return ExitFailure;
    const articleread::Result r = articleread::readArticles(link, ui, db.database(), type);
    if (r.recordsWritten > 0)
        db.setModified(true);
    cli::out(QStringLiteral("Odczytano towarów: ") + QString::number(r.recordsWritten));
    if (!r.rereadText().isEmpty())
        cli::out(r.rereadText());
    if (r.writeFailed)
        cli::err(QStringLiteral("     Błąd! Nie dodano towaru     "));
    return r.complete() ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_TABLE_TARGET(articles, "towary (baza PLU)", sendArticles, readArticles)
