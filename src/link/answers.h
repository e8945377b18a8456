#pragma once

#include "link.h"

#include <QString>

// The register's answers: data frames, acknowledgements, status and error frames.
namespace answers {

// read answer
enum ReadResult { CheckError = 0, More = 1, Done = 2, Nothing = 3 };
// confirmation waits
enum WaitResult {
    Accepted = 0,
    Ack1 = 1,
    Ack2 = 2,
    AcceptedEnd = 3,
    NoAnswer = 4,
    DeviceError = 5,
    Busy = 6,
    UserStopped = 8
};
inline bool confirmed(int waitResult)
{
    return waitResult == Accepted || waitResult == AcceptedEnd;
}

// Sends the computer's acknowledgement with the current register address.
int sendAcknowledgement(Link& link, TransferUi& ui, quint8 code);
// The check byte of the `length`-byte frame in the receive area; a wrong one is shown with
// both values ("CRC kasy: 12 CRC PC: 34", then "Błąd CRC!").
bool checkByteRight(Link& link, TransferUi& ui, int length);
// Reads one data frame of `length` bytes, acknowledges it; see ReadResult.
int readAnswer(Link& link, TransferUi& ui, int length);
// The same without answering a good frame: More, or Done when it carries the end marker. The
// caller looks at the frame first (its number, say) and then answers it: 0, 3 or 4 as
// readAnswer would when it takes the frame, 1 when it refuses it.
int readUnanswered(Link& link, TransferUi& ui, int length);
// A table the register answers with one frame of `length` bytes: drains what is left on the
// line, sends `request`, reads the frame and acknowledges it (code 1 when its check byte is
// wrong). True when the whole frame (start, length, end and check byte right) is in the
// receive area; otherwise nothing usable came and the user has been told why.
bool readSingleFrame(Link& link, TransferUi& ui, const QByteArray& request, int length);
// After a programming command.
int confirmationWait(Link& link, TransferUi& ui);
// After a print order or a clock change.
int reportConfirmationWait(Link& link, TransferUi& ui);
// Waits for the register to finish an order (200 ms between reads); true when it acknowledged.
bool completionWait(Link& link, TransferUi& ui);
// "Brak papieru! Kontynuować?": UserStopped, Accepted, AcceptedEnd or NoAnswer.
int paperOutQuestion(Link& link, TransferUi& ui);

// The device error table (codes 0..119; empty text for the rest).
QString deviceErrorText(int code);
// "Błąd " + code + ": " + text
QString deviceErrorMessage(int code);
void showDeviceError(TransferUi& ui, int code);

// Probe and type detection used by the port scans and `vduno probe`.
// How long a probed port may stay silent before a search takes it for one with nothing
// behind it (a register starts its answer within a few milliseconds).
inline constexpr int ProbeAnswerStartMs = 300;
enum class ProbeAnswer {
    // The whole 10-byte status frame must be right: noise that happens to carry "A" in the
    // right place is no register.
    WholeFrame,
    // The port searches: exactly 10 bytes with "A" at byte 6; a line that stays silent for
    // ProbeAnswerStartMs after the probe is given up at once, so that the search goes on
    // instead of waiting out the read time-out. The searches pass a UI that shows nothing.
    Search,
};
// Sends the probe ("Q", the current address, `sequence`, data byte 0) and reads 10 bytes;
// true when a register answered as `answer` requires.
bool probe(Link& link, TransferUi& ui, quint16 sequence = 0x8001,
           ProbeAnswer answer = ProbeAnswer::WholeFrame);
// Asks for the information data; 1 DUNO, 2 DUNO BIS, 0 when no usable answer came.
int detectRegisterType(Link& link, TransferUi& ui);

} // namespace answers
