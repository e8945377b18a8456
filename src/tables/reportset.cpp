#include "reportset.h"

#include "database/registerdatabase.h"

#include <QStringList>

ReportSet loadReportSet(RegisterDatabase& db)
{
    return ReportSet::decode(db.readBytes(layout::ReportSet.base, ReportSet::Size));
}

bool storeReportSet(RegisterDatabase& db, const ReportSet& set)
{
    return db.writeRecord(layout::ReportSet.base, set.encode());
}

ReportSet ReportSet::decode(QByteArrayView b)
{
    ReportSet r;
    for (int i = 0; i < Size; ++i)
        r.choices[i] = quint8(b[i]);
    return r;
}

QByteArray ReportSet::encode() const
{
    QByteArray b(Size, '\0');
    for (int i = 0; i < Size; ++i)
        b[i] = char(choices[i]);
    return b;
}

const QStringList& reportSetNames()
{
    static const QStringList names{QStringLiteral("Raport bazy z PTU niezerujący"),
                                   QStringLiteral("Raport form płatności niezerujący"),
                                   QStringLiteral("Raport grup towarowych niezerujący"),
                                   QStringLiteral("Raport opakowań niezerujący"),
                                   QStringLiteral("Raport pełny bazy PLU niezerujący"),
                                   QStringLiteral("Raport sprzedaży niezerujący"),
                                   QStringLiteral("Raport zmianowy kasjerów niezerujący"),
                                   QStringLiteral("Raport rabatów niezerujący"),
                                   QStringLiteral("Raport PTU"),
                                   QStringLiteral("Raport kasy"),
                                   QStringLiteral("Raport klawiszy szybkich "),
                                   QStringLiteral("Raport sprzedaży zerujący"),
                                   QStringLiteral("Raport zmianowy kasjerów zerujący"),
                                   QStringLiteral("Raport opakowań zerujący"),
                                   QStringLiteral("Raport form płatności zerujący"),
                                   QStringLiteral("Raport grup towarowych zerujący"),
                                   QStringLiteral("Raport rabatów zerujący"),
                                   QStringLiteral("Raport dobowy"),
                                   QStringLiteral("Parametry rozkazu")};
    return names;
}

const QStringList& reportSetChoices()
{
    static const QStringList c{QStringLiteral("Niezaprogramowany"), QStringLiteral("Pełny"),
                               QStringLiteral("Rekordów niezerowych")};
    return c;
}
