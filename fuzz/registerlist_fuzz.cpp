// The register list of a shop chain. A refused list names every bad line once, in words a
// message can show; a list that is taken is written by the program (the window saves it) to a
// file that reads back as the same registers.
#include "fuzzcheck.h"
#include "transfer/chain/registerlist.h"

#include <QByteArray>

#include <cstdint>

using fuzzcheck::check;

namespace {

const QString FileName = QStringLiteral("sklepy.txt");
const QString BaseDir = QStringLiteral("/srv/sieć sklepów");

bool sameRegister(const chain::ChainRegister& a, const chain::ChainRegister& b)
{
    return a.name == b.name && a.port == b.port && a.device == b.device && a.address == b.address &&
           a.database == b.database && a.databaseListed == b.databaseListed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzcheck::application();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const chain::RegisterList list = chain::parseRegisterList(bytes, FileName, BaseDir);
    if (!list.ok()) {
        for (const QString& error : list.errors) {
            check(error.startsWith(FileName + u':') && error.size() > FileName.size() + 2,
                  "a refusal that does not name the file");
            check(list.errors.count(error) == 1, "the same refusal twice");
            check(!fuzzcheck::hasControl(error), "a control character in the refusal");
        }
        return 0;
    }
    check(!list.registers.isEmpty(), "a list taken without a register");
    for (const chain::ChainRegister& reg : list.registers) {
        check(!reg.name.isEmpty() && reg.address >= 1 && reg.address <= 9, "a bad register");
        check(!reg.device.isEmpty() && !reg.database.isEmpty(), "a register with no device");
    }

    const QByteArray written = chain::formatRegisterList(list.registers, BaseDir);
    const chain::RegisterList again = chain::parseRegisterList(written, FileName, BaseDir);
    check(again.ok(), "a list the program wrote is refused");
    check(again.registers.size() == list.registers.size(), "registers lost in the written list");
    for (qsizetype i = 0; i < list.registers.size(); ++i)
        check(sameRegister(again.registers[i], list.registers[i]),
              "a register of the written list reads back different");
    check(chain::formatRegisterList(again.registers, BaseDir) == written,
          "the list written again differs");
    return 0;
}
