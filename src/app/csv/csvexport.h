#pragma once

#include "csvtables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class DatabaseSession;
class TransferUi;

namespace csv {

// The rate as the export writes it: the mantissa in decimal, padded on the left with "0" to
// 8 characters (more when the decimals need them), with "," before the last `decimals`
// characters; no comma for 0 decimals (45678000/7 -> "4,5678000", 5/2 -> "000000,05").
QString exportRate(qint32 mantissa, int decimals);

// The whole file for the table (cp1250, see encodeFile): the title line, the column line and
// one line per used record in slot order. `tableBytes` holds the records 1..lastNumber of the
// table.
QByteArray exportBytes(Table table, QByteArrayView tableBytes);
// The same, read from the database's working copy in one pass.
QByteArray exportTable(DatabaseSession& session, Table table);

enum class ExportResult { Written, Declined, Failed };
struct ExportOutcome {
    ExportResult result = ExportResult::Failed;
    QString label; // the result label's text after a written export
};

// Writes the table's export to `path`. An existing file is replaced only after "Yes" to
// "Plik <path> już istnieje. Kontynuować? ", and only once the new file is complete, so a
// failed write ("Wystąpił błąd zapisu") leaves the old one as it was.
ExportOutcome exportToFile(DatabaseSession& session, Table table, const QString& path,
                           TransferUi& ui);

// The messages of the export.
inline const QString WriteError = QStringLiteral("Wystąpił błąd zapisu");
inline const QString FileClosed = QStringLiteral("     Plik zamknięty.     ");
QString existsQuestion(const QString& path);

} // namespace csv
