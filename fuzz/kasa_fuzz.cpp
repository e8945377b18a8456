// The ".kasa" side file of a copy of the register (its model, information, settings and
// unit names). Reading it changes nothing; what is read writes a file that reads back as the
// same data, and that file written again is the same bytes.
#include "fuzzcheck.h"
#include "transfer/whole/registerextras.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>

using fuzzcheck::check;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "a file written cannot be read");
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QTemporaryDir& dir = fuzzcheck::scratch();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString input = dir.filePath(QStringLiteral("sklep.kasa"));
    {
        QFile file(input);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  file.write(bytes) == bytes.size(),
              "cannot write the input");
    }
    const auto extras = wholereg::readExtras(input);
    check(contents(input) == bytes, "reading the side file changed it");
    if (!extras)
        return 0;
    check(extras->settings.isEmpty() || extras->settings.size() == 21,
          "a settings block of another size");
    check(extras->units.isEmpty() || extras->units.size() == 3, "not three unit names");

    const QString copy = dir.filePath(QStringLiteral("kopia.kasa"));
    QString error;
    check(wholereg::writeExtras(copy, *extras, &error), "the side file cannot be written");
    const auto again = wholereg::readExtras(copy);
    check(again.has_value(), "a side file the program wrote is not taken");
    check(*again == *extras, "the written side file reads back different");
    const QByteArray written = contents(copy);
    check(wholereg::writeExtras(copy, *again, &error) && contents(copy) == written,
          "the side file written again differs");
    return 0;
}
