#include "quickkeys.h"

#include "common/transferrun.h"

#include "common/amount.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/linedamage.h"
#include "link/link.h"
#include "tables/validation.h"

#include <QString>
#include <algorithm>

QuickKeyRecord QuickKeyRecord::decode(QByteArrayView b)
{
    QuickKeyRecord r;
    r.cashier = quint8(b[0]);
    r.key = quint8(b[1]);
    r.nextEntry = quint8(b[2]);
    for (int i = 0; i < Entries; ++i)
        r.entries[i] = {le::u16(b, 3 + 6 * i), le::i32(b, 5 + 6 * i)};
    r.endReceipt = b[33] != 0;
    return r;
}

QByteArray QuickKeyRecord::encode() const
{
    QByteArray b(Size, '\0');
    b[0] = char(cashier);
    b[1] = char(key);
    b[2] = char(nextEntry);
    for (int i = 0; i < Entries; ++i) {
        le::put16(b, 3 + 6 * i, quint16(entries[i].article));
        le::put32(b, 5 + 6 * i, entries[i].quantity);
    }
    b[33] = endReceipt ? 1 : 0;
    return b;
}

void QuickKeyRecord::addArticle(int c, int k, int article, qint32 quantity, bool endReceiptBox)
{
    // A damaged next-entry byte above 5 is treated as "all used" so the write stays inside.
    const int slot = std::clamp(nextEntry, 0, Entries - 1);
    entries[slot] = {article, quantity};
    endReceipt = endReceiptBox;
    nextEntry = std::min(std::clamp(nextEntry, 0, Entries) + 1, Entries);
    cashier = c;
    key = k;
}

void QuickKeyRecord::removeEntry(int index)
{
    if (index >= 0 && index < Entries)
        entries[index] = {};
}

std::optional<qint32> quickKeyQuantity(const QString& typed)
{
    const auto v = input::truncated(typed, 4);
    if (!v || *v <= 0 || *v > 999999)
        return std::nullopt;
    return qint32(*v);
}

QString quickKeyEntryLine(const QString& articleName, qint32 quantity)
{
    QString q = QString::number(quantity);
    if (q.size() < 5)
        q = QString(5 - q.size(), u'0') + q;
    q.insert(q.size() - 4, u',');
    return articleName.leftJustified(10, u' ') + u' ' + q;
}

QString quickKeyArticleLine(int number, const QString& name, qint32 price, char vat)
{
    return QString(QString::number(number) + QStringLiteral(". ")).rightJustified(6, u' ') +
           name.leftJustified(20, u' ', true) + u' ' +
           amount::text(price).rightJustified(10, u' ') + u' ' + QLatin1Char(vat);
}

namespace quickkeys {

QuickKeyRecord load(RegisterDatabase& db, int cashier, int key)
{
    return QuickKeyRecord::decode(
        db.readBytes(QuickKeyRecord::offsetOf(cashier, key), QuickKeyRecord::Size));
}

bool store(RegisterDatabase& db, int cashier, int key, const QuickKeyRecord& record)
{
    return db.writeRecord(QuickKeyRecord::offsetOf(cashier, key), record.encode());
}

bool repairIfDamaged(RegisterDatabase& db, int cashier)
{
    const QByteArray keys = db.readBytes(QuickKeyRecord::offsetOf(cashier, 1),
                                         layout::QuickKeysPerCashier * QuickKeyRecord::Size);
    bool damaged = false;
    for (int k = 0; k < layout::QuickKeysPerCashier && !damaged; ++k)
        for (int i = 0; i < QuickKeyRecord::Entries; ++i)
            damaged = damaged ||
                      le::u16(keys, k * QuickKeyRecord::Size + 3 + 6 * i) > layout::Articles.count;
    if (!damaged)
        return false;
    db.writeRecord(layout::QuickKeys.base, QByteArray(layout::QuickKeys.bytes(), '\0'));
    return true;
}

int sendKey(Link& link, TransferUi& ui, RegisterDatabase& db, int cashier, int key,
            quint16 sequence)
{
    const QByteArray record =
        db.readBytes(QuickKeyRecord::offsetOf(cashier, key), QuickKeyRecord::Size);
    const QByteArray frame =
        commands::quickKey(link.address, sequence, quint8(cashier), quint8(key), record, 0);
    if (commands::send(link, ui, frame) != 0)
        return -1;
    int r = answers::reportConfirmationWait(link, ui);
    if (r == answers::Busy) {
        ui.waitMs(4400);
        r = answers::reportConfirmationWait(link, ui);
    }
    return r;
}

int sendOneKey(Link& link, TransferUi& ui, RegisterDatabase& db, int cashier, int key)
{
    link.drainInput(ui);
    return sendKey(link, ui, db, cashier, key, 0x8001);
}

int sendAllKeys(Link& link, TransferUi& caller, RegisterDatabase& db, int cashier)
{
    TransferRun ui(caller);
    link.drainInput(ui);
    int accepted = 0;
    linedamage::ResendGuard guard;
    int runStart = 1; // the key the register's run began with
    for (int key = 1; key <= 10; ++key) {
        ui.processEvents();
        // A stop makes this key the run's last frame.
        const bool last = key == 10 || ui.stopRequested();
        const quint16 sequence = quint16(key - runStart + 1) | (last ? 0x8000 : 0);
        link.clearReceiveArea();
        const int r = sendKey(link, ui, db, cashier, key, sequence);
        // A key the line damaged goes again as the first of a new run.
        if (r == answers::NoAnswer && linedamage::damagedAnswer(link, r)) {
            link.drainInput(ui);
            if (guard.answered(true) != linedamage::ResendGuard::Verdict::Resend)
                break;
            link.note(linedamage::resendNote(key));
            runStart = key--;
            continue;
        }
        guard.answered(false);
        if (answers::confirmed(r))
            ++accepted;
        link.pauseBetweenFrames(ui, 300);
        // The last key may be acknowledged with 3 (end of the run); before it only 0 goes on.
        if (r != answers::Accepted || last)
            break;
    }
    return accepted;
}

} // namespace quickkeys
