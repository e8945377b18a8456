#pragma once

#include "tables/articlebase.h"
#include "tables/articlerecord.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class AppSession;
class ArticleGridModel;
class Link;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTableView;

namespace articleprint {
struct Row;
}

// "Edycja bazy towarowej": the article base editor. Lists, searches, adds, edits, deletes,
// prints, sends and reads back the articles of the open database.
class TProgramowanieTowarow : public QDialog {
    Q_OBJECT
public:
    explicit TProgramowanieTowarow(AppSession& session, QWidget* parent = nullptr);
    ~TProgramowanieTowarow() override;

    // The link the form talks over (the program's; the tests may pass their own).
    void setLink(Link& link) { m_link = &link; }
    // Replaceable for tests: shows the print preview (whose print button prints).
    std::function<void(QPrinter&)> runPreview;

    QTableView* StringGrid1 = nullptr;
    ArticleGridModel* model() const { return m_model; }
    QLineEdit* Edit4 = nullptr;           // number
    QLineEdit* Edit5 = nullptr;           // name
    QLineEdit* Edit1 = nullptr;           // price
    QLineEdit* Edit2 = nullptr;           // barcode
    QLabel* Hint4 = nullptr;              // "Wprowadź numer!"
    QLabel* Hint5 = nullptr;              // "Wprowadź nazwę!"
    QLabel* Hint1 = nullptr;              // "Wprowadź cenę!"
    QComboBox* ComboBox1 = nullptr;       // VAT letter
    QComboBox* ComboBox2 = nullptr;       // group
    QComboBox* NumerOpakowania = nullptr; // tandem
    QCheckBox* CheckBox2 = nullptr;       // "Cena sztywna"
    QCheckBox* CheckBox3 = nullptr;       // "Sprzedaż na sztuki"
    QComboBox* ComboBox3 = nullptr;       // halo index
    QComboBox* ComboBox4 = nullptr;       // unit
    QCheckBox* CheckBox4 = nullptr;       // automatic send after an addition
    QLineEdit* Edit6 = nullptr;           // search text
    QPushButton* Szukaj = nullptr;
    QLabel* Wolne = nullptr; // "<free>/2000"
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* DodajDoBazy = nullptr;
    QPushButton* EdytujTowar = nullptr;
    QPushButton* UsunTowar = nullptr;
    QPushButton* WyslijTowar = nullptr;
    QPushButton* WyslijWszystkie = nullptr;
    QCheckBox* TylkoZmienione = nullptr; // "Wyślij wszystkie" sends only new and changed ones
    QCheckBox* Sprawdz = nullptr; // "Sprawdź po zaprogramowaniu": "Wyślij wszystkie" checked after
    QPushButton* OdczytajZKasy = nullptr;
    QPushButton* Drukuj = nullptr;
    QPushButton* Zamknij = nullptr;
    // The send panel and the wait panel.
    QFrame* PanelWysylania = nullptr;
    QLabel* LiczbaWyslanych = nullptr;
    QLabel* LiczbaBledow = nullptr;
    QLabel* Drukuje = nullptr;
    QPushButton* AnulujWysylanie = nullptr;
    QFrame* PanelCzekaj = nullptr;

    void FormShow();
    void refillGrid();
    void proposeNextFree();
    // Add to base; true when the article was written.
    bool DodajDoBazyClick();
    void StringGrid1DblClick(int row);
    void EdytujTowarClick();
    void UsunTowarClick();
    void WyslijTowarClick();
    void WyslijWszystkieClick();
    void OdczytajZKasyClick();
    void SzukajClick();
    void DrukujClick();

    // The entry fields as typed and chosen.
    ArticleInput input() const;
    // Puts values into the entry fields (number, name, price, barcode and the list choices;
    // the unit only when unitIndex >= 0).
    void setInput(const ArticleInput& in);
    // The printed list: every used article in slot order.
    std::vector<articleprint::Row> printRows();
    // Paints the list on the printer; the number of pages.
    int printTo(QPrinter& printer);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The register type, asked of the register when unknown; false (and said) when none.
    bool typeKnown();
    int registerType() const;
    int currentNumber() const;
    void selectRow(int row);
    Link& link();
    // Checks the fields, writes the article and sends it when the option is ticked.
    bool addToBase(const ArticleInput& in);
    // "Wyślij wszystkie" with "Tylko zmienione": the register's base read and compared, then
    // only the new and changed articles sent.
    void sendChangedOnly();
    // After a programming that ended normally: the register's article base read back,
    // compared with the database and mended where it differs. Returns the check's lines;
    // `differs` when the register does not hold the database (or could not be read).
    // `sent`: the articles to check (all when empty).
    QStringList checkProgrammed(const QStringList& accepted, bool& differs,
                                const QList<int>& sent = {});

    AppSession& m_session;
    Link* m_link = nullptr;
    ArticleGridModel* m_model = nullptr;
    std::unique_ptr<ArticleBase> m_base;
};
