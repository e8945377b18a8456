#include "tprogramowanierabatow.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "database/databasesession.h"
#include "tables/discountrecord.h"
#include "tables/recordsend.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QGroupBox* choice(QWidget* parent, const QString& title, QRadioButton*& first,
                  const QString& firstText, QRadioButton*& second, const QString& secondText)
{
    auto* box = new QGroupBox(title, parent);
    auto* row = new QHBoxLayout(box);
    first = new QRadioButton(firstText, box);
    second = new QRadioButton(secondText, box);
    first->setChecked(true);
    row->addWidget(first);
    row->addWidget(second);
    return box;
}

} // namespace

TProgramowanieRabatow::TProgramowanieRabatow(AppSession& session, QWidget* parent)
    : TableForm(session, layout::Discounts, QStringLiteral("Edycja bazy rabatów/narzutów"), parent)
{
    Edit1 = addField(QStringLiteral("Edit1"), QStringLiteral("Numer"), 2);
    Edit2 = addField(QStringLiteral("Edit2"), QStringLiteral("Nazwa"), 21);
    Edit3 = addField(QStringLiteral("Edit3"), QStringLiteral("Wartość"), 9);
    unit = new QLabel(QStringLiteral("%"), this);
    unit->setObjectName(QStringLiteral("Jednostka"));
    addBesideField(QStringLiteral("Edit3"), unit);

    auto* choices = new QWidget(this);
    auto* row = new QHBoxLayout(choices);
    row->addWidget(choice(choices, QStringLiteral("Typ"), percentage, QStringLiteral("Procentowy"),
                          amount, QStringLiteral("Kwotowy")));
    row->addWidget(choice(choices, QStringLiteral("Rodzaj"), discount, QStringLiteral("Rabat"),
                          markup, QStringLiteral("Narzut")));
    addBelowFields(choices);

    setColumns({QStringLiteral("Nr"), QStringLiteral("Nazwa"), QStringLiteral("Rodzaj"),
                QStringLiteral("Wartość"), QStringLiteral("Typ")},
               20);
    deleteButton->setText(QStringLiteral("Usuń rabat/narzut"));
    sendButton->setText(QStringLiteral("Wyśilj do kasy"));
    confirm->setText(QStringLiteral("Potwierdzaj wprowadzanie rabatów z klawiatury kasy"));

    connect(percentage, &QRadioButton::toggled, this, &TProgramowanieRabatow::TypClick);
}

QString TProgramowanieRabatow::currencySymbol()
{
    return session().session().currencySymbol().trimmed();
}

void TProgramowanieRabatow::TypClick()
{
    unit->setText(percentage->isChecked() ? QStringLiteral("%") : currencySymbol());
}

void TProgramowanieRabatow::fillRows(QByteArrayView table)
{
    int row = 0;
    for (int n = 1; n <= layout::Discounts.count; ++n) {
        const DiscountRecord r = DiscountRecord::decode(layout::Discounts.record(table, n));
        if (r.number != 0)
            setRow(row++, discountGridRow(r, currencySymbol()));
    }
}

void TProgramowanieRabatow::proposeNumber(QByteArrayView table)
{
    const int n = lowestFree(table, layout::Discounts, layout::Discounts.count);
    Edit1->setText(n ? QString::number(n) : QString());
}

bool TProgramowanieRabatow::add(QByteArrayView table)
{
    DiscountInput in{Edit1->text(), Edit2->text(), Edit3->text(),
                     markup->isChecked() ? DiscountRecord::Markup : DiscountRecord::Discount,
                     amount->isChecked() ? DiscountRecord::Amount : DiscountRecord::Percentage};
    const auto record = accepted(validateDiscount(in, table));
    if (!record || !session().hasDatabase())
        return false;
    if (!store(record->number, record->encode()))
        return false;
    Edit2->clear();
    Edit3->clear();
    Edit2->setFocus();
    return true;
}

void TProgramowanieRabatow::send(int number)
{
    sendAndReport(recordsend::discounts(), number,
                  {QStringLiteral("Rabat/narzut zapisano w kasie"),
                   QStringLiteral("Błąd! Kasa nie potwierdziła zapisu rabatu/narzutu!")});
}

VDUNO_REGISTER_FORM(TProgramowanieRabatow)
