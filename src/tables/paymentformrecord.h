#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

// One payment form, 23 bytes: 0 number | 1 name (21, 0-padded) | 22 type 1..5.
struct PaymentFormRecord {
    static constexpr int Size = layout::PaymentForms.recordSize;

    int number = 0;
    QString name;
    int type = 1;

    static PaymentFormRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const PaymentFormRecord&) const = default;
};

// "Karta płatnicza", "Czek", "Bon", "Kredyt", "Inna" (type 1..5 = index + 1).
const QStringList& paymentTypeNames();
// The type's name, empty outside 1..5.
QString paymentTypeName(int type);

struct PaymentFormInput {
    QString number, name;
    int typeIndex = 0;
};

// Field names: "Edit1" number, "Edit2" name. Names are compared without trailing spaces;
// saving again under the same number is allowed.
Validated<PaymentFormRecord> validatePaymentForm(const PaymentFormInput& in,
                                                 QByteArrayView paymentTable);
