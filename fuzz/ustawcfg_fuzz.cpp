// ustaw.cfg as the program reads it at start. Whatever the bytes, the settings that reach the
// link are ones it can use, a value it can use is kept as the file holds it, and what the
// program writes at exit reads back as the same settings.
#include "app/portsettings.h"
#include "fuzzcheck.h"

#include <QByteArray>

#include <cstdint>

using fuzzcheck::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PortSettings s = settingsfile::decode(bytes);
    const auto at = [&](qsizetype i) { return i < bytes.size() ? int(quint8(bytes[i])) : -1; };

    check(s.port == PortSettings::NoPort || (s.port >= 1 && s.port <= 99), "an unusable port");
    check(s.baud != 0, "a zero baud rate");
    check(s.dataBits >= 5 && s.dataBits <= 8, "unusable data bits");
    check(s.parity <= 4 && s.stopBits <= 2, "an unknown parity or stop-bit code");
    check(s.xonXoff <= 1 && s.rtsCts <= 1, "a flow-control switch other than 0 or 1");
    check(s.networkAddress.isEmpty(), "a network address from the 14 bytes");

    // What the link can use is taken as it stands.
    if (at(1) >= 1 && at(1) <= 99)
        check(s.port == at(1), "a good port number dropped");
    if (size >= 6) {
        const quint32 baud =
            quint32(at(2)) | quint32(at(3)) << 8 | quint32(at(4)) << 16 | quint32(at(5)) << 24;
        if (baud != 0)
            check(s.baud == baud, "a good baud rate dropped");
    }
    if (at(6) >= 5 && at(6) <= 8)
        check(s.dataBits == at(6), "good data bits dropped");
    if (at(7) >= 0 && at(7) <= 4)
        check(s.parity == at(7), "a good parity dropped");
    if (at(8) >= 0 && at(8) <= 2)
        check(s.stopBits == at(8), "good stop bits dropped");
    for (int i = 0; i < 3; ++i)
        if (at(11 + i) >= 0)
            check(s.spare[size_t(i)] == at(11 + i), "a spare byte not kept as read");

    const QByteArray written = settingsfile::encode(s);
    check(written.size() == settingsfile::Size, "the written file is not 14 bytes");
    check(written[0] == 0, "byte 0 written");
    check(settingsfile::decode(written) == s, "the written settings read back different");
    check(settingsfile::encode(settingsfile::decode(written)) == written,
          "the file written again differs");
    return 0;
}
