#include "units.h"

#include "common/cp1250.h"

namespace units {

QStringList decode(QByteArrayView b)
{
    QStringList names;
    for (int i = 0; i < Count; ++i)
        names.append(cp1250::readField(b.sliced(i * Width, Width)));
    return names;
}

QByteArray encode(const QStringList& names)
{
    QByteArray b;
    for (int i = 0; i < Count; ++i)
        b.append(cp1250::padSpaces(names.value(i), Width));
    return b;
}

} // namespace units
