#pragma once

#include "app/operatingstate.h"

#include <functional>

class DatabaseSession;
class RegisterDatabase;
class TransferUi;

// What every form needs from the program's session: the working database, the user
// interface for messages and questions, the operating state and the register type. The main
// window owns one and hands it to each form it opens; the tests build their own.
class AppSession {
public:
    AppSession(DatabaseSession& session, TransferUi& ui) : m_session(session), m_ui(ui) {}

    DatabaseSession& session() { return m_session; }
    RegisterDatabase& database();
    TransferUi& ui() { return m_ui; }

    OperatingState state() const { return m_state; }
    void setState(OperatingState state);
    RegisterType registerType() const { return m_type; }
    void setRegisterType(RegisterType type);
    bool online() const { return opstate::isOnline(m_state); }
    bool hasDatabase() const { return opstate::hasDatabase(m_state); }
    // DUNO answers with the shorter article image; everything else is treated as DUNO BIS.
    bool isDuno() const { return m_type == RegisterType::Duno; }

    // Wait before reading an answer only as long as it takes to arrive (see the port
    // settings); off keeps the register's prescribed pauses.
    bool fastTransfers() const { return m_fast; }
    void setFastTransfers(bool fast) { m_fast = fast; }

    // A form changed the working copy: sets the modified flag and lets the main window
    // refresh its panels (currency symbol, file name).
    void markModified();

    // Called after any change of state, type or database content; the main window listens.
    std::function<void()> changed;

private:
    void notify();

    DatabaseSession& m_session;
    TransferUi& m_ui;
    OperatingState m_state = OperatingState::None;
    RegisterType m_type = RegisterType::Unknown;
    bool m_fast = false;
};
