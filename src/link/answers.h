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
// Reads one data frame of `length` bytes, acknowledges it; see ReadResult.
int readAnswer(Link& link, TransferUi& ui, int length);
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
// True when a 10-byte status frame answers the probe at the current address.
bool probe(Link& link, TransferUi& ui, quint16 sequence = 0x8001);
// Asks for the information data; 1 DUNO, 2 DUNO BIS, 0 when no usable answer came.
int detectRegisterType(Link& link, TransferUi& ui);

} // namespace answers
