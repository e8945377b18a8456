#include "registerbus.h"

namespace emu {

RegisterBus::RegisterBus(RegisterModel& model) : m_models{&model}
{
}

RegisterBus::RegisterBus(const QList<RegisterModel*>& models) : m_models(models)
{
}

RegisterModel* RegisterBus::at(int address) const
{
    for (RegisterModel* m : m_models)
        if (m->address() == address)
            return m;
    return nullptr;
}

QList<Reply> RegisterBus::feed(QByteArrayView bytes)
{
    if (m_models.size() == 1)
        return m_models.front()->feed(bytes);
    QList<Reply> out;
    QByteArray rest;
    for (char c : bytes) {
        if (uint8_t(c) == 0xAA && m_last && m_last->sendingCopy())
            out += m_last->feed(QByteArrayView(&c, 1));
        else
            rest.append(c);
    }
    m_assembler.feed(rest);
    // Byte 1 of a frame is the address of the register it is for.
    for (QByteArray f = m_assembler.next(); !f.isEmpty(); f = m_assembler.next()) {
        RegisterModel* target = at(uint8_t(f[1]));
        if (!target)
            continue;
        m_last = target;
        out += target->handle(f);
    }
    return out;
}

void RegisterBus::resetInput()
{
    m_assembler.clear();
    for (RegisterModel* m : m_models)
        m->resetInput();
}

} // namespace emu
