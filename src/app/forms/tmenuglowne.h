#pragma once

#include "app/appsession.h"
#include "app/navigation.h"
#include "app/operatingstate.h"
#include "app/portsettings.h"
#include "database/databasesession.h"

#include <QMainWindow>

#include <functional>

class QLabel;
class QListWidget;
class QTabWidget;
class QPushButton;
class QFrame;
class TransferUi;

// The main window: owns the session (operating state, register type, database) and opens
// every function from its menus, toolbar and navigation area.
class TMenuGlowne : public QMainWindow {
    Q_OBJECT
public:
    // `ui` shows the messages and questions (the tests pass a fake); `startDirectory` holds
    // ustaw.cfg; `workingCopy` empty puts the working copy in the temporary directory.
    TMenuGlowne(TransferUi& ui, const QString& startDirectory,
                const QString& workingCopy = QString(), QWidget* parent = nullptr);

    // File dialogs, replaceable so that nothing blocks in the tests; they return the chosen
    // path or an empty string when cancelled.
    std::function<QString()> chooseOpenPath;
    std::function<QString(const QString& proposed)> chooseSavePath;
    // Runs the new-database dialog (the tests drive it without a modal loop).
    std::function<void(class TNowaBaza&)> runNewDatabaseDialog;

    OperatingState operatingState() const { return m_app.state(); }
    RegisterType registerType() const { return m_app.registerType(); }
    AppSession& app() { return m_app; }
    DatabaseSession& session() { return m_session; }
    PortSettings& portSettings() { return m_port; }
    QTabWidget* navigation() const { return m_tabs; }

    void refreshStatus();
    void newDatabase();
    void openDatabaseFile();
    // True when the file was written.
    bool saveDatabaseFile();
    // Opens the selected item of the active navigation tab.
    void openSelectedItem();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The save prompt: false when the user cancelled.
    bool savePrompt(bool* saved = nullptr);
    void buildMenus();
    void buildPanels();
    void writeSettings();

    TransferUi& m_ui;
    QString m_startDirectory;
    DatabaseSession m_session;
    PortSettings m_port;
    AppSession m_app;

    QLabel* m_typeLabel = nullptr;
    QLabel* m_online = nullptr;
    QLabel* m_offline = nullptr;
    QLabel* m_none = nullptr;
    QLabel* m_picture = nullptr;
    QLabel* m_currency = nullptr;
    QLabel* m_fileName = nullptr;
    QFrame* m_searchPanel = nullptr;
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_lists[3] = {};
};
