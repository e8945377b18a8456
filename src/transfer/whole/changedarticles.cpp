#include "changedarticles.h"

#include "common/transferrun.h"
#include "database/registerdatabase.h"
#include "tables/articlerecord.h"
#include "tables/articlesend.h"
#include "tables/tablelayout.h"

namespace wholereg {

RestoreOptions changedArticlesOptions()
{
    RestoreOptions options;
    options.changedOnly = true;
    options.only = {Step::Articles};
    return options;
}

ChangedArticlesReport changedArticlesReport(const RestoreResult& result, RegisterDatabase& db)
{
    ChangedArticlesReport report;
    if (result.declined || result.tables.isEmpty())
        return report;
    const TableOutcome& t = result.tables.first();
    const bool stopped = t.state == TableOutcome::State::Stopped;
    QString& text = report.summary;
    if (result.finished && t.listed == 0) {
        text = QStringLiteral("Towary w kasie są takie same jak w bazie. Nie wysłano żadnego "
                              "towaru.");
    } else if (!result.finished && t.listed == 0) {
        // The register's base did not come whole: nothing could be compared or sent.
        text = stopped ? QStringLiteral("Przerwano odczyt towarów z kasy.")
                       : QStringLiteral("Nie udało się odczytać towarów z kasy.");
        if (!t.note.isEmpty() && !stopped)
            text += u' ' + t.note;
        text += QStringLiteral(" Nie wysłano żadnego towaru.");
    } else {
        text = QStringLiteral("Zmienione i nowe towary: ") + QString::number(t.listed) +
               QStringLiteral(". Zaprogramowano ") + QString::number(t.records) +
               QStringLiteral(" towarów.");
        if (!t.refused.isEmpty())
            text += QStringLiteral(" Nie udało się zaprogramować ") +
                    QString::number(t.refused.size()) + QStringLiteral(" towarów.");
        if (!result.finished)
            text += u' ' + (stopped ? stoppedSendText(t.records, t.listed) : t.note);
    }
    const QStringList onlyInRegister = onlyInRegisterLines(result.onlyInRegister);
    if (!onlyInRegister.isEmpty())
        text += u'\n' + onlyInRegister.join(u'\n');
    text = text.trimmed();
    report.warning = !result.finished || !t.refused.isEmpty();

    if (!t.refused.isEmpty()) {
        // The article send's own list, with the names the database gives them.
        articlesend::RunResult refused;
        for (const RefusedRecord& r : t.refused)
            refused.refused.append({r.number,
                                    loadRecord<ArticleRecord>(db, layout::Articles, r.number).name,
                                    r.deviceError});
        report.failures = refused.failureList();
    }
    return report;
}

} // namespace wholereg
