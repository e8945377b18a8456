#include "telnetserver.h"

namespace emu {

namespace {
constexpr quint8 kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250, kSe = 240;
constexpr quint8 kBinary = 0, kSuppressGoAhead = 3, kComPort = 44;

quint64 bit(quint8 option)
{
    return option < 64 ? quint64(1) << option : 0;
}

void command(QByteArray& out, quint8 verb, quint8 option)
{
    out.append(char(kIac)).append(char(verb)).append(char(option));
}
} // namespace

QByteArray TelnetServer::escape(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size());
    for (const char c : data) {
        out.append(c);
        if (quint8(c) == kIac)
            out.append(c);
    }
    return out;
}

QByteArray TelnetServer::greeting()
{
    QByteArray out;
    command(out, kWill, kBinary);
    command(out, kWill, kSuppressGoAhead);
    command(out, kDo, kBinary);
    command(out, kDo, kComPort);
    m_will = bit(kBinary) | bit(kSuppressGoAhead);
    m_do = bit(kBinary) | bit(kComPort);
    return out;
}

QByteArray TelnetServer::input(QByteArrayView raw)
{
    QByteArray data;
    for (const char ch : raw) {
        const quint8 c = quint8(ch);
        switch (m_state) {
        case State::Data:
            if (c == kIac)
                m_state = State::Iac;
            else
                data.append(ch);
            break;
        case State::Iac:
            if (c == kIac) {
                data.append(ch);
                m_state = State::Data;
            } else if (c >= kWill) {
                m_command = c;
                m_state = State::Option;
            } else if (c == kSb) {
                m_sub.clear();
                m_state = State::Sub;
            } else {
                m_state = State::Data;
            }
            break;
        case State::Option:
            onOption(m_command, c);
            m_state = State::Data;
            break;
        case State::Sub:
            if (c == kIac)
                m_state = State::SubIac;
            else
                m_sub.append(ch);
            break;
        case State::SubIac:
            if (c == kIac) {
                m_sub.append(ch);
                m_state = State::Sub;
            } else {
                if (c == kSe)
                    onSubnegotiation();
                m_state = State::Data;
            }
            break;
        }
    }
    return data;
}

void TelnetServer::onOption(quint8 verb, quint8 option)
{
    const bool usable = option == kBinary || option == kSuppressGoAhead;
    switch (verb) {
    case kDo: // the client wants the server to use an option
        if (!usable)
            command(m_out, kWont, option);
        else if (!(m_will & bit(option))) {
            m_will |= bit(option);
            command(m_out, kWill, option);
        }
        break;
    case kDont:
        if (m_will & bit(option)) {
            m_will &= ~bit(option);
            command(m_out, kWont, option);
        }
        break;
    case kWill: // the client offers an option of its own
        if (!usable && option != kComPort)
            command(m_out, kDont, option);
        else if (!(m_do & bit(option))) {
            m_do |= bit(option);
            command(m_out, kDo, option);
        }
        break;
    case kWont:
        if (m_do & bit(option)) {
            m_do &= ~bit(option);
            command(m_out, kDont, option);
        }
        break;
    default:
        break;
    }
}

void TelnetServer::onSubnegotiation()
{
    if (m_sub.size() < 2 || quint8(m_sub[0]) != kComPort || quint8(m_sub[1]) >= 100)
        return;
    const quint8 code = quint8(m_sub[1]);
    const QByteArray value = m_sub.mid(2);
    m_requests.append({code, value});
    // The settings are taken as asked; the answer repeats them.
    m_out.append(char(kIac)).append(char(kSb)).append(char(kComPort)).append(char(code + 100));
    m_out.append(escape(value));
    m_out.append(char(kIac)).append(char(kSe));
}

} // namespace emu
