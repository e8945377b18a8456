#include "tprogramowanieformplatnosci.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "tables/paymentformrecord.h"
#include "tables/recordsend.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

TProgramowanieFormPlatnosci::TProgramowanieFormPlatnosci(AppSession& session, QWidget* parent)
    : TableForm(session, layout::PaymentForms, QStringLiteral("Edycja bazy form płatności"), parent)
{
    Edit1 = addField(QStringLiteral("Edit1"), QStringLiteral("Numer"), 2);
    Edit2 = addField(QStringLiteral("Edit2"), QStringLiteral("Nazwa"), 21);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(paymentTypeNames());
    addControl(QStringLiteral("Typ"), ComboBox1);

    setColumns({QStringLiteral("Numer"), QStringLiteral("Nazwa"), QStringLiteral("Typ")}, 10);
    deleteButton->setText(QStringLiteral("Usuń z bazy"));
    confirm->setText(QStringLiteral("Potwierdzenie z klawiatury kasy"));
}

void TProgramowanieFormPlatnosci::fillRows(QByteArrayView table)
{
    int row = 0;
    for (int n = 1; n <= layout::PaymentForms.count; ++n) {
        const PaymentFormRecord r =
            PaymentFormRecord::decode(layout::PaymentForms.record(table, n));
        if (r.number != 0)
            setRow(row++, {QString::number(r.number), r.name, paymentTypeName(r.type)});
    }
}

void TProgramowanieFormPlatnosci::proposeNumber(QByteArrayView table)
{
    const int n = lowestFree(table, layout::PaymentForms, 10);
    Edit1->setText(n ? QString::number(n) : QString());
}

bool TProgramowanieFormPlatnosci::add(QByteArrayView table)
{
    const PaymentFormInput in{Edit1->text(), Edit2->text(), ComboBox1->currentIndex()};
    const auto record = accepted(validatePaymentForm(in, table));
    if (!record || !session().hasDatabase())
        return false;
    if (!store(record->number, record->encode()))
        return false;
    Edit2->clear();
    Edit2->setFocus();
    return true;
}

void TProgramowanieFormPlatnosci::send(int number)
{
    sendAndReport(recordsend::paymentForms(), number,
                  {QStringLiteral("Formę płatności zapisano w kasie"),
                   QStringLiteral("Błąd! Kasa nie potwierdziła zapisu formy płatności!")});
}

VDUNO_REGISTER_FORM(TProgramowanieFormPlatnosci)
