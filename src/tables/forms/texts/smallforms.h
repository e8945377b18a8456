#pragma once

#include "linkform.h"

#include "tables/halo.h"

#include <QList>
#include <QStringList>

#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimeEdit;

// "Pobieranie nagłówka": the header as the register holds it, six lines.
class TPobieranieNaglowka : public LinkForm {
    Q_OBJECT
public:
    explicit TPobieranieNaglowka(AppSession& session, QWidget* parent = nullptr);
    QTextEdit* RichEdit1 = nullptr;
    QPushButton* readButton = nullptr; // "Pobierz nagłówek"
    void readClicked();
};

// "Programowanie NIP (szkoleniowo)".
class TProgramowanieNIP : public LinkForm {
    Q_OBJECT
public:
    explicit TProgramowanieNIP(AppSession& session, QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;           // "NIP:"
    QPushButton* programButton = nullptr; // "Programuj"
    void programClicked();
};

// "Programowanie zestawu raportow": per report "Niezaprogramowany", "Pełny" or "Rekordów
// niezerowych", kept in the database.
class TProgramowanieZestawuRaportow : public LinkForm {
    Q_OBJECT
public:
    explicit TProgramowanieZestawuRaportow(AppSession& session, QWidget* parent = nullptr);
    QList<QButtonGroup*> rows;         // 19 rows of three buttons (ids 0..2)
    QPushButton* saveButton = nullptr; // "Zapisz" or "Wyslij"
    void saveClicked();

protected:
    void showEvent(QShowEvent* event) override;
};

// "Programowanie zegara": the register's clock from the PC's date and time.
class TProgramowanieZegara : public LinkForm {
    Q_OBJECT
public:
    explicit TProgramowanieZegara(AppSession& session, QWidget* parent = nullptr);
    QDateEdit* date = nullptr;         // "Data (rrrr-mm-dd)"
    QTimeEdit* time = nullptr;         // "Godzina (gg:mm:ss) "
    QPushButton* sendButton = nullptr; // "Wyślij do kasy"
    void sendClicked();

protected:
    void showEvent(QShowEvent* event) override;
};

// "Programowanie hasla kierownika".
class TProgramowanieHaslaKierownika : public LinkForm {
    Q_OBJECT
public:
    explicit TProgramowanieHaslaKierownika(AppSession& session, QWidget* parent = nullptr);
    QLineEdit* oldPassword = nullptr;    // "Stare hasło"
    QLineEdit* newPassword = nullptr;    // "Nowe hasło"
    QCheckBox* confirm = nullptr;        // "Potwiedzenie z klawiatury kasy"
    QPushButton* sendButton = nullptr;   // "Wyslij"
    QPushButton* cancelButton = nullptr; // "Anuluj"
    void sendClicked();
};

// "Programowanie tablicy HALO": amounts 1..9 of the halo table.
class TProgramowanieTablicyHalo : public LinkForm {
    Q_OBJECT
public:
    explicit TProgramowanieTablicyHalo(AppSession& session, QWidget* parent = nullptr);
    std::array<QLineEdit*, 9> fields{}; // "1".."9"
    QPushButton* saveButton = nullptr;  // "Zapisz w bazie PC"
    QPushButton* sendButton = nullptr;  // "Zapisz i &wyślij do kasy"
    bool saveClicked();
    void sendClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The nine fields as a table; the refusal is shown.
    std::optional<HaloTable> typedTable();
    // The stored amounts last shown and the database they came from: on showing again the
    // fields keep what was typed unless the stored table or the database changed since.
    QStringList m_shown;
    int m_shownGeneration = -1;
};

// "Programowalne jednostki towarowe": the register's three unit names.
class TJednostkiTowarowe : public LinkForm {
    Q_OBJECT
public:
    explicit TJednostkiTowarowe(AppSession& session, QWidget* parent = nullptr);
    std::array<QLineEdit*, 3> units{};    // "Jednostka nr 1".."Jednostka nr 3"
    QPushButton* refreshButton = nullptr; // "Odśwież"
    QPushButton* sendButton = nullptr;    // "Wyślij do kasy"
    void refreshClicked();
    void sendClicked();
};
