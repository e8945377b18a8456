#pragma once

#include "tables/tablelayout.h"
#include "tables/validation.h"

// One product group, 22 bytes: 0 number | 1 name (21, 0-padded).
struct GroupRecord {
    static constexpr int Size = layout::Groups.recordSize;

    int number = 0;
    QString name;

    static GroupRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const GroupRecord&) const = default;
};

struct GroupInput {
    int number = 1; // the slot chosen in the list "1".."20"
    QString name;
};

// Field name "Edit1". The name, padded with spaces to 21, is compared with every stored name
// padded the same way, the slot being overwritten included.
Validated<GroupRecord> validateGroup(const GroupInput& in, QByteArrayView groupTable);

QString groupDeleteRefusal(int number);

// Choice list items "n. name" for used slots, the bare slot number otherwise.
QStringList groupChoiceItems(QByteArrayView groupTable);

// What the form shows after sending a group: "Grupę towarową zapisano w kasie" when confirmed,
// "Nazwa grupy towarowej już występuje w bazie towarowej kasy." for a name the register
// already holds (device error 5, or its own code 40), the device error message for any other
// refusal, "Błąd! Kasa nie potwierdziła zapisu grupy towarowej!" when no confirmation came;
// empty when nothing went out or the link already said why.
QString groupSendMessage(int waitResult, int deviceError);
