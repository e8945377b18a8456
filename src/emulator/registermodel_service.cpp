// Service commands: the additional settings block (code 3), the clock ("C"), the manager
// password ("H"), the NIP ("I", 25 bytes), the probe ("Q"), and what the new-package
// service form sends: the port query ("9"), the register's port uses ("8") and the service
// preparation ("c").
#include "registermodel.h"

#include "common/cp1250.h"
#include "registermodel_p.h"

namespace emu {

QList<Reply> RegisterModel::readSettings(const Request&)
{
    return startRead(3, {m_settings.left(21)});
}

QList<Reply> RegisterModel::writeSettings(const Request& r)
{
    m_settings = r.data.first(22).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::setClock(const Request& r)
{
    // 0-1 year, 2 month, 3 day, 4 hour, 5 minute, 6 second, 7 zero.
    const QByteArrayView data = r.data;
    const int y = u16At(data, 0), mo = uint8_t(data[2]), d = uint8_t(data[3]);
    if (mo < 1 || mo > 12)
        return error(ErrMonth);
    if (d < 1 || d > daysIn(mo, y))
        return error(ErrDay);
    if (uint8_t(data[4]) > 23)
        return error(ErrHour);
    if (uint8_t(data[5]) > 59)
        return error(ErrMinute);
    if (uint8_t(data[6]) > 59)
        return error(ErrSecond);
    m_clock = data.first(8).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::setPassword(const Request& r)
{
    // The register compares the old password itself; the padding spaces do not count (the
    // form pads before the last character). A register that has no manager password yet
    // (the factory state) takes any old one; otherwise a wrong one is refused with
    // acknowledgement 1 and the password stays.
    auto bare = [](QByteArrayView b) { return b.toByteArray().replace(' ', "").replace('\0', ""); };
    if (!bare(m_password).isEmpty() && bare(r.data.first(10)) != bare(m_password))
        return {Reply{ackFrame(m_address, 1), m_recordDelayMs}};
    m_password = r.data.sliced(10, 10).toByteArray();
    return ack(r.seq);
}

QList<Reply> RegisterModel::setNip(const Request& r)
{
    m_nip = cp1250::readField(r.data.first(16));
    return ack(r.seq);
}

QList<Reply> RegisterModel::probe(const Request&)
{
    return {Reply{statusFrame(m_address, kStatusReady), m_recordDelayMs}};
}

QList<Reply> RegisterModel::queryPort(const Request&)
{
    const char port[1] = {0}; // reached over its USB port
    return {Reply{makeFrame(m_address, 0x8001, '9', QByteArrayView(port, 1))}};
}

QList<Reply> RegisterModel::setPorts(const Request& r)
{
    // 0 USB use (0 none, 1 computer), 1 port A use, 3 port B use (0 computer, 1 scale,
    // 2 scanner, 3 none); the register reports them in its information data.
    const uint8_t usb = uint8_t(r.data[0]), a = uint8_t(r.data[1]), b = uint8_t(r.data[3]);
    if (usb > 1 || a > 3 || b > 3)
        return error(ErrPortSettings);
    m_info[110] = char(a);
    m_info[111] = char(b);
    m_info[112] = char(usb);
    return ack(r.seq);
}

QList<Reply> RegisterModel::prepareService(const Request& r)
{
    if (r.data[0] != 1)
        return error(ErrQueryCode);
    m_info[66] = 1; // service mode, reported in the information data
    return ack(r.seq);
}

} // namespace emu
