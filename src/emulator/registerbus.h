#pragma once

#include "frame.h"
#include "registermodel.h"

#include <QByteArrayView>
#include <QList>

namespace emu {

// The registers on one line. A single register hears the whole line itself: it answers the
// frames for its own address and the service commands that always travel to address 1. Of
// several registers, each frame reaches the one whose address the frame carries, and a frame
// for an address no register has goes unanswered, as on a real shared line. Between frames,
// the 0xAA bytes that release the next piece of a copy belong to the register streaming it.
// The bus keeps pointers; the registers outlive it.
class RegisterBus {
public:
    explicit RegisterBus(RegisterModel& model);
    explicit RegisterBus(const QList<RegisterModel*>& models);

    // Bytes from the line; returns what the registers send.
    QList<Reply> feed(QByteArrayView bytes);
    // Forgets a half-received frame (after a pause on the line).
    void resetInput();
    // The register at `address`, or nullptr.
    RegisterModel* at(int address) const;
    const QList<RegisterModel*>& registers() const { return m_models; }

private:
    QList<RegisterModel*> m_models;
    FrameAssembler m_assembler;
    RegisterModel* m_last = nullptr; // the register that took the last frame
};

} // namespace emu
