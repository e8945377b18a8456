#pragma once

#include "linkform.h"

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

// "Programowanie klawiszy funkcyjnych": keys F1..F10 of a cashier bound to reports; sent to
// the register only.
class TProgramowanieKlawiszyFunkcyjnych : public LinkForm {
    Q_OBJECT
public:
    explicit TProgramowanieKlawiszyFunkcyjnych(AppSession& session, QWidget* parent = nullptr);
    QComboBox* cashier = nullptr; // "Numer kasjera" 1..10
    std::array<QComboBox*, 10> functions{};
    std::array<QPushButton*, 10> sendButtons{}; // "Wyslij" of each key
    QPushButton* sendAllButton = nullptr;       // "Wyślij do kasy wszystkie klawisze"
    QLabel* waitLabel = nullptr;                // "Czekaj..."
    bool sendKey(int key);
    void sendAllClicked();
};

// "Klawisze szybkie funkcji sprzedaży": key F1 of a cashier bound to a sales function.
class TKlawiszeSzybkieSprzedazy : public LinkForm {
    Q_OBJECT
public:
    explicit TKlawiszeSzybkieSprzedazy(AppSession& session, QWidget* parent = nullptr);
    std::array<QComboBox*, 10> functions{};
    std::array<QPushButton*, 10> sendButtons{}; // only F1's acts
    QComboBox* cashier = nullptr;               // "Numer kasjera"
    QComboBox* kind = nullptr;                  // "Rodzaj": "Kwotowy", "Procentowy"
    QComboBox* number = nullptr;                // "Numer" 1..20
    QPushButton* refreshButton = nullptr;
    QPushButton* sendAllButton = nullptr;
    void sendF1();
};
