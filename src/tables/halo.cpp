#include "halo.h"

#include "common/amount.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"
#include "tables/recordsend.h"

#include <limits>

HaloTable HaloTable::decode(QByteArrayView b)
{
    HaloTable t;
    for (int i = 0; i < 10; ++i)
        t.amounts[i] = le::i32(b, 4 * i);
    return t;
}

QByteArray HaloTable::encode() const
{
    QByteArray b(Size, '\0');
    for (int i = 0; i < 10; ++i)
        le::put32(b, 4 * i, amounts[i]);
    return b;
}

Validated<HaloTable> validateHalo(const std::array<QString, 9>& fields, const HaloTable& stored)
{
    HaloTable t = stored;
    for (int k = 0; k < 9; ++k) {
        const auto v = input::truncated(fields[k], 2);
        if (!v || *v < std::numeric_limits<qint32>::min() ||
            *v > std::numeric_limits<qint32>::max())
            return Validated<HaloTable>::fail(
                {QString::number(k + 1), QStringLiteral("Błędnie wypełnione pola!")});
        t.amounts[k + 1] = qint32(*v);
    }
    return Validated<HaloTable>::success(t);
}

QStringList haloChoiceItems(const HaloTable& t)
{
    QStringList items{QStringLiteral("Brak")};
    for (int k = 1; k <= 9; ++k)
        items.append(QString::number(k) + QStringLiteral(". ") + amount::text(t.amounts[k]));
    return items;
}

namespace halo {

HaloTable load(RegisterDatabase& db)
{
    return HaloTable::decode(db.readBytes(layout::Halo.base, HaloTable::Size));
}

bool store(RegisterDatabase& db, const HaloTable& table)
{
    return db.writeRecord(layout::Halo.base, table.encode());
}

int send(Link& link, TransferUi& ui, const HaloTable& table)
{
    // Entries 1..9: the 36 bytes after entry 0.
    const QByteArray entries = table.encode().sliced(4, 36);
    const int r =
        recordsend::sendFrame(link, ui, commands::haloTable(link.address, 0x8001, entries));
    return r == recordsend::SendFailed ? -1 : r;
}

} // namespace halo
