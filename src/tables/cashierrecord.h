#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

#include <array>

// One cashier, 33 bytes: 0 number | 1 name (21, 0-padded) | 22 password (4 ASCII digits,
// 0-padded; all zero = none) | 26..32 the seven rights (1 = allowed), in the order of `Right`.
struct CashierRecord {
    static constexpr int Size = layout::Cashiers.recordSize;
    enum Right {
        NonZeroingReports,
        ZeroingReports,
        ManualDiscounts,
        TableDiscounts,
        CancelReceipt,
        VoidOperations,
        CashInOut,
        RightCount
    };

    int number = 0;
    QString name;
    QString password;
    std::array<bool, RightCount> rights{};

    static CashierRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const CashierRecord&) const = default;
};

// The captions of the seven rights, in record order.
const QStringList& cashierRightNames();

struct CashierInput {
    QString number, name, password;
    std::array<bool, CashierRecord::RightCount> rights{};
};

// Field names: "Edit1" number, "Edit2" name, "MaskEdit1" password. Cashier 1's password field
// is disabled in the form, so for cashier 1 the stored password is kept (`cashierTable` is the
// whole table, or empty when no database is loaded).
Validated<CashierRecord> validateCashier(const CashierInput& in, QByteArrayView cashierTable);

// Refusal of a delete: empty when the record may go.
QString cashierDeleteRefusal(int number);

// The password as the form shows it: the stored digits, or "Brak".
QString cashierPasswordText(const CashierRecord& r);
