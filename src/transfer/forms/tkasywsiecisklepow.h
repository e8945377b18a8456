#pragma once

#include "transfer/chain/registerlist.h"
#include "transfer/whole/wholerestore.h"

#include <QDialog>
#include <QList>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>

class AppSession;
class ChainRunner;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class RunLock;
class TKasaSieci;
namespace chain {
struct RegisterOutcome;
}

// "Kasy w sieci sklepów": the registers of a shop chain, kept in a list file, and the
// whole-register work done on the ticked ones at once, each on its own line with its own
// link: programming from each register's own database (all, or only what changed), a copy of
// each into its database, the information data, and a test of a register's line. The grid
// shows every register's progress and result as it goes; the window stays usable while the
// registers work, and cannot be closed until they have ended.
class TKasyWSieciSklepow : public QDialog {
    Q_OBJECT
public:
    explicit TKasyWSieciSklepow(AppSession& session, QWidget* parent = nullptr);
    ~TKasyWSieciSklepow() override;

    // Reads the list file into the grid, every register ticked. False (with the list's
    // errors shown) when it cannot be read; the grid then stays as it was.
    bool openList(const QString& path);
    // Writes the grid's registers to the list file.
    bool saveList(const QString& path);
    bool running() const;
    const QList<chain::ChainRegister>& registers() const { return m_registers; }

    // The file and entry dialogs, replaceable so that nothing blocks in the tests.
    std::function<QString()> chooseOpenPath;
    std::function<QString(const QString& proposed)> chooseSavePath;
    std::function<void(TKasaSieci&)> runEntryDialog;

    enum Column {
        NameColumn,
        PortColumn,
        AddressColumn,
        DatabaseColumn,
        ModelColumn,
        StateColumn,
        ProgressColumn,
        ResultColumn,
        ResumeColumn,
        ColumnCount
    };

    QLabel* Lista = nullptr;
    QPushButton* OtworzListe = nullptr;
    QPushButton* ZapiszListe = nullptr;
    QPushButton* Dodaj = nullptr;
    QPushButton* Zmien = nullptr;
    QPushButton* Usun = nullptr;
    QPushButton* Testuj = nullptr;
    QTableWidget* Siatka = nullptr;
    QPushButton* ProgramowanieCalejKasy = nullptr;
    QPushButton* TylkoZmienione = nullptr;
    QCheckBox* Sprawdz = nullptr; // "Sprawdź po zaprogramowaniu", for both programming runs
    QPushButton* KopiaKasy = nullptr;
    QPushButton* DaneInformacyjne = nullptr;
    QPushButton* Przerwij = nullptr;
    QPushButton* Wznow = nullptr;
    QPlainTextEdit* Szczegoly = nullptr; // what the register chosen in the grid said
    QLabel* Wynik = nullptr;

    void OtworzListeClick();
    void ZapiszListeClick();
    void DodajClick();
    void ZmienClick();
    void UsunClick();
    void TestujClick();
    void ProgramowanieCalejKasyClick();
    void TylkoZmienioneClick();
    void KopiaKasyClick();
    void DaneInformacyjneClick();
    void PrzerwijClick();
    void WznowClick();

private:
    enum class Kind { Whole, Changed, Backup, Information, Probe };
    // What the grid shows of a register beyond the list's own fields.
    struct Shown {
        bool ticked = true;
        QString model;
        QString state; // "ONLINE", "brak odpowiedzi"
        QString progress;
        QString result;
        QString resume; // where an unfinished programming goes on (ResumePoint::text())
        QStringList details;
    };

    void start(Kind kind, const QList<int>& rows, const QList<wholereg::ResumePoint>& from = {});
    void startOnTicked(Kind kind);
    void registerStarted(int index);
    void registerProgressed(int index, int percent);
    void registerSaid(int index, const QStringList& lines);
    void registerFinished(int index, const chain::RegisterOutcome& outcome);
    void runEnded();

    bool editEntry(int row);
    bool listSavePrompt();
    void fillGrid();
    void showRow(int row);
    void showDetails();
    void updateButtons();
    QString listDir() const;

    AppSession& m_session;
    QString m_listPath;
    bool m_listModified = false;
    QList<chain::ChainRegister> m_registers;
    QList<Shown> m_shown;

    // The run going on: its registers' rows and where they go on from, those that began, its
    // kind.
    std::unique_ptr<ChainRunner> m_runner;
    std::unique_ptr<RunLock> m_lock;
    QList<int> m_runRows;
    QList<wholereg::ResumePoint> m_runFrom;
    QSet<int> m_began;
    Kind m_kind = Kind::Probe;
    bool m_resumeChangedOnly = false; // the kind of programming "Wznów" goes on with
};
