#include "tprogramowaniekasjerow.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "tables/cashierrecord.h"
#include "tables/recordsend.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

TProgramowanieKasjerow::TProgramowanieKasjerow(AppSession& session, QWidget* parent)
    : TableForm(session, layout::Cashiers, QStringLiteral("Edycja bazy kasjerów"), parent)
{
    Edit1 = addField(QStringLiteral("Edit1"), QStringLiteral("Numer kasjera"), 2);
    Edit2 = addField(QStringLiteral("Edit2"), QStringLiteral("Nazwa kasjera"), 21);
    MaskEdit1 = addField(QStringLiteral("MaskEdit1"), QStringLiteral("Hasło kasjera"), 4);
    Edit1->installEventFilter(this);

    auto* box = new QGroupBox(this);
    auto* boxLayout = new QGridLayout(box);
    const QStringList& names = cashierRightNames();
    for (int i = 0; i < 7; ++i) {
        rights[i] = new QCheckBox(names[i], box);
        rights[i]->setObjectName(QStringLiteral("CheckBox") + QString::number(i + 1));
        boxLayout->addWidget(rights[i], i, 0);
    }
    auto* panel = new QGroupBox(QStringLiteral("Uprawnienia kasjera:"), box);
    auto* panelLayout = new QGridLayout(panel);
    for (int i = 0; i < 7; ++i) {
        panelLayout->addWidget(new QLabel(names[i], panel), i, 0);
        rightShown[i] = new QLabel(QStringLiteral("TAK"), panel);
        rightShown[i]->hide();
        panelLayout->addWidget(rightShown[i], i, 1);
    }
    panelLayout->addWidget(new QLabel(QStringLiteral("Hasło:"), panel), 7, 0);
    password = new QLabel(panel);
    password->setObjectName(QStringLiteral("Haslo"));
    password->hide();
    panelLayout->addWidget(password, 7, 1);
    showPassword = new QPushButton(QStringLiteral("Pokaż hasło kasjera"), panel);
    showPassword->setObjectName(QStringLiteral("PokazHaslo"));
    showPassword->setAutoDefault(false);
    panelLayout->addWidget(showPassword, 8, 0, 1, 2);
    boxLayout->addWidget(panel, 0, 1, 7, 1);
    addBelowFields(box);

    setColumns({QStringLiteral("Numer"), QStringLiteral("Nazwa kasjera")}, 10);
    deleteButton->setText(QStringLiteral("Usuń kasjera z bazy"));
    confirm->setText(QStringLiteral("Potwierdzaj wprowadzanie kasjerów z klawiatury kasy"));

    connect(grid, &QTableWidget::cellClicked, this, &TProgramowanieKasjerow::StringGrid1Click);
    connect(showPassword, &QPushButton::clicked, this, &TProgramowanieKasjerow::togglePassword);
}

bool TProgramowanieKasjerow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::FocusOut)
        Edit1Exit();
    return TableForm::eventFilter(watched, event);
}

void TProgramowanieKasjerow::Edit1Exit()
{
    MaskEdit1->setEnabled(Edit1->text() != QStringLiteral("1"));
}

void TProgramowanieKasjerow::fillRows(QByteArrayView table)
{
    int row = 0;
    for (int n = 1; n <= layout::Cashiers.count; ++n) {
        const CashierRecord r = CashierRecord::decode(layout::Cashiers.record(table, n));
        if (r.number != 0)
            setRow(row++, {QString::number(r.number), r.name});
    }
}

void TProgramowanieKasjerow::proposeNumber(QByteArrayView table)
{
    const int n = lowestFree(table, layout::Cashiers, 10);
    Edit1->setText(n ? QString::number(n) : QString());
    Edit1Exit();
}

bool TProgramowanieKasjerow::add(QByteArrayView table)
{
    CashierInput in{Edit1->text(), Edit2->text(), MaskEdit1->text(), {}};
    for (int i = 0; i < 7; ++i)
        in.rights[i] = rights[i]->isChecked();
    const auto record = accepted(validateCashier(in, table));
    if (!record)
        return false;
    if (!session().hasDatabase())
        return false;
    if (!store(record->number, record->encode()))
        return false;
    Edit2->clear();
    MaskEdit1->clear();
    Edit2->setFocus();
    return true;
}

void TProgramowanieKasjerow::remove(int number)
{
    if (const QString refusal = cashierDeleteRefusal(number); !refusal.isEmpty()) {
        message(refusal);
        return;
    }
    TableForm::remove(number);
    StringGrid1Click();
}

void TProgramowanieKasjerow::send(int number)
{
    sendAndReport(recordsend::cashiers(), number,
                  {QStringLiteral("Kasjera zapisano w kasie"),
                   QStringLiteral("Błąd! Kasa nie potwierdziła zapisu kasjera!")});
}

void TProgramowanieKasjerow::StringGrid1Click()
{
    showPassword->setText(QStringLiteral("Pokaż hasło kasjera"));
    password->hide();
    const int n = currentNumber();
    for (QLabel* l : rightShown)
        l->hide();
    if (n == 0) {
        password->clear();
        return;
    }
    const CashierRecord r = CashierRecord::decode(layout::Cashiers.record(tableBytes(), n));
    password->setText(cashierPasswordText(r));
    for (int i = 0; i < 7; ++i)
        rightShown[i]->setVisible(r.rights[i]);
}

void TProgramowanieKasjerow::togglePassword()
{
    const bool show = password->isHidden();
    password->setVisible(show);
    showPassword->setText(show ? QStringLiteral("Ukryj hasło kasjera")
                               : QStringLiteral("Pokaż hasło kasjera"));
}

VDUNO_REGISTER_FORM(TProgramowanieKasjerow)
