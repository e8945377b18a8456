#include "preflight.h"

#include "common/cp1250.h"
#include "database/registerdatabase.h"
#include "tables/articlerecord.h"
#include "tables/articlewarnings.h"
#include "tables/vatrates.h"

namespace wholereg {

namespace {

// The record name of a small table, as the register prints it (cp1250, 0-padded).
QString storedName(QByteArrayView record, int from, int width)
{
    return cp1250::readField(record.sliced(from, width));
}

bool slotUsed(QByteArrayView table, const TableLayout& layout, int n)
{
    return n >= 1 && n <= layout.count && table[qsizetype(n - 1) * layout.recordSize] != 0;
}

struct NamedTable {
    QString title;
    QString noun;
    TableLayout layout;
    int nameFrom;
    int nameWidth;
};

QString vatLine(const VatRates& rates)
{
    QStringList parts;
    for (int i = 0; i < 7; ++i) {
        const quint16 v = rates.values[size_t(i)];
        QString text = v == VatRates::Inactive ? QStringLiteral("nieaktywna")
                       : v == VatRates::Exempt ? QStringLiteral("zwolniona")
                                               : VatRates::rateText(v) + u'%';
        parts << QString(QChar(u'A' + i)) + u' ' + text;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

QList<Problem> preflight(RegisterDatabase& db, const std::optional<QByteArray>& registerVat)
{
    QList<Problem> problems;
    const QByteArray articles = db.readBytes(layout::Articles.base, layout::Articles.bytes());
    const QByteArray groups = db.readBytes(layout::Groups.base, layout::Groups.bytes());
    const QByteArray packaging = db.readBytes(layout::Packaging.base, layout::Packaging.bytes());
    const VatRates pcVat = VatRates::decode(db.readBytes(layout::VatRates.base, VatRates::Size));
    const QString articlesTitle = QStringLiteral("Towary");

    for (int n = 1; n <= layout::Articles.count; ++n) {
        const QByteArrayView bytes = layout::Articles.record(articles, n);
        if (!ArticleRecord::used(bytes))
            continue;
        const ArticleRecord a = ArticleRecord::decode(bytes);
        // Worded as the article form's own warnings: "Towar 12: ...".
        const QString who = QStringLiteral("Towar ") + QString::number(n) + QStringLiteral(": ");
        // Every article belongs to a programmed group; the register refuses group 0 too.
        if (a.group == 0)
            problems.append({articlesTitle, n, who + QStringLiteral("nie ma grupy towarowej")});
        else if (!slotUsed(groups, layout::Groups, a.group))
            problems.append({articlesTitle, n,
                             who + QStringLiteral("grupa towarowa ") + QString::number(a.group) +
                                 QStringLiteral(" jest pusta")});
        if (a.tandem != 0 && !slotUsed(packaging, layout::Packaging, a.tandem))
            problems.append({articlesTitle, n,
                             who + QStringLiteral("opakowanie ") + QString::number(a.tandem) +
                                 QStringLiteral(" jest puste")});
        const int rate = a.vat - 'A';
        if (rate < 0 || rate >= 7 || pcVat.values[size_t(rate)] == VatRates::Inactive)
            problems.append({articlesTitle, n,
                             who + QStringLiteral("stawka PTU ") + QChar::fromLatin1(a.vat) +
                                 QStringLiteral(" jest nieaktywna")});
        // The warnings name the article themselves ("Towar 12: ...").
        for (const QString& w : articlewarnings::warnings(n, a.name, a.barcode))
            problems.append({articlesTitle, n, w});
    }

    const QList<NamedTable> named = {
        {QStringLiteral("Grupy towarowe"), QStringLiteral("Grupa towarowa"), layout::Groups, 1, 21},
        {QStringLiteral("Opakowania"), QStringLiteral("Opakowanie"), layout::Packaging, 1, 42},
        {QStringLiteral("Kasjerzy"), QStringLiteral("Kasjer"), layout::Cashiers, 1, 21},
        {QStringLiteral("Rabaty i narzuty"), QStringLiteral("Rabat"), layout::Discounts, 1, 21},
        {QStringLiteral("Formy płatności"), QStringLiteral("Forma płatności"), layout::PaymentForms,
         1, 21},
        {QStringLiteral("Waluty"), QStringLiteral("Waluta"), layout::Currencies, 1, 21},
    };
    for (const NamedTable& t : named) {
        const QByteArray table = db.readBytes(t.layout.base, t.layout.bytes());
        for (int n = 1; n <= t.layout.count; ++n) {
            if (!slotUsed(table, t.layout, n))
                continue;
            const QString name = storedName(t.layout.record(table, n), t.nameFrom, t.nameWidth);
            const QString bad = articlewarnings::unprintableCharacters(name);
            if (!bad.isEmpty())
                problems.append({t.title, n,
                                 t.noun + u' ' + QString::number(n) +
                                     QStringLiteral(": nazwa zawiera znaki, których kasa nie "
                                                    "wydrukuje: ") +
                                     bad});
        }
    }

    if (!registerVat || VatRates::decode(*registerVat) != pcVat) {
        QString text = QStringLiteral("Zmiana stawek PTU na: ") + vatLine(pcVat) +
                       QStringLiteral(". Kasa zapisze ją w pamięci fiskalnej i może ją odrzucić");
        if (registerVat)
            text += QStringLiteral(" (w kasie: ") + vatLine(VatRates::decode(*registerVat)) + u')';
        else
            text += QStringLiteral(" (stawek kasy nie udało się odczytać)");
        problems.append({QStringLiteral("Stawki PTU"), 0, text});
    }
    return problems;
}

QString preflightQuestion(const QList<Problem>& problems)
{
    QStringList lines;
    lines << QStringLiteral("Kasa może odrzucić część danych:");
    constexpr int Shown = 25; // a message box taller than the screen helps nobody
    for (int i = 0; i < problems.size() && i < Shown; ++i)
        lines << problems[i].text;
    if (problems.size() > Shown)
        lines << QStringLiteral("… i %1 innych.").arg(problems.size() - Shown);
    lines << QString() << QStringLiteral("Kontynuować programowanie kasy?");
    return lines.join(u'\n');
}

} // namespace wholereg
