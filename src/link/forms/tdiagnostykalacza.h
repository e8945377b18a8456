#pragma once

#include "link/diagnosis.h"

#include <QDialog>

#include <optional>

class AppSession;
class QPushButton;
class QTableWidget;
class QTextBrowser;

// "Diagnostyka łącza": why no register answers. The serial devices of the computer, and what
// keeps the program from them (its group, brltty, ModemManager, a port held, a chosen port
// with nothing behind it), each with what to do; the commands can be selected and copied.
class TDiagnostykaLacza : public QDialog {
    Q_OBJECT
public:
    explicit TDiagnostykaLacza(AppSession& session, QWidget* parent = nullptr);

    enum Column {
        PortColumn,
        DeviceColumn,
        DriverColumn,
        UsbColumn,
        ProductColumn,
        GroupColumn,
        ModeColumn,
        ByIdColumn,
        ColumnCount
    };

    QTableWidget* SGUrzadzenia; // the serial devices
    QTextBrowser* MWyniki;      // the findings and their remedies
    QPushButton* BOdswiez;
    QPushButton* BZamknij;

    // Where the computer is read and as whom (the tests' own tree and user); by default the
    // system's /sys, /proc, /dev and /etc and the program's own user.
    void setRoots(const diagnosis::Roots& roots) { m_roots = roots; }
    void setUser(const diagnosis::User& user) { m_user = user; }
    // The port to check; by default the link's port as it is when the diagnosis runs.
    void setConfigured(const diagnosis::Configured& configured) { m_configured = configured; }

    // "Odśwież": runs the diagnosis again and shows it. It also runs each time the window opens.
    void BOdswiezClick();
    const diagnosis::Report& report() const { return m_report; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showDevices();
    void showFindings();

    diagnosis::Roots m_roots;
    std::optional<diagnosis::User> m_user;
    std::optional<diagnosis::Configured> m_configured;
    diagnosis::Report m_report;
};
