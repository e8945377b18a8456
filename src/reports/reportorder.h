#pragma once

#include "reports/reportkinds.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace reports {

enum class PeriodicVariant { Monthly, Period, Numbers };
enum class Scope { WholeBase, Group, Articles };

// The parameters of one report order as the forms and the command line collect them.
// Texts are kept as typed; the checks convert them.
struct ReportParams {
    // Periodic report.
    PeriodicVariant variant = PeriodicVariant::Monthly;
    QString monthText;               // "mm-rrrr" as in the masked edit
    QDate from, to;                  // period variant
    QString firstReport, lastReport; // by report numbers
    bool fullReport = true;          // "Raport pełny" (periodic and cashier report)

    // Scope of the sales, base-with-VAT and full-base reports.
    Scope scope = Scope::WholeBase;
    int group = 1;                     // 1-20
    QString firstArticle, lastArticle; // article range

    bool zeroing = false;     // "Raport zerujący"
    bool zeroRecords = false; // "Drukować rekordy zerowe?" / "Drukowanie rekordów zerowych"
    int cashier = 1;          // 1-10

    // Group turnover report.
    int startMonth = 1, endMonth = 1; // 1-12
    QString startYear, endYear;       // four-digit year edits
};

// A checked order: either the message of the first failed check, or the frame to send.
struct ReportOrder {
    QString error;
    QByteArray frame;
    bool ok() const { return error.isEmpty(); }
};

// Checks the parameters of `kind` in the order the form checks them and builds its frame
// addressed to `address`.
ReportOrder buildOrder(Kind kind, const ReportParams& params, uint8_t address);

// The monthly variant's default: the previous month as "mm-rrrr"; in January December of
// the previous year.
QString defaultMonthText(const QDate& today);

} // namespace reports
