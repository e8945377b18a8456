#pragma once

#include "tables/tablelayout.h"

#include <QString>
#include <array>
#include <optional>

class Link;
class RegisterDatabase;
class TransferUi;

// Quick key record, 34 bytes; cashier c, key k (1..10 each) at 145060 + 340(c-1) + 34(k-1):
//   0 cashier (0 = never programmed) | 1 key | 2 next entry 0..5
//   3 + 6i article i (16-bit) | 5 + 6i quantity i (32-bit, ten-thousandths), i = 0..4
//   33 end receipt ("Kończenie paragonu")
struct QuickKeyRecord {
    static constexpr int Size = layout::QuickKeys.recordSize;
    static constexpr int Entries = 5;
    struct Entry {
        int article = 0;
        qint32 quantity = 0;
        bool operator==(const Entry&) const = default;
    };

    int cashier = 0;
    int key = 0;
    int nextEntry = 0;
    std::array<Entry, Entries> entries{};
    bool endReceipt = false;

    static QuickKeyRecord decode(QByteArrayView bytes);
    QByteArray encode() const;
    bool operator==(const QuickKeyRecord&) const = default;

    // Record number 1..100 in the table for cashier c, key k.
    static constexpr int numberOf(int cashier, int key)
    {
        return layout::quickKeyNumber(cashier, key);
    }
    static constexpr qint64 offsetOf(int cashier, int key)
    {
        return layout::quickKeyOffset(cashier, key);
    }

    // Puts the article into the entry named by the next-entry byte (the fifth is replaced once
    // all five are used), takes the end-receipt box, sets cashier and key.
    void addArticle(int cashier, int key, int article, qint32 quantity, bool endReceiptBox);
    // Empties one entry; the next-entry byte stays.
    void removeEntry(int index);
};

// "Dodawana ilość:": first "." made ","; ten-thousandths, cut; nullopt when it is not a number,
// zero or above 99,9999.
std::optional<qint32> quickKeyQuantity(const QString& typed);

// A key list line: the article name padded with spaces to 10, a space and the quantity
// (1,0000). `articleName` is the article's stored name.
QString quickKeyEntryLine(const QString& articleName, qint32 quantity);
// The article list line: "  12. " (6 wide), name cut/padded to 20, space, price right-aligned
// in 10, space, VAT letter.
QString quickKeyArticleLine(int number, const QString& name, qint32 price, char vat);

// The quick key table in the database and its frames to the register.
namespace quickkeys {

QuickKeyRecord load(RegisterDatabase& db, int cashier, int key);
bool store(RegisterDatabase& db, int cashier, int key, const QuickKeyRecord& record);
// When a key of the cashier names an article above 2000, the whole table (3400 bytes) is set
// to zero; true when that happened (the form then marks the database modified and tells the
// user).
bool repairIfDamaged(RegisterDatabase& db, int cashier);
inline const QString RepairMessage =
    QStringLiteral("Wykryto błąd bazy klawiszy szybkich! Klawisze szybkie zostały skasowane, a "
                   "baza danych naprawiona.");

// One "S" frame with the given sequence value and the report confirmation wait; a busy answer
// is waited out once (4400 ms). Returns the wait's result (-1 when the frame did not go out).
int sendKey(Link& link, TransferUi& ui, RegisterDatabase& db, int cashier, int key,
            quint16 sequence);
// "Wyślij do kasy" of one key: drain, then sendKey with 0x8001.
int sendOneKey(Link& link, TransferUi& ui, RegisterDatabase& db, int cashier, int key);
// "Wyślij do kasy wszystkie klawisze": keys 1..10 with sequence values 1..10 (end marker on
// the tenth), 300 ms apart, as long as each is accepted with code 0. A stop request marks the
// next key's frame as the last. Returns how many keys the register accepted.
int sendAllKeys(Link& link, TransferUi& ui, RegisterDatabase& db, int cashier);

} // namespace quickkeys
