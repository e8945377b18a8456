#include "tprogramowaniewalutobcych.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "tables/currencyrecord.h"
#include "tables/recordsend.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

TProgramowanieWalutObcych::TProgramowanieWalutObcych(AppSession& session, QWidget* parent)
    : TableForm(session, layout::Currencies, QStringLiteral("Edycja bazy walut obcych"), parent)
{
    Edit1 = addField(QStringLiteral("Edit1"), QStringLiteral("Numer"), 2);
    Edit2 = addField(QStringLiteral("Edit2"), QStringLiteral("Nazwa"), 21);
    Edit3 = addField(QStringLiteral("Edit3"), QStringLiteral("Kurs"), 12);
    Edit4 = addField(QStringLiteral("Edit4"), QStringLiteral("Symbol"), 3);

    setColumns({QStringLiteral("Numer"), QStringLiteral("Nazwa"), QStringLiteral("Kurs"),
                QStringLiteral("Symbol")},
               10);
    deleteButton->setText(QStringLiteral("Usuń walutę"));
    confirm->setText(QStringLiteral("Potwiedzenie z klawiatury kasy"));
}

void TProgramowanieWalutObcych::fillRows(QByteArrayView table)
{
    int row = 0;
    for (int n = 1; n <= layout::Currencies.count; ++n) {
        const CurrencyRecord r = CurrencyRecord::decode(layout::Currencies.record(table, n));
        if (r.number != 0)
            setRow(row++,
                   {QString::number(r.number), r.name, rateText(r.mantissa, r.decimals), r.symbol});
    }
}

void TProgramowanieWalutObcych::proposeNumber(QByteArrayView table)
{
    const int n = lowestFree(table, layout::Currencies, 10);
    Edit1->setText(n ? QString::number(n) : QString());
}

bool TProgramowanieWalutObcych::add(QByteArrayView table)
{
    // The rate's first "." becomes "," in the field as well, once every field is filled.
    if (!Edit1->text().isEmpty() && !Edit2->text().isEmpty() && !Edit3->text().isEmpty() &&
        !Edit4->text().isEmpty()) {
        QString rate = Edit3->text();
        if (const qsizetype dot = rate.indexOf(u'.'); dot >= 0) {
            rate[dot] = u',';
            Edit3->setText(rate);
        }
    }
    const CurrencyInput in{Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text()};
    const auto record = accepted(validateCurrency(in, table));
    if (!record || !session().hasDatabase())
        return false;
    if (!store(record->number, record->encode()))
        return false;
    Edit2->clear();
    Edit3->clear();
    Edit4->clear();
    Edit2->setFocus();
    return true;
}

void TProgramowanieWalutObcych::send(int number)
{
    sendAndReport(recordsend::currencies(), number,
                  {QStringLiteral("Walutę zapisano w kasie"),
                   QStringLiteral("Błąd! Kasa nie potwierdziła zapisu waluty!")});
}

VDUNO_REGISTER_FORM(TProgramowanieWalutObcych)
