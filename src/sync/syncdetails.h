#pragma once

#include <QList>
#include <QString>

// What a click on a list line shows: a title (the record's name), captioned values in the
// order of the form's labels, and a notice line (the cashier's "KASJER ZALOGOWANY!").
namespace basesync {

struct DetailField {
    QString caption;
    QString value;
    bool operator==(const DetailField&) const = default;
};

struct Details {
    QString title;
    QList<DetailField> fields;
    QString notice;

    // The value under `caption`, or a null string when there is no such field.
    QString value(const QString& caption) const
    {
        for (const DetailField& f : fields)
            if (f.caption == caption)
                return f.value;
        return {};
    }
    bool isEmpty() const { return title.isEmpty() && fields.isEmpty() && notice.isEmpty(); }
};

} // namespace basesync

#include <QByteArrayView>

namespace basesync {

// A register time stamp of six bytes at `at`: year (two bytes), month, day, hour, minute,
// shown as year "-" month "-" day, two spaces, hour ":" minute (hour and minute with two
// digits). With `neverWhenHour24` an hour of 24 (never happened) shows "Brak".
QString timeStampText(QByteArrayView bytes, int at, bool neverWhenHour24);
// Little-endian unsigned integer of `width` bytes (1..4) at `at`.
quint32 unsignedAt(QByteArrayView bytes, int at, int width);
// Signed 32-bit amount in grosze at `at`, as amount text.
QString amountAt(QByteArrayView bytes, int at);
// "TAK" for a non-zero byte, "NIE" for zero.
QString yesNo(bool value);

} // namespace basesync
