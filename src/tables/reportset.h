#pragma once

#include "tables/tablelayout.h"

#include <QStringList>

#include <QString>
#include <array>

// The report set: 19 bytes, one per report: 0 "Niezaprogramowany", 1 "Pełny",
// 2 "Rekordów niezerowych".
struct ReportSet {
    static constexpr int Size = layout::ReportSet.recordSize;
    std::array<int, Size> choices{};

    static ReportSet decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const ReportSet&) const = default;
};

class RegisterDatabase;
ReportSet loadReportSet(RegisterDatabase& db);
bool storeReportSet(RegisterDatabase& db, const ReportSet& set);

const QStringList& reportSetNames();   // the 19 reports in byte order
const QStringList& reportSetChoices(); // the three captions
