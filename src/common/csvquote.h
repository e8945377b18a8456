#pragma once

#include <QString>

// The quoting of a CSV field, shared by every CSV file the program writes (the tables' export,
// the sales list): a field is quoted only when it holds ";", a double quote or a line break,
// and inside quotes a double quote is doubled, as spreadsheets write it.
namespace csv {

// One field as it goes into the file.
QString quoted(const QString& field);

} // namespace csv
