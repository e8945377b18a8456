#pragma once

// The run that "vduno send" makes over one of the small tables (cashiers, discounts, payment
// forms, currencies, packaging, groups): every listed used record as a frame of its own, the
// refusals and the closing line printed.
#include "command.h"

#include "database/databasesession.h"
#include "link/answers.h"
#include "tables/recordsend.h"

#include <QList>

#include <vector>

namespace cli {

inline int sendTableRun(DatabaseSession& db, const std::vector<int>& numbers, Link& link,
                        TransferUi& ui, const recordsend::Source& source, const QString& noun)
{
    QList<int> list;
    for (int n : numbers)
        if (n <= source.table.count)
            list.append(n);
    if (!numbers.empty() && list.isEmpty()) {
        err(QStringLiteral("Brak rekordów o podanych numerach."));
        return ExitUsage;
    }
    const recordsend::RunResult run = recordsend::sendAll(link, ui, db.database(), source, list, 0);
    for (const recordsend::Refusal& r : run.refused)
        err(QString::number(r.number) + QStringLiteral(". ") +
            answers::deviceErrorMessage(r.deviceError));
    // A run the line broke says so where failures are told.
    if (run.failure >= 0 || run.failure == recordsend::SendFailed)
        err(recordsend::summary(run, noun));
    else
        out(recordsend::summary(run, noun));
    return run.complete() ? ExitOk : ExitFailure;
}

} // namespace cli
