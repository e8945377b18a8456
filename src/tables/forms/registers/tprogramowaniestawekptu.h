#pragma once

#include <QByteArray>
#include <QDialog>

#include "tables/vatrates.h"

#include <array>
#include <optional>

class AppSession;
class Link;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Edycja stawek PTU": the seven VAT rates A..G, saved in the database and sent as one block.
class TProgramowanieStawekPTU : public QDialog {
    Q_OBJECT
public:
    explicit TProgramowanieStawekPTU(AppSession& session, QWidget* parent = nullptr);

    struct Letter {
        QLineEdit* rate = nullptr;        // 6 characters, "0.00" by default
        QRadioButton* taxed = nullptr;    // PTU_x_O "Opodatkowana"
        QRadioButton* exempt = nullptr;   // PTU_x_Z "Zwolniona"
        QRadioButton* inactive = nullptr; // PTU_x_N "Nieaktywna"
    };
    std::array<Letter, 7> letters;
    QCheckBox* confirm = nullptr; // "Potwiedzenie z klawiatury kasy"
    QPushButton* saveButton = nullptr;
    QPushButton* sendButton = nullptr;
    QPushButton* cancelButton = nullptr;

    void setLink(Link* link) { m_link = link; }

    // "Zapisz w bazie PC": true when the rates were written.
    bool ZapiszClick();
    // "Wyślij do kasy": saves, then sends the stored table.
    void WyslijClick();
    // The stored table shown again.
    void showTable();
    // Rate fields enabled only where "Opodatkowana" is chosen.
    void refreshFields();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The rates as typed, checked; nothing (the refusal shown) when a field is refused.
    std::optional<VatRates> typedRates();
    // Writes the rates to the database and shows them; false when there is no file.
    bool store(const VatRates& rates);
    AppSession& m_session;
    Link* m_link;
    // The stored table last shown and the database it came from: on showing again the fields
    // keep what was typed unless the stored table or the database changed since.
    QByteArray m_shown;
    int m_shownGeneration = -1;
};
