#include "restoresteps.h"

#include "registerreads.h"
#include "stageui.h"

#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"
#include "sync/articlesync.h"
#include "sync/compare.h"
#include "sync/tablesync.h"
#include "tables/articlesend.h"
#include "tables/halo.h"
#include "tables/quickkeys.h"
#include "tables/receipttext.h"
#include "tables/recordsend.h"
#include "tables/units.h"

#include <QSet>

namespace wholereg {

namespace {

// The forms' own confirm option is off for a whole run: nobody stands at the register to
// confirm each record on its keyboard.
constexpr quint8 NoConfirm = 0;

Sent fromRun(const recordsend::RunResult& r)
{
    Sent s;
    s.programmed = r.programmed;
    for (const recordsend::Refusal& refusal : r.refused)
        s.refused.append({refusal.number, refusal.deviceError});
    s.handled = r.programmed + int(r.refused.size());
    s.stopped = r.stopped;
    s.broken = r.failure >= 0 || r.failure == recordsend::SendFailed;
    return s;
}

// One block or frame: confirmed, refused with a device error, or the run breaks.
Sent fromSingle(int result, Link& link)
{
    Sent s;
    if (answers::confirmed(result)) {
        s.handled = s.programmed = 1;
    } else if (result == answers::DeviceError) {
        s.handled = 1;
        s.refused.append({1, quint8(link.at(8))});
    } else {
        s.broken = true;
    }
    return s;
}

QSet<int> setOf(const QList<int>& list)
{
    return QSet<int>(list.begin(), list.end());
}

Compared fromComparison(const QList<basesync::Comparison>& list)
{
    Compared c;
    for (const basesync::Comparison& item : list) {
        if (item.kind == basesync::Comparison::OnlyPc ||
            item.kind == basesync::Comparison::Different)
            c.changed.append(item.number);
        else if (item.kind == basesync::Comparison::OnlyRegister)
            c.onlyRegister.append(item.number);
    }
    return c;
}

// A block compared whole: sent when it differs, nothing only in the register.
Compared blockCompared(bool equal)
{
    return equal ? Compared{} : Compared{{1}, {}};
}

// Deleting in the register needs the names it reported: its table is read first.
template <class Sync>
Sent deleteAfterRead(StepContext& c, Sync& sync, const basesync::ReadOutcome& read,
                     const QList<int>& numbers)
{
    Sent s;
    if (!read.complete) {
        s.broken = true;
        return s;
    }
    const auto r = sync.deleteInRegister(c.link, c.ui, numbers, setOf(numbers), NoConfirm);
    s.handled = s.programmed = r.done;
    s.broken = r.broken;
    s.stopped = r.stopped;
    return s;
}

StepDef smallTable(const basesync::TableMember& member, recordsend::Source (*source)())
{
    StepDef d;
    d.items = [source](StepContext& c) { return recordsend::usedNumbers(c.db, source().table); };
    d.compare = [&member](StepContext& c) -> std::optional<Compared> {
        basesync::TableSync sync(member);
        if (!sync.read(c.link, c.ui).complete)
            return std::nullopt;
        return fromComparison(basesync::compareTable(c.db, sync));
    };
    d.send = [source](StepContext& c, const QList<int>& numbers) {
        return fromRun(recordsend::sendAll(c.link, c.ui, c.db, source(), numbers, NoConfirm));
    };
    d.remove = [&member](StepContext& c, const QList<int>& numbers) {
        basesync::TableSync sync(member);
        return deleteAfterRead(c, sync, sync.read(c.link, c.ui), numbers);
    };
    return d;
}

StepDef articles()
{
    StepDef d;
    d.items = [](StepContext& c) { return articlesend::usedArticles(c.db); };
    d.compare = [](StepContext& c) -> std::optional<Compared> {
        basesync::ArticleSync sync;
        if (!sync.read(c.link, c.ui, c.registerType).complete)
            return std::nullopt;
        return fromComparison(basesync::compareArticles(c.db, sync, c.registerType));
    };
    d.send = [](StepContext& c, const QList<int>& numbers) {
        const articlesend::RunResult r =
            articlesend::sendAll(c.link, c.ui, c.db, numbers, c.registerType);
        Sent s;
        s.programmed = r.programmed;
        for (const articlesend::Refusal& refusal : r.refused)
            s.refused.append({refusal.number, refusal.deviceError});
        s.handled = r.programmed + int(r.refused.size());
        s.stopped = r.cancelled && s.handled < r.listed;
        s.broken = r.end == articlesend::RunResult::End::TransmissionError ||
                   r.end == articlesend::RunResult::End::SalesNotZero ||
                   (r.end == articlesend::RunResult::End::RegisterEnded && !s.stopped &&
                    s.handled < r.listed);
        for (const QString& m : r.messages())
            c.ui.showMessage(m);
        return s;
    };
    d.remove = [](StepContext& c, const QList<int>& numbers) {
        basesync::ArticleSync sync;
        return deleteAfterRead(c, sync, sync.read(c.link, c.ui, c.registerType), numbers);
    };
    return d;
}

QByteArray vatOf(RegisterDatabase& db)
{
    return db.readBytes(layout::VatRates.base, layout::VatRates.bytes());
}

StepDef vat()
{
    StepDef d;
    d.items = [](StepContext&) { return QList<int>{1}; };
    // Every change of the rates is written into the register's fiscal memory: they go only
    // when they differ, whatever the run's mode.
    // The register's rates were read before the run; rates it would not send are sent.
    d.compare = [](StepContext& c) -> std::optional<Compared> {
        return blockCompared(c.registerVat && *c.registerVat == vatOf(c.db));
    };
    d.send = [](StepContext& c, const QList<int>&) {
        const int r = recordsend::sendFrame(
            c.link, c.ui, commands::vatRates(c.link.address, frame::Single, vatOf(c.db), NoConfirm),
            {true, 0, -1});
        return fromSingle(r, c.link);
    };
    return d;
}

// Cashiers with at least one programmed key, in the database or in the register's images.
QList<int> cashiersWithKeys(const std::function<QByteArray(int cashier, int key)>& keyOf)
{
    QList<int> cashiers;
    for (int cashier = 1; cashier <= 10; ++cashier)
        for (int key = 1; key <= 10; ++key)
            if (keyOf(cashier, key)[0] != 0) {
                cashiers.append(cashier);
                break;
            }
    return cashiers;
}

Sent sendKeys(StepContext& c, const QList<int>& cashiers)
{
    Sent s;
    for (int cashier : cashiers) {
        if (c.ui.stopRequested()) {
            s.stopped = true;
            break;
        }
        const int accepted = quickkeys::sendAllKeys(c.link, c.ui, c.db, cashier);
        if (accepted < layout::QuickKeysPerCashier) {
            s.stopped = c.ui.stopRequested();
            s.broken = !s.stopped;
            c.ui.showMessage(QStringLiteral("Kasjer ") + QString::number(cashier) +
                             QStringLiteral(": przyjęte klawisze ") + QString::number(accepted) +
                             QStringLiteral("/10"));
            break;
        }
        ++s.handled;
        ++s.programmed;
    }
    return s;
}

StepDef keys()
{
    StepDef d;
    d.items = [](StepContext& c) {
        return cashiersWithKeys([&](int cashier, int key) {
            return c.db.readBytes(QuickKeyRecord::offsetOf(cashier, key), 1);
        });
    };
    d.compare = [](StepContext& c) -> std::optional<Compared> {
        const ImagesRead read = readQuickKeys(c.link, c.ui);
        if (read.end == ImagesRead::End::Failed)
            return std::nullopt;
        const auto image = [&](int cashier, int key) {
            return read.images[QuickKeyRecord::numberOf(cashier, key) - 1];
        };
        const auto record = [&](int cashier, int key) {
            return c.db.readBytes(QuickKeyRecord::offsetOf(cashier, key), QuickKeyRecord::Size);
        };
        const QList<int> inPc = cashiersWithKeys(record);
        Compared result;
        for (int cashier : inPc)
            for (int key = 1; key <= 10; ++key)
                if (record(cashier, key) != image(cashier, key)) {
                    result.changed.append(cashier);
                    break;
                }
        for (int cashier : cashiersWithKeys(image))
            if (!inPc.contains(cashier))
                result.onlyRegister.append(cashier);
        return result;
    };
    d.send = sendKeys;
    // A cashier's keys are cleared by sending the database's empty keys over them.
    d.remove = sendKeys;
    return d;
}

StepDef header()
{
    StepDef d;
    const auto block = [](StepContext& c) {
        return c.db.readBytes(layout::Header.base, layout::Header.recordSize);
    };
    d.items = [](StepContext&) { return QList<int>{1}; };
    d.compare = [block](StepContext& c) -> std::optional<Compared> {
        const auto read = receipt::readHeaderBlock(c.link, c.ui);
        if (!read)
            return std::nullopt;
        return blockCompared(*read == block(c));
    };
    d.send = [block](StepContext& c, const QList<int>&) {
        return fromSingle(receipt::sendHeader(c.link, c.ui, block(c)), c.link);
    };
    return d;
}

StepDef footer()
{
    StepDef d;
    d.items = [](StepContext&) { return QList<int>{1}; };
    d.stored = [](StepContext& c) {
        return c.db.readBytes(layout::Footer.base, layout::Footer.recordSize);
    };
    d.send = [stored = d.stored](StepContext& c, const QList<int>&) {
        return fromSingle(receipt::sendFooter(c.link, c.ui, stored(c), false, true), c.link);
    };
    return d;
}

StepDef haloTable()
{
    StepDef d;
    d.items = [](StepContext&) { return QList<int>{1}; };
    d.stored = [](StepContext& c) { return halo::load(c.db).encode(); };
    d.send = [](StepContext& c, const QList<int>&) {
        c.link.drainInput(c.ui);
        return fromSingle(halo::send(c.link, c.ui, halo::load(c.db)), c.link);
    };
    return d;
}

StepDef unitNames()
{
    StepDef d;
    d.items = [](StepContext& c) {
        return c.options.units.size() == units::Count ? QList<int>{1} : QList<int>{};
    };
    d.compare = [](StepContext& c) -> std::optional<Compared> {
        const auto read = units::read(c.link, c.ui);
        if (!read)
            return std::nullopt;
        return blockCompared(units::encode(*read) == units::encode(c.options.units));
    };
    d.send = [](StepContext& c, const QList<int>&) {
        return fromSingle(units::send(c.link, c.ui, c.options.units, true), c.link);
    };
    return d;
}

} // namespace

const StepDef& stepDef(Step step)
{
    static const QList<StepDef> defs = {
        vat(),
        smallTable(basesync::groupsMember(), recordsend::groups),
        smallTable(basesync::packagingMember(), recordsend::packaging),
        articles(),
        smallTable(basesync::cashiersMember(), recordsend::cashiers),
        smallTable(basesync::discountsMember(), recordsend::discounts),
        smallTable(basesync::paymentFormsMember(), recordsend::paymentForms),
        smallTable(basesync::currenciesMember(), recordsend::currencies),
        keys(),
        header(),
        footer(),
        haloTable(),
        unitNames(),
    };
    return defs[int(step)];
}

} // namespace wholereg
