#include "tprogramowaniegruptowarowych.h"

#include "app/appsession.h"
#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "common/transferui.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/link.h"
#include "tables/grouprecord.h"
#include "tables/recordsend.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

TProgramowanieGrupTowarowych::TProgramowanieGrupTowarowych(AppSession& session, QWidget* parent)
    : TableForm(session, layout::Groups, QStringLiteral("Edycja grup towarowych"), parent)
{
    ComboBox1 = formparts::numbers(this, QStringLiteral("ComboBox1"), 20);
    addControl(QStringLiteral("Numer"), ComboBox1);
    Edit1 = addField(QStringLiteral("Edit1"), QStringLiteral("Nazwa"), 21);

    setColumns({QStringLiteral("Numer"), QStringLiteral("Nazwa")}, 20);
    deleteButton->setText(QStringLiteral("Usuń grupę towarową"));
    confirm->setText(QStringLiteral("Potwiedzenie z klawiatury kasy"));
}

void TProgramowanieGrupTowarowych::fillRows(QByteArrayView table)
{
    int row = 0;
    for (int n = 1; n <= layout::Groups.count; ++n) {
        const GroupRecord r = GroupRecord::decode(layout::Groups.record(table, n));
        if (r.number != 0)
            setRow(row++, {QString::number(r.number), r.name});
    }
}

void TProgramowanieGrupTowarowych::proposeNumber(QByteArrayView table)
{
    if (const int n = lowestFree(table, layout::Groups, layout::Groups.count))
        ComboBox1->setCurrentIndex(n - 1);
}

bool TProgramowanieGrupTowarowych::add(QByteArrayView table)
{
    const GroupInput in{ComboBox1->currentIndex() + 1, Edit1->text()};
    const auto record = accepted(validateGroup(in, table));
    if (!record || !session().hasDatabase())
        return false;
    if (!store(record->number, record->encode()))
        return false;
    Edit1->clear();
    Edit1->setFocus();
    return true;
}

void TProgramowanieGrupTowarowych::remove(int number)
{
    if (const QString refusal = groupDeleteRefusal(number); !refusal.isEmpty()) {
        message(refusal);
        return;
    }
    // Articles keep the number of a deleted group and would point at nothing: say how many.
    const QByteArray articles = readTable(session().database(), layout::Articles);
    int users = 0;
    for (int n = 1; n <= layout::Articles.count; ++n) {
        const QByteArrayView a = layout::Articles.record(articles, n);
        if (a.size() > 62 && (a[0] != 0 || a[1] != 0) && quint8(a[62]) == number)
            ++users;
    }
    if (users > 0 &&
        session().ui().ask(
            QStringLiteral("Liczba towarów w grupie towarowej nr ") + QString::number(number) +
                QStringLiteral(": ") + QString::number(users) +
                QStringLiteral(". Po usunięciu grupy te towary zostaną bez grupy. "
                               "Usunąć grupę?"),
            TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;
    TableForm::remove(number);
}

void TProgramowanieGrupTowarowych::send(int number)
{
    const int result = recordsend::sendOne(link(), session().ui(), session().database(),
                                           recordsend::groups(), number, confirmByte());
    const QString text = groupSendMessage(result, link().at(8));
    if (text.isEmpty())
        return; // nothing went out, or the link said why
    session().ui().showMessage(text, answers::confirmed(result) ? TransferUi::Icon::Information
                                                                : TransferUi::Icon::Warning);
}

VDUNO_REGISTER_FORM(TProgramowanieGrupTowarowych)
