// Opening a database file of arbitrary content (version 1 or 2) and listing every table.
#include "database/databasesession.h"
#include "database/tables.h"
#include "tables/tableshow.h"

#include <QByteArray>

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // The first byte picks the version, the next three where the rest lands in the file.
    QByteArray file(layout::FileSize, '\0');
    const bool v1 = data[0] & 1;
    std::memcpy(file.data(), v1 ? layout::MagicV1 : layout::MagicV2, layout::MagicSize);
    const size_t at =
        (size_t(data[1]) << 16 | size_t(data[2]) << 8 | data[3]) % size_t(layout::FileSize);
    const size_t n = qMin(size - 4, size_t(layout::FileSize) - at);
    std::memcpy(file.data() + at, data + 4, n);

    const QByteArray working = DatabaseSession::convertedWorkingCopy(file);
    for (const QString& table : tableshow::tableNames()) {
        QStringList lines;
        tableshow::lines(working, table, lines);
    }
    return 0;
}
