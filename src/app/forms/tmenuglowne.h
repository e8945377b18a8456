#pragma once

#include "app/appsession.h"
#include "app/navigation.h"
#include "app/operatingstate.h"
#include "app/portsettings.h"
#include "database/databasesession.h"
#include "link/frametrace.h"
#include "link/link.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <map>
#include <string>

class QLabel;
class QListWidget;
class QTabWidget;
class QPushButton;
class QFrame;
class QAction;
class QMenu;
class QDialog;
class TransferUi;

// The main window: owns the session (operating state, register type, database) and opens
// every function from its menus, toolbar and navigation area.
class TMenuGlowne : public QMainWindow {
    Q_OBJECT
public:
    // `ui` shows the messages and questions (the tests pass a fake); `startDirectory` is the
    // directory the program started in; `workingCopy` empty puts the working copy in the
    // temporary directory; `link` null is the program's link (Link::instance());
    // `settingsDirectory` holds ustaw.cfg, ustaw.net and the recent-files list (empty: the
    // start directory).
    TMenuGlowne(TransferUi& ui, const QString& startDirectory,
                const QString& workingCopy = QString(), QWidget* parent = nullptr,
                Link* link = nullptr, const QString& settingsDirectory = QString());

    // File dialogs, replaceable so that nothing blocks in the tests; they return the chosen
    // path or an empty string when cancelled.
    std::function<QString()> chooseOpenPath;
    std::function<QString(const QString& proposed)> chooseSavePath;
    // Runs the new-database dialog (the tests drive it without a modal loop).
    std::function<void(class TNowaBaza&)> runNewDatabaseDialog;
    // Runs a modal dialog of the connection menu (the tests drive it without a modal loop).
    std::function<void(QDialog&)> runDialog;
    // The file of the frame trace; empty when cancelled.
    std::function<QString()> chooseTracePath;

    OperatingState operatingState() const { return m_app.state(); }
    RegisterType registerType() const { return m_app.registerType(); }
    AppSession& app() { return m_app; }
    DatabaseSession& session() { return m_session; }
    Link& link() { return m_link; }
    QTabWidget* navigation() const { return m_tabs; }
    QLabel* typeLabel() const { return m_typeLabel; }
    QLabel* statusOnline() const { return m_online; }
    QLabel* statusOffline() const { return m_offline; }
    QFrame* searchPanel() const { return m_searchPanel; }
    // The search panel's "Anuluj": stops the automatic search between two ports.
    QPushButton* searchCancelButton() const { return m_searchCancel; }
    QAction* traceAction() const { return m_traceAction; }
    QAction* connectAction() const { return m_connectAction; }
    // The settings ustaw.cfg would hold now.
    PortSettings portSettings() const;
    // The About dialog's text: program, version and the registers it serves.
    static QString aboutText();

    void refreshStatus();
    void newDatabase();
    void openDatabaseFile();
    // Opens that database file without a file dialog (a recent file); after the save prompt.
    void openRecentFile(const QString& path);
    // "Zapisz bazę danych do pliku": asks for the file, then writes it. True when written.
    bool saveDatabaseFile();
    // "Zapisz" (Ctrl+S, the toolbar): writes the file the database came from or was last
    // saved to, without a dialog; a database never saved asks for the file as above.
    bool save();
    // The file "Zapisz" writes; empty for a database that was never opened or saved.
    QString filePath() const { return m_filePath; }
    // Recent database files, newest first, as the "Plik" menu lists them.
    QStringList recentFiles() const { return m_recent; }
    QMenu* fileMenu() const { return m_fileMenu; }
    // "Vorn Duno – NAME" with "[*]", the place of the unsaved-changes mark.
    static QString titleFor(const QString& displayName);
    // Opens the selected item of the active navigation tab.
    void openSelectedItem();
    // The form of that class: made when first asked for and kept as long as the window, so
    // that what a person typed or chose in it is there when it opens again. Forms fill their
    // lists from the database each time they are shown. Null when the form is not built.
    QDialog* form(const char* className);
    // Shows the form modally (through runDialog when set), then refreshes the status.
    void openForm(const char* className);
    // The connect button: the automatic search over the ports, then the type detection.
    bool automaticSearch();
    // "Połącz z kasą używając ostatnich ustawień".
    void connectWithStoredSettings();
    // "Parametry transmisji", "Wyszukiwanie podłączonych kas", "Podgląd bufora odbiorczego".
    void showPortSettings();
    void showRegisterScan();
    void showReceiveArea();
    // The frame trace switch: on asks for the file, off closes it.
    void setFrameTrace(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The save prompt before new, open and close: false when the operation is not to go on
    // (Cancel, or Yes and the save was cancelled or failed).
    bool savePrompt();
    void buildMenus();
    void buildPanels();
    void writeSettings();
    // Every window the menus, the toolbar and the navigation area open is shown here: modally
    // (through `run`, else through runDialog when set), then the status is refreshed, as the
    // window may have connected, disconnected or changed the database. Null shows nothing.
    void showDialog(QDialog* dialog, const std::function<void(QDialog&)>& run = {});
    // The connection menu's dialogs: made anew on the window's link each time they open.
    template <class Dialog> void showLinkDialog();
    // Opens the file after the save prompt; the shared end of "Otwórz" and a recent file.
    void openPath(const QString& path);
    bool saveTo(const QString& path);
    // Puts `path` at the top of the recent files (or takes it away) and writes the list.
    void rememberFile(const QString& path, bool add = true);
    void rebuildRecentMenu();

    TransferUi& m_ui;
    QString m_startDirectory;
    QString m_settingsDirectory;
    bool m_recentWriteReported = false; // a list that cannot be written is said once
    Link& m_link;
    DatabaseSession m_session;
    PortSettings m_port; // as read from ustaw.cfg (its spare bytes are written back)
    AppSession m_app;
    FrameTrace m_trace;

    QLabel* m_typeLabel = nullptr;
    QLabel* m_online = nullptr;
    QLabel* m_offline = nullptr;
    QLabel* m_none = nullptr;
    QLabel* m_picture = nullptr;
    QLabel* m_currency = nullptr;
    QLabel* m_fileName = nullptr;
    QFrame* m_searchPanel = nullptr;
    QLabel* m_searchPort = nullptr;
    QPushButton* m_searchCancel = nullptr;
    bool m_openDiagnosis = false; // the search found nothing and the person asked for more
    QTabWidget* m_tabs = nullptr;
    QAction* m_traceAction = nullptr;
    QAction* m_connectAction = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentStart = nullptr; // the separator the recent files follow
    QList<QAction*> m_recentActions;
    QString m_filePath;
    QStringList m_recent;
    QListWidget* m_lists[3] = {};
    std::map<std::string, QDialog*> m_forms; // owned as children of the window
};
