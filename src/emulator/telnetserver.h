#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

namespace emu {

// The server's side of telnet with the COM-PORT option (RFC 2217), as a serial device server
// speaks it: binary both ways, no go-ahead, and every COM-PORT setting of the client
// confirmed with the client's code + 100. A data byte 255 is doubled on the wire.
class TelnetServer {
public:
    // What the server offers as the client connects.
    QByteArray greeting();
    // Bytes from the client: returns the data bytes among them, in order; commands are
    // answered into the output.
    QByteArray input(QByteArrayView raw);
    // Answers to send to the client.
    QByteArray takeOutput() { return std::exchange(m_out, {}); }
    static QByteArray escape(QByteArrayView data);
    // The COM-PORT commands the client sent: code and value (unescaped).
    const QList<QPair<int, QByteArray>>& requests() const { return m_requests; }

private:
    void onOption(quint8 command, quint8 option);
    void onSubnegotiation();

    enum class State { Data, Iac, Option, Sub, SubIac };
    State m_state = State::Data;
    quint8 m_command = 0;
    QByteArray m_sub;
    QByteArray m_out;
    quint64 m_will = 0; // options the server uses
    quint64 m_do = 0;   // options the server asked the client to use
    QList<QPair<int, QByteArray>> m_requests;
};

} // namespace emu
