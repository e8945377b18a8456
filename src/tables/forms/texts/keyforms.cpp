#include "keyforms.h"

#include "app/appsession.h"
#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "common/transferrun.h"
#include "tables/functionkeys.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using formparts::numbers;

namespace {

// The ten rows "F1".."F10" with a function list and a "Wyslij" each.
void keyRows(QWidget* parent, QGridLayout* grid, const QStringList& items,
             std::array<QComboBox*, 10>& functions, std::array<QPushButton*, 10>& sends)
{
    for (int k = 0; k < 10; ++k) {
        grid->addWidget(new QLabel(QStringLiteral("F") + QString::number(k + 1), parent), k, 0);
        auto* list = new QComboBox(parent);
        list->setObjectName(QStringLiteral("Funkcja") + QString::number(k + 1));
        list->addItems(items);
        list->setCurrentIndex(0);
        grid->addWidget(list, k, 1);
        functions[size_t(k)] = list;
        sends[size_t(k)] =
            formparts::button(parent, QStringLiteral("Wyslij") + QString::number(k + 1),
                              QStringLiteral("Wyslij"), false);
        grid->addWidget(sends[size_t(k)], k, 2);
    }
}

} // namespace

TProgramowanieKlawiszyFunkcyjnych::TProgramowanieKlawiszyFunkcyjnych(AppSession& session,
                                                                     QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowanie klawiszy funkcyjnych"), parent)
{
    auto* main = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Numer kasjera"), this));
    cashier = numbers(this, QStringLiteral("Kasjer"), 10);
    top->addWidget(cashier);
    main->addLayout(top);
    auto* grid = new QGridLayout;
    keyRows(this, grid, functionkeys::functionNames(), functions, sendButtons);
    main->addLayout(grid);
    sendAllButton = formparts::button(this, QStringLiteral("WyslijWszystkie"),
                                      QStringLiteral("Wyślij do kasy wszystkie klawisze"), false);
    main->addWidget(sendAllButton);
    waitLabel = new QLabel(QStringLiteral("Czekaj..."), this);
    waitLabel->setVisible(false);
    main->addWidget(waitLabel);
    for (int k = 0; k < 10; ++k)
        connect(sendButtons[size_t(k)], &QPushButton::clicked, this, [this, k] { sendKey(k + 1); });
    connect(sendAllButton, &QPushButton::clicked, this, [this] { sendAllClicked(); });
}

bool TProgramowanieKlawiszyFunkcyjnych::sendKey(int key)
{
    return functionkeys::sendKey(*m_link, m_session.ui(), cashier->currentIndex() + 1, key,
                                 functions[size_t(key - 1)]->currentIndex());
}

void TProgramowanieKlawiszyFunkcyjnych::sendAllClicked()
{
    waitLabel->setVisible(true);
    std::array<int, 10> positions{};
    for (int k = 0; k < 10; ++k)
        positions[size_t(k)] = functions[size_t(k)]->currentIndex();
    {
        // One run: the window locks the form until the last key has gone ("Czekaj..." is its
        // one display) and Escape stops it.
        TransferRun run(m_session.ui(), {this, nullptr, [](int, int) {}});
        functionkeys::sendAllKeys(*m_link, run, cashier->currentIndex() + 1, positions);
    }
    waitLabel->setVisible(false);
}

TKlawiszeSzybkieSprzedazy::TKlawiszeSzybkieSprzedazy(AppSession& session, QWidget* parent)
    : LinkForm(session, QStringLiteral("Klawisze szybkie funkcji sprzedaży"), parent)
{
    auto* main = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    keyRows(this, grid, functionkeys::salesFunctionNames(), functions, sendButtons);
    main->addLayout(grid);
    auto* options = new QGridLayout;
    options->addWidget(new QLabel(QStringLiteral("Numer kasjera"), this), 0, 0);
    cashier = numbers(this, QStringLiteral("Kasjer"), 10);
    options->addWidget(cashier, 0, 1);
    options->addWidget(new QLabel(QStringLiteral("Rodzaj"), this), 1, 0);
    kind = new QComboBox(this);
    kind->setObjectName(QStringLiteral("Rodzaj"));
    kind->addItems({QStringLiteral("Kwotowy"), QStringLiteral("Procentowy")});
    options->addWidget(kind, 1, 1);
    options->addWidget(new QLabel(QStringLiteral("Tylko dla rabatów i narzutów"), this), 1, 2);
    options->addWidget(new QLabel(QStringLiteral("Numer"), this), 2, 0);
    number = numbers(this, QStringLiteral("Numer"), 20);
    options->addWidget(number, 2, 1);
    options->addWidget(
        new QLabel(QStringLiteral("Dla rabatu, narzutu, opakowań, formy płatności"), this), 2, 2);
    main->addLayout(options);
    auto* buttons = new QHBoxLayout;
    refreshButton =
        formparts::button(this, QStringLiteral("Odswiez"), QStringLiteral("Odśwież"), false);
    sendAllButton = formparts::button(this, QStringLiteral("WyslijWszystkie"),
                                      QStringLiteral("Wyślij do kasy wszystkie klawisze"), false);
    buttons->addWidget(refreshButton);
    buttons->addWidget(sendAllButton);
    main->addLayout(buttons);
    // The register takes a sales function on F1 only; the other keys' buttons, "Odśwież" and
    // "Wyślij do kasy wszystkie klawisze" have nothing to do.
    connect(sendButtons[0], &QPushButton::clicked, this, [this] { sendF1(); });
}

void TKlawiszeSzybkieSprzedazy::sendF1()
{
    functionkeys::sendSalesFunction(*m_link, m_session.ui(), cashier->currentIndex() + 1,
                                    functions[0]->currentIndex(), kind->currentIndex(),
                                    number->currentIndex() + 1);
}

VDUNO_REGISTER_FORM(TProgramowanieKlawiszyFunkcyjnych)
VDUNO_REGISTER_FORM(TKlawiszeSzybkieSprzedazy)
