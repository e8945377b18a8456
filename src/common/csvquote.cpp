#include "csvquote.h"

namespace csv {

QString quoted(const QString& field)
{
    const bool needsQuotes = field.contains(u';') || field.contains(u'"') ||
                             field.contains(u'\n') || field.contains(u'\r');
    if (!needsQuotes)
        return field;
    QString out;
    out.reserve(field.size() + 2);
    out.append(u'"');
    for (QChar c : field) {
        if (c == u'"')
            out.append(u'"');
        out.append(c);
    }
    out.append(u'"');
    return out;
}

} // namespace csv
