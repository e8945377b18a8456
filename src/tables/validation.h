#pragma once

#include <QList>
#include <QString>
#include <optional>

// The first refusal of a form's input: which control it concerns (its name in the form, so the
// form can focus it or show its red hint) and the message to show.
struct Failure {
    QString field;
    QString message;
    bool hint = false; // shown as the red label beside the field, not in a message box

    bool operator==(const Failure&) const = default;
};

template <class Record> struct Validated {
    std::optional<Record> record;
    std::optional<Failure> failure;
    // Hints of the required fields that were left empty (all of them, so the form shows every
    // one and hides the rest); the first is also `failure`.
    QList<Failure> hints;

    bool ok() const { return record.has_value(); }
    static Validated fail(Failure f)
    {
        Validated v;
        v.failure = std::move(f);
        return v;
    }
    static Validated fromHints(QList<Failure> hs)
    {
        Validated v;
        v.failure = hs.first();
        v.hints = std::move(hs);
        return v;
    }
    static Validated success(Record r)
    {
        Validated v;
        v.record = std::move(r);
        return v;
    }
};

namespace input {

// True when the text is not empty and holds nothing but spaces.
bool onlySpaces(const QString& text);
// A whole number typed in a field, e.g. a record number; nullopt when it is not one.
std::optional<qint64> integer(const QString& text);
// A typed decimal whose value is cut (not rounded) to `decimals` places, read digit by digit so
// that 0,29 stays 29 hundredths. "." counts as ",". Optional leading minus. nullopt when
// malformed or beyond 15 whole digits.
std::optional<qint64> truncated(const QString& text, int decimals);
// The text right-padded with spaces to `width` characters (names compared as the forms do).
QString paddedSpaces(const QString& text, int width);
// A stored name without its trailing spaces.
QString withoutTrailingSpaces(const QString& text);

} // namespace input
