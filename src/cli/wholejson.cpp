#include "wholejson.h"

#include "transfer/whole/tableoutcome.h"
#include "transfer/whole/verify.h"

namespace cli {

QJsonArray tablesJson(const QList<wholereg::TableOutcome>& tables)
{
    QJsonArray list;
    for (const wholereg::TableOutcome& t : tables) {
        QJsonArray refused;
        for (const wholereg::RefusedRecord& r : t.refused)
            refused.append(QJsonObject{{QStringLiteral("number"), r.number},
                                       {QStringLiteral("deviceError"), r.deviceError}});
        QJsonObject row{{QStringLiteral("table"), t.table},
                        {QStringLiteral("state"), wholereg::stateText(t.state)},
                        {QStringLiteral("records"), t.records},
                        {QStringLiteral("listed"), t.listed},
                        {QStringLiteral("refused"), refused}};
        if (!t.note.isEmpty())
            row.insert(QStringLiteral("note"), t.note);
        list.append(row);
    }
    return list;
}

QJsonObject verifyJson(const wholereg::VerifyResult& verified)
{
    return {{QStringLiteral("equal"), verified.equal},
            {QStringLiteral("complete"), verified.complete},
            {QStringLiteral("rounds"), verified.rounds},
            {QStringLiteral("mended"), verified.mended},
            {QStringLiteral("differing"), QJsonArray::fromStringList(verified.differing)}};
}

} // namespace cli
