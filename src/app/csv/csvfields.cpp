#include "csvfields.h"

namespace csv {

void appendLine(QString& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.append(u';');
        out.append(quoted(fields[i]));
    }
    out.append(u'\n');
}

Rows splitRows(const QString& text)
{
    Rows result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    // A line end at i: "\n" or "\r\n"; returns its length (0 when there is none).
    const auto lineEnd = [&](qsizetype at) -> int {
        if (at < n && text[at] == u'\n')
            return 1;
        if (at + 1 < n && text[at] == u'\r' && text[at + 1] == u'\n')
            return 2;
        if (at + 1 == n && text[at] == u'\r')
            return 1;
        return 0;
    };
    while (i < n) {
        Row row;
        row.line = line;
        QString field;
        bool rowDone = false;
        while (!rowDone) {
            if (i < n && text[i] == u'"') {
                // A quoted field: up to the quote that is not doubled.
                const int startLine = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar c = text[i];
                    if (c == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            field.append(u'"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == u'\n')
                        ++line;
                    field.append(c);
                    ++i;
                }
                if (!closed) {
                    result.badQuoteLine = startLine;
                    return result;
                }
            }
            // The rest of the field as it stands (after a closing quote there is normally
            // nothing before the separator).
            while (i < n && text[i] != u';' && lineEnd(i) == 0) {
                field.append(text[i]);
                ++i;
            }
            row.fields.append(field);
            field.clear();
            if (i >= n) {
                rowDone = true;
            } else if (text[i] == u';') {
                ++i;
            } else {
                i += lineEnd(i);
                ++line;
                rowDone = true;
            }
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

} // namespace csv
