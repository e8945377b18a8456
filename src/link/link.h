#pragma once

#include "serialline.h"
#include "tlstrust.h"

#include "common/transferui.h"

#include <QByteArray>
#include <array>
#include <functional>
#include <memory>

// The process-wide link to the register: line settings, the open port, the register
// address, the stop request flag and the 1024-byte receive area every answer is read into.
// All messages go through the TransferUi of the caller.
class Link {
public:
    static constexpr int NoPort = 255;
    static constexpr int ReceiveSize = 1024;
    // How long a send waits for a device that disappeared to be back under its name.
    static constexpr int ReopenWaitMs = 2000;
    using LineFactory = std::function<std::unique_ptr<SerialLine>()>;

    explicit Link(LineFactory factory = makePosixSerialLine);
    static Link& instance();

    // Link settings: port number 1..99 or NoPort, and the line settings.
    int port = NoPort;
    LineSettings line;
    // The copy the port settings dialog falls back to.
    int savedPort = NoPort;
    LineSettings savedLine;
    quint8 address = 1;
    // A device path or network address opened instead of the port number's own device: a
    // register of a chain runs on a link of its own, without touching the process's port map.
    QString device;
    // How the certificate of a serial device server behind a tls:// or rfc2217+tls:// port
    // is checked (the system's store when empty); taken at every open.
    TlsTrust tls;
    bool stopRequest = false;
    // Fast transfers: a pause before reading an answer ends as soon as the answer begins to
    // arrive. Off by default, which keeps the register's prescribed pauses exactly.
    bool fastTransfers = false;
    // Called with '>' for every frame sent and '<' for every read (for --trace), and with '#'
    // for a note of the run (UTF-8 text, not line bytes).
    std::function<void(char direction, QByteArrayView bytes)> trace;
    // Run between slices of a read that waits (at most IdleSliceMs each), so that the window
    // repaints and takes a stop while a register is silent; the read's time-out is the same.
    // The program sets it to its user interface's processEvents(); empty: one wait.
    std::function<void()> idle;
    static constexpr int IdleSliceMs = 50;
    // A note line in the trace: "ponowny odczyt (przejście 2)".
    void note(const QString& text)
    {
        if (trace)
            trace('#', text.toUtf8());
    }

    bool portChosen() const { return port >= 1 && port <= 99; }
    // 0 success, 1 failure (messages only when verbose). Closes a port held before.
    int openPort(TransferUi& ui, bool verbose);
    // Why the last openPort() failed (None after a success), and for a port that another
    // program holds (Busy) who that is: "vduno (PID 1234)", empty when not known.
    SerialLine::OpenError openError() const { return m_openError; }
    QString portHolder() const { return m_holder; }
    // What the line said about the last failure to open, or the reason a network line was
    // cut off ("Certyfikat serwera wygasł 2021-01-01."); empty when it said nothing.
    QString lineProblem() const { return m_problem; }
    void closePort();
    bool isOpen() const { return m_line && m_line->isOpen(); }
    // 0 success, nonzero failure. Sends all bytes with retries, reopen and flow-control wait.
    int sendBytes(TransferUi& ui, QByteArrayView bytes);
    // 0 clear, 1 error, 2 output held; 1 when no port is open.
    int lineStatus();
    // 0 the line fell silent, 1 it kept talking ("Wystąpił błąd komunikacji").
    int drainInput(TransferUi& ui);
    // The pause a run makes before it reads the register's answer: `ms` on the clock of `ui`,
    // or with fast transfers until the first byte of the answer is waiting. The part of `ms`
    // not waited is added to the time-out of the next read, so with fast transfers no answer
    // is ever allowed less time than with the full pause.
    void pauseForAnswer(TransferUi& ui, int ms);
    // The pause after an accepted frame, before the next one goes out. With fast transfers it
    // is not waited: the next frame goes at once and its answer gets the pause on top of its
    // own time, so a register that needs the pause still has it, only answering later.
    void pauseBetweenFrames(TransferUi& ui, int ms);
    // Time (ms) the next read gets on top of its own time-out (see above).
    int answerCreditMs() const { return m_creditMs; }
    // Reads `count` bytes (at most 1024) into the receive area from its start; returns how
    // many arrived within the time-out in force.
    int read(int count);
    // Reads `count` more bytes into the receive area at `offset`.
    int readAt(int offset, int count);
    void saveSettings();
    void restoreSettings();

    QByteArrayView received(int count) const;
    quint8 at(int i) const { return static_cast<quint8>(m_rx[static_cast<size_t>(i)]); }
    char* receiveArea() { return m_rx.data(); }
    void clearReceiveArea() { m_rx.fill(0); }
    SerialLine* serialLine() { return m_line.get(); }
    // How often a port opened, and how many bytes answers brought since the program began:
    // a run that opened its port and never heard a byte met no register.
    int opens() const { return m_opens; }
    qint64 bytesRead() const { return m_bytesRead; }

private:
    // readAt() with `idle` run between slices of the wait.
    int readInSlices(char* into, int count);

    LineFactory m_factory;
    std::unique_ptr<SerialLine> m_line;
    std::array<char, ReceiveSize> m_rx{};
    int m_creditMs = 0;
    int m_opens = 0;
    qint64 m_bytesRead = 0;
    SerialLine::OpenError m_openError = SerialLine::OpenError::None;
    QString m_holder;
    QString m_problem;
    QString m_openFailure; // the message of the last failed open
};
