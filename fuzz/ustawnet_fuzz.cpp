// ustaw.net, the side file of ustaw.cfg with the address of a register behind a serial device
// server. Whatever the bytes, the address taken is one the link can open or none, and an
// address written reads back as it was.
#include "app/portsettings.h"
#include "fuzzcheck.h"
#include "link/portmap.h"

#include <QByteArray>

#include <cstdint>

using fuzzcheck::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzcheck::application();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString address = settingsfile::decodeNetworkFile(bytes);
    if (address.isEmpty())
        return 0;
    check(portmap::isNetworkAddress(address), "an address the link cannot open");
    check(address == address.trimmed(), "spaces around the address");
    check(!address.contains(u'\n'), "a line break in the address");

    const QByteArray written = settingsfile::encodeNetworkFile(address);
    check(written.endsWith('\n') && written.count('\n') == 1, "the side file is not one line");
    check(settingsfile::decodeNetworkFile(written) == address,
          "the written address reads back different");
    return 0;
}
