#pragma once

#include "serialline.h"
#include "tlstrust.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class TlsStream;

// A register behind a serial device server (ser2net or a hardware one in TCP server mode):
// the port is a TCP address instead of a device path.
//   tcp://HOST:PORT      raw TCP, the bytes of the line as they are; the server's own
//                        settings of the serial line apply.
//   rfc2217://HOST:PORT  telnet with the COM-PORT option: the line settings are set on the
//                        server's serial port from here.
//   tls://HOST:PORT, rfc2217+tls://HOST:PORT  the same inside TLS, the server's certificate
//                        checked (TlsTrust) before anything else goes out.
// HOST is a name, an IPv4 address or an IPv6 address in brackets ([::1]).
struct NetworkAddress {
    enum class Kind { RawTcp, Rfc2217 };
    Kind kind = Kind::RawTcp;
    bool tls = false;
    QString host;
    quint16 port = 0;
};
std::optional<NetworkAddress> parseNetworkAddress(const QString& text);

// The line over a TCP socket, non-blocking with poll() deadlines, so that reads and writes
// keep the exact total time-outs of a serial line. A peer that closed or reset the
// connection is a vanished device (WriteResult::vanished), as an unplugged adapter is.
// Our side is prompt: frames go out at once (no Nagle delay) and every segment received is
// acknowledged at once (TCP_QUICKACK), so that a server with Nagle's algorithm on (ser2net's
// default) is not held back for our delayed acknowledgement after every piece of an answer.
// A server that breaks the rules of a serial device server (a flood no register could send,
// a telnet subnegotiation without end, commands faster than it takes our answers) is cut
// off as if it had gone, with the reason in problem().
class NetworkSerialLine : public SerialLine {
public:
    // A connection that is not made within this time fails the open.
    static constexpr int ConnectTimeoutMs = 3000;
    // The TLS handshake and the check of the certificate, after the connection is made.
    static constexpr int HandshakeTimeoutMs = 3000;
    // How long configure() waits for the server's answers to the COM-PORT settings.
    static constexpr int NegotiationTimeoutMs = 2000;
    // The longest telnet subnegotiation taken (the longest of RFC 2217, a signature, is a
    // few dozen bytes).
    static constexpr int SubnegotiationLimit = 256;
    // Bytes received and not yet read, or received since our last write, beyond which the
    // server floods the line: a register answers frame by frame, each at most 1 KiB, and
    // waits for the program in between.
    static constexpr int FloodLimit = 64 * 1024;

    NetworkSerialLine();
    explicit NetworkSerialLine(const TlsTrust& trust);
    ~NetworkSerialLine() override;
    OpenError open(const QString& address) override;
    QString problem() const override { return m_problem; }
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    bool configure(const LineSettings& settings) override;
    void setTimeouts(const LineTimeouts& timeouts) override { m_timeouts = timeouts; }
    LineTimeouts timeouts() const override { return m_timeouts; }
    WriteResult write(QByteArrayView bytes) override;
    void discardOutput() override { m_out.clear(); }
    qint64 read(char* into, qint64 count) override;
    int status() override;
    int waitReadable(int ms) override;

private:
    // Sends what is queued until the deadline; false when the peer is gone.
    bool flush(qint64 deadline);
    // Receives what the socket holds, waiting until the deadline for something when
    // `wait`; false when the peer closed or reset the connection or was cut off.
    bool receive(qint64 deadline, bool wait);
    // Bytes off the connection (decrypted with TLS): their count, 0 none by the deadline,
    // -1 the peer closed or reset the connection.
    qint64 receiveSome(char* into, qint64 size, qint64 deadline, bool wait);
    // Bytes received and not yet read, the socket's own among them.
    qint64 unread() const;
    // The telnet layer (RFC 2217 only): data bytes go to m_in, commands are answered.
    void takeIn(const char* bytes, qint64 count);
    void onOption(quint8 command, quint8 option);
    void onSubnegotiation();
    void queueCommand(quint8 command, quint8 option);
    void queueComPort(quint8 command, QByteArrayView value);
    bool peerClosed() const;
    qint64 socketQueued() const;
    // Ends the connection for a reason the user is told.
    void cutOff(const QString& why);
    // Acknowledges what has come at once, rather than after the delayed-ACK timer.
    void acknowledgeNow() const;

    enum class Telnet { Data, Iac, Option, Sub, SubIac };

    int m_fd = -1;
    TlsTrust m_trust;
    std::unique_ptr<TlsStream> m_tls; // with a tls:// address, over m_fd
    QString m_problem;
    bool m_telnet = false;
    bool m_gone = false; // the peer closed or reset the connection
    LineTimeouts m_timeouts;
    QByteArray m_in;         // data bytes received and not yet read
    qint64 m_sinceWrite = 0; // data bytes received since our last write
    QByteArray m_out;        // bytes (already escaped) not yet taken by the socket
    Telnet m_state = Telnet::Data;
    quint8 m_command = 0;
    QByteArray m_sub;
    bool m_comPortRefused = false;
    bool m_comPortAgreed = false;
    quint64 m_will = 0; // options (below 64) we offered or agreed to use on our side
    quint64 m_do = 0;   // options we asked the server to use or agreed to
    bool m_lineErrors = false;
    // Bit n set: the server confirmed COM-PORT command n (1..12) since configure() began.
    quint32 m_answered = 0;
};
