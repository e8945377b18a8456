#pragma once

#include "tables/articlerecord.h"

#include <QString>
#include <QStringList>

#include <optional>

class RegisterDatabase;

// The article base editor's operations on the database, without the form: the choice lists,
// adding an article with every check in its order, loading one for editing and deleting.
// The duplicate-name index is built once and kept in step with every write made here.

// The choice lists of the article form's defaults box.
struct ArticleChoices {
    QStringList groups;  // 20 items: "n. name" for used group slots, the slot number otherwise
    QStringList tandems; // "Brak", then the 20 packaging slots in the same manner
    QStringList halos;   // "Brak", then "k. amount" for the halo entries 1..9
};
ArticleChoices articleChoices(RegisterDatabase& db);

// The single-article editor's lists: groups "n name" (21-character name), tandem "brak" and
// then "n name" with the first 41 characters of the packaging name.
QStringList editorGroupItems(RegisterDatabase& db);
QStringList editorTandemItems(RegisterDatabase& db);

// The entry fields filled from a stored article. Indexes that the stored bytes cannot name
// (a VAT byte outside "A".."G", a group outside 1..20, ...) keep the value of `current`.
ArticleInput inputFromRecord(const ArticleRecord& record, const ArticleInput& current);

class ArticleBase {
public:
    explicit ArticleBase(RegisterDatabase& db);

    enum class Status {
        Refused,     // a check failed; `validation` says which and why
        FileClosed,  // "     Plik zamknięty.     "
        WriteFailed, // "     Błąd! Nie dodano towaru     "
        Written,
    };
    struct AddResult {
        Status status = Status::Refused;
        Validated<ArticleRecord> validation;
        // The message box text of a refusal or failure; empty for hints only and for success.
        QString message() const;
    };

    // Checks the fields and writes the whole record at the slot of the entered number.
    AddResult add(const ArticleInput& input);
    // Writes zeros over the article; false when the number is out of range or the write failed.
    bool remove(int number);
    // The record of article `number` (1..2000).
    ArticleRecord load(int number);
    // After the table was changed elsewhere (read from the register).
    void rebuildIndex();
    const ArticleIndex& index() const { return m_index; }

    RegisterDatabase& database() { return m_db; }

private:
    RegisterDatabase& m_db;
    ArticleIndex m_index;
};
