#include "appsession.h"

#include "database/databasesession.h"

RegisterDatabase& AppSession::database()
{
    return m_session.database();
}

void AppSession::setState(OperatingState state)
{
    m_state = state;
    notify();
}

void AppSession::setRegisterType(RegisterType type)
{
    m_type = type;
    notify();
}

void AppSession::markModified()
{
    m_session.setModified(true);
    notify();
}

void AppSession::notify()
{
    if (changed)
        changed();
}
