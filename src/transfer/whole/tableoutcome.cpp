#include "tableoutcome.h"

#include "link/answers.h"

namespace wholereg {

QString stateText(TableOutcome::State state)
{
    switch (state) {
    case TableOutcome::State::Done:
        return QStringLiteral("wykonano");
    case TableOutcome::State::Empty:
        return QStringLiteral("pusta");
    case TableOutcome::State::Kept:
        return QStringLiteral("domyślna");
    case TableOutcome::State::Refused:
        return QStringLiteral("odmowy");
    case TableOutcome::State::Failed:
        return QStringLiteral("błąd");
    case TableOutcome::State::Stopped:
        return QStringLiteral("przerwano");
    case TableOutcome::State::Waiting:
        break;
    }
    return QStringLiteral("pominięto");
}

QString recordsText(const TableOutcome& table)
{
    QString count = QString::number(table.records);
    if (table.listed > 0)
        count += u'/' + QString::number(table.listed);
    return count;
}

QStringList refusedLines(const QList<TableOutcome>& tables)
{
    QStringList lines;
    for (const TableOutcome& t : tables)
        for (const RefusedRecord& r : t.refused)
            lines << t.table + u' ' + QString::number(r.number) + QStringLiteral(": ") +
                         answers::deviceErrorMessage(r.deviceError);
    return lines;
}

QStringList summaryLines(const QList<TableOutcome>& tables)
{
    QStringList lines;
    lines << QStringLiteral("%1 %2  %3")
                 .arg(QStringLiteral("Tabela"), -20)
                 .arg(QStringLiteral("Rekordy"), 9)
                 .arg(QStringLiteral("Wynik"));
    for (const TableOutcome& t : tables) {
        QString line = QStringLiteral("%1 %2  %3")
                           .arg(t.table, -20)
                           .arg(recordsText(t), 9)
                           .arg(stateText(t.state));
        if (!t.note.isEmpty())
            line += QStringLiteral(" – ") + t.note;
        lines << line;
    }
    return lines + refusedLines(tables);
}

QString totalsText(const QList<TableOutcome>& tables)
{
    int records = 0, listed = 0, refused = 0;
    for (const TableOutcome& t : tables) {
        records += t.records;
        listed += t.listed;
        refused += int(t.refused.size());
    }
    QString text = listed > 0 ? QStringLiteral("%1 z %2 rekordów").arg(records).arg(listed)
                              : QStringLiteral("%1 rekordów").arg(records);
    if (refused > 0)
        text += QStringLiteral(", odmowy: ") + QString::number(refused);
    return text;
}

bool allDone(const QList<TableOutcome>& tables)
{
    for (const TableOutcome& t : tables)
        if (t.state != TableOutcome::State::Done && t.state != TableOutcome::State::Empty &&
            t.state != TableOutcome::State::Kept)
            return false;
    return true;
}

} // namespace wholereg
