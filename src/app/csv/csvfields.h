#pragma once

#include "common/csvquote.h"

#include <QString>
#include <QStringList>

#include <vector>

// The field syntax of the CSV files: fields separated by ";", lines ended by a line feed.
// A field is quoted only when it holds ";", a double quote or a line break; inside quotes a
// double quote is doubled, as spreadsheets write it. Every other field stands as it is, so a
// file of ordinary records has no quotes at all.
namespace csv {

// Appends the fields joined by ";" and a line feed.
void appendLine(QString& out, const QStringList& fields);

struct Row {
    int line = 0; // the line of the file where the row begins (from 1)
    QStringList fields;
};

struct Rows {
    std::vector<Row> rows;
    int badQuoteLine = 0; // line of a quoted field that is never closed (0: none)
};

// Splits the text into rows and fields. A line may end with a line feed, a carriage return and
// line feed, or the end of the text; a final line end does not start another row. Quoted
// fields may hold separators, doubled quotes and line breaks.
Rows splitRows(const QString& text);

} // namespace csv
