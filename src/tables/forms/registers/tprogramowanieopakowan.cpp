#include "tprogramowanieopakowan.h"

#include "app/appsession.h"
#include "app/articlelist/tlistatowarowtandem.h"
#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "common/amount.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "tables/packagingrecord.h"
#include "tables/recordsend.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

TProgramowanieOpakowan::TProgramowanieOpakowan(AppSession& session, QWidget* parent)
    : TableForm(session, layout::Packaging, QStringLiteral("Edycja bazy opakowań"), parent)
{
    ComboBox1 = formparts::numbers(this, QStringLiteral("ComboBox1"), 20);
    addControl(QStringLiteral("Numer"), ComboBox1);
    Edit2 = addField(QStringLiteral("Edit2"), QStringLiteral("Nazwa"), 42);
    Edit3 = addField(QStringLiteral("Edit3"), QStringLiteral("Cena"), 10);
    CheckBox1 = new QCheckBox(QStringLiteral("Możliwosc zmiany ceny w kasie"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->hide();

    setColumns({QStringLiteral("Numer"), QStringLiteral("Nazwa"), QStringLiteral("Cena")}, 20);
    deleteButton->setText(QStringLiteral("Usuń opakowanie"));
    confirm->setText(QStringLiteral("Potwiedzenie z klawiatury kasy"));

    confirmDeletion = [this](int packaging, const QStringList&) {
        return TListaTowarowTandem::confirmDeletion(this->session(), packaging, this);
    };
}

void TProgramowanieOpakowan::fillRows(QByteArrayView table)
{
    int row = 0;
    for (int n = 1; n <= layout::Packaging.count; ++n) {
        const PackagingRecord r = PackagingRecord::decode(layout::Packaging.record(table, n));
        if (r.number != 0)
            setRow(row++, {QString::number(r.number), r.name, amount::text(r.price)});
    }
}

void TProgramowanieOpakowan::proposeNumber(QByteArrayView table)
{
    if (const int n = lowestFree(table, layout::Packaging, layout::Packaging.count))
        ComboBox1->setCurrentIndex(n - 1);
}

bool TProgramowanieOpakowan::add(QByteArrayView)
{
    const PackagingInput in{ComboBox1->currentIndex() + 1, Edit2->text(), Edit3->text()};
    auto record = accepted(validatePackaging(in));
    if (!record || !session().hasDatabase())
        return false;
    // The option is hidden, so its value is always "not allowed".
    record->priceChange = CheckBox1->isVisible() && CheckBox1->isChecked();
    if (!store(record->number, record->encode()))
        return false;
    Edit2->clear();
    Edit3->clear();
    Edit2->setFocus();
    return true;
}

void TProgramowanieOpakowan::remove(int number)
{
    RegisterDatabase& db = session().database();
    const QStringList linked = tandemLines(readTable(db, layout::Articles), number);
    if (!confirmDeletion || !confirmDeletion(number, linked))
        return;
    if (deletePackaging(db, number) < 0)
        message(QStringLiteral("     Plik zamknięty.     "));
    session().markModified();
    refill();
}

void TProgramowanieOpakowan::send(int number)
{
    sendAndReport(recordsend::packaging(), number,
                  {QStringLiteral("Opakowanie zapisano w kasie"),
                   QStringLiteral("Błąd! Kasa nie potwierdziła zapisu opakowania!")});
}

VDUNO_REGISTER_FORM(TProgramowanieOpakowan)
