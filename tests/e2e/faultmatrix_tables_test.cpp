// Fault matrix of the table runs besides the articles: one record of a small table, the VAT
// rates, the receipt header (sent and read back) and footer, the NIP, the clock, the units,
// the halo table, the manager password, the quick keys, the function keys, the sales
// function key and the accounting currency change. None of them writes the database.
#include "faultmatrix.h"

#include "link/answers.h"
#include "link/commands.h"
#include "tables/accountingcurrency.h"
#include "tables/clock.h"
#include "tables/functionkeys.h"
#include "tables/grouprecord.h"
#include "tables/halo.h"
#include "tables/managerpassword.h"
#include "tables/nip.h"
#include "tables/quickkeys.h"
#include "tables/receipttext.h"
#include "tables/recordsend.h"
#include "tables/units.h"
#include "tables/vatrates.h"

#include <QDateTime>

using namespace fm;

namespace {

void putBytes(Rig& rig, qint64 at, const QByteArray& bytes)
{
    rig.db().writeRecord(at, bytes);
}

QByteArray padded(const char* text, int width)
{
    QByteArray b(text);
    b.append(QByteArray(width - b.size(), '\0'));
    return b;
}

// One record in each small table whose form sends without reading the answer: discount 1
// "Rabat" 5 %, payment form 1 "Karta" (card), currency 1 "Euro" 4,3012345 EUR, packaging 1
// "Butelka" 0,50.
void putSmallRecords(Rig& rig)
{
    putBytes(rig, 141000,
             QByteArray(1, 1) + padded("Rabat", 21) + QByteArray("\x00\x00\xF4\x01\x00\x00", 6));
    putBytes(rig, 142220, QByteArray(1, 1) + padded("Karta", 21) + QByteArray(1, 1));
    putBytes(rig, 142680,
             QByteArray(1, 1) + padded("Euro", 21) + QByteArray("\xF9\x4F\x90\x02\x07", 5) +
                 QByteArray("EUR"));
    putBytes(rig, 143311,
             QByteArray(1, 1) + padded("Butelka", 42) + QByteArray("\x32\x00\x00\x00\x00", 5));
}

} // namespace

// Discounts, payment forms, currencies and packaging: the frame goes out, no answer is read.
TEST(FaultMatrixTables, SendWithoutAnswer)
{
    const struct {
        const char* name;
        recordsend::Source (*source)();
    } tables[] = {{"discount send", recordsend::discounts},
                  {"payment form send", recordsend::paymentForms},
                  {"currency send", recordsend::currencies},
                  {"packaging send", recordsend::packaging}};
    for (const auto& t : tables) {
        Case run;
        run.name = t.name;
        run.prepare = putSmallRecords;
        run.faultFrame = frame(1);
        run.run = [&t](Rig& rig) {
            recordsend::Single how;
            how.awaitAnswer = false;
            rig.result = recordsend::sendOne(rig.link, rig.ui, rig.db(), t.source(), 1, 0, how);
            return QStringList{};
        };
        run.expect = nothingRead;
        run.check = [](Fault, Rig& rig, const QByteArray& before) {
            EXPECT_EQ(rig.result, recordsend::NotAwaited);
            EXPECT_EQ(rig.sent.size(), 1);
            EXPECT_TRUE(rig.dbBytes() == before);
        };
        runMatrix(run);
    }
}

// The cashier form: one confirmation wait, its result not reported.
TEST(FaultMatrixTables, CashierSend)
{
    Case run;
    run.name = "cashier send";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        recordsend::Single how;
        how.busyWaitMs = -1;
        recordsend::sendOne(rig.link, rig.ui, rig.db(), recordsend::cashiers(), 1, 0, how);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) { return withPaper(f); };
    runMatrix(run);
}

// The group form: busy is waited out for 1000 ms; the answer is reported.
TEST(FaultMatrixTables, GroupSend)
{
    Case run;
    run.name = "group send";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        const int r = recordsend::sendOne(rig.link, rig.ui, rig.db(), recordsend::groups(), 1, 0);
        // As the form shows it: nothing more after the user stopped at the paper-out question.
        const QString text = groupSendMessage(r, rig.link.at(8));
        return text.isEmpty() ? QStringList{} : QStringList{text};
    };
    run.expect = [](Fault f, Rig&) {
        const QString saved = QStringLiteral("Grupę towarową zapisano w kasie");
        const QString refused =
            QStringLiteral("Błąd! Kasa nie potwierdziła zapisu grupy towarowej!");
        if (f == Fault::PaperNo)
            return withPaper(f, {});
        if (f == Fault::DeviceError)
            return Expect{{QStringLiteral("Błąd 97: Wymagany tryb serwisowy")}, {}};
        const bool ok = f == Fault::Busy || f == Fault::PaperYes || f == Fault::BadCheck;
        return withPaper(f, {ok ? saved : refused});
    };
    runMatrix(run);
}

// The VAT rates: one confirmation wait without a busy retry.
TEST(FaultMatrixTables, VatRatesSend)
{
    Case run;
    run.name = "VAT rates send";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        const QByteArray table = rig.db().readBytes(143280, 21);
        const int r = recordsend::sendFrame(rig.link, rig.ui,
                                            commands::vatRates(1, 0x8001, table, 0), {true, 0, -1});
        const QString text = vatSendMessage(r, rig.link.at(8), false);
        return text.isEmpty() ? QStringList{} : QStringList{text};
    };
    run.expect = [](Fault f, Rig&) {
        switch (f) {
        case Fault::Busy: // code 6: nothing is shown
        case Fault::PaperNo:
            return withPaper(f);
        case Fault::PaperYes:
        case Fault::BadCheck:
            return withPaper(f, {QStringLiteral("Zapisano stawki PTU.")});
        case Fault::DeviceError:
            return withPaper(f, {deviceErrorMessage97()});
        default:
            return withPaper(f, {QStringLiteral("Kasa nie potwierdziła zapisu stawek PTU.")});
        }
    };
    runMatrix(run);
}

// The receipt header: one confirmation wait; only a device error is shown.
TEST(FaultMatrixTables, HeaderSend)
{
    Case run;
    run.name = "header send";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        receipt::sendHeader(rig.link, rig.ui, QByteArray(259, '\0'));
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        return withPaper(f, f == Fault::DeviceError ? QStringList{deviceErrorMessage97()}
                                                    : QStringList{});
    };
    runMatrix(run);
}

// The receipt footer, the units, the manager password and the sales function key: the frame
// goes out and no answer is read.
TEST(FaultMatrixTables, OtherSendsWithoutAnswer)
{
    const struct {
        const char* name;
        std::function<int(Rig&)> send;
    } runs[] = {
        {"footer send",
         [](Rig& rig) {
             return receipt::sendFooter(rig.link, rig.ui, QByteArray(130, '\0'), false);
         }},
        {"units send",
         [](Rig& rig) {
             return units::send(rig.link, rig.ui,
                                {QStringLiteral("szt"), QStringLiteral("kg"), QStringLiteral("l")});
         }},
        {"manager password send",
         [](Rig& rig) {
             return managerpassword::send(rig.link, rig.ui, QString(), QStringLiteral("1234"),
                                          false);
         }},
        {"sales function key send",
         [](Rig& rig) { return functionkeys::sendSalesFunction(rig.link, rig.ui, 1, 3, 0, 1); }},
    };
    for (const auto& r : runs) {
        Case run;
        run.name = r.name;
        run.faultFrame = frame(1);
        run.run = [&r](Rig& rig) {
            rig.result = r.send(rig);
            return QStringList{};
        };
        run.expect = nothingRead;
        run.check = [](Fault, Rig& rig, const QByteArray& before) {
            EXPECT_EQ(rig.result, 0);
            EXPECT_EQ(rig.sent.size(), 1);
            EXPECT_TRUE(rig.dbBytes() == before);
        };
        runMatrix(run);
    }
}

// "Pobierz nagłówek" and the units' "Odśwież": one data frame read with read answer.
TEST(FaultMatrixTables, HeaderAndUnitsRead)
{
    const struct {
        const char* name;
        std::function<bool(Rig&)> read;
        std::function<QByteArray(Rig&)> frame;
    } runs[] = {
        {"header read", [](Rig& rig) { return receipt::readHeader(rig.link, rig.ui).has_value(); },
         [](Rig& rig) { return handFrame(1, 0x8001, 'N', rig.reg.header()); }},
        {"units read", [](Rig& rig) { return units::read(rig.link, rig.ui).has_value(); },
         [](Rig& rig) { return handFrame(1, 0x8001, 'J', rig.reg.units()); }},
    };
    for (const auto& r : runs) {
        Case run;
        run.name = r.name;
        run.faultFrame = frame(1);
        run.run = [&r](Rig& rig) {
            rig.result = r.read(rig) ? 1 : 0;
            return QStringList{};
        };
        run.expect = [&r](Fault f, Rig& rig) -> Expect {
            const QByteArray whole = r.frame(rig);
            switch (f) {
            case Fault::BadCheck:
                return {crcMessages(quint8(whole[whole.size() - 2])), {}};
            case Fault::Noise:
                return {noisyCrcMessages(whole), {}};
            case Fault::DeviceError:
                return {{deviceErrorMessage97()}, {}};
            default:
                return {{kNoCommunication}, {}};
            }
        };
        run.check = [](Fault, Rig& rig, const QByteArray& before) {
            EXPECT_EQ(rig.result, 0); // nothing is shown from a broken answer
            EXPECT_TRUE(rig.dbBytes() == before);
        };
        runMatrix(run);
    }
}

// The NIP: 1000 ms, the confirmation wait; no answer shows "Brak komunikacji".
TEST(FaultMatrixTables, NipProgram)
{
    Case run;
    run.name = "NIP program";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        nip::program(rig.link, rig.ui, QStringLiteral("1234567890"));
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        const bool noAnswer =
            f == Fault::Silent || f == Fault::Truncate || f == Fault::Noise || f == Fault::Vanish;
        return withPaper(f, noAnswer ? QStringList{QStringLiteral("Brak komunikacji")}
                                     : QStringList{});
    };
    runMatrix(run);
}

// The clock: the report confirmation wait; no answer shows "Błąd transmisji!".
TEST(FaultMatrixTables, ClockSet)
{
    Case run;
    run.name = "clock set";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        regclock::set(rig.link, rig.ui, QDateTime(QDate(2026, 12, 8), QTime(23, 45, 10)));
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        switch (f) {
        case Fault::Busy: // code 6: nothing
        case Fault::PaperYes:
        case Fault::PaperNo:
        case Fault::BadCheck:
            return withPaper(f);
        case Fault::DeviceError:
            return withPaper(f, {deviceErrorMessage97()});
        default:
            return withPaper(f, {QStringLiteral("Błąd transmisji!")});
        }
    };
    runMatrix(run);
}

// "Zapisz i wyślij do kasy" of the halo table: one confirmation wait, not reported.
TEST(FaultMatrixTables, HaloSend)
{
    Case run;
    run.name = "halo send";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        halo::send(rig.link, rig.ui, halo::load(rig.db()));
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) { return withPaper(f); };
    runMatrix(run);
}

// One quick key and one function key: the report confirmation wait (busy waited out once);
// nothing is reported except what the wait shows itself.
TEST(FaultMatrixTables, OneQuickKeyAndOneFunctionKey)
{
    const struct {
        const char* name;
        std::function<void(Rig&)> send;
    } runs[] = {
        {"quick key send",
         [](Rig& rig) { quickkeys::sendOneKey(rig.link, rig.ui, rig.db(), 1, 1); }},
        {"function key send", [](Rig& rig) { functionkeys::sendKey(rig.link, rig.ui, 1, 1, 1); }},
    };
    for (const auto& r : runs) {
        Case run;
        run.name = r.name;
        run.faultFrame = frame(1);
        run.run = [&r](Rig& rig) {
            r.send(rig);
            return QStringList{};
        };
        run.expect = [](Fault f, Rig&) {
            return withPaper(f, f == Fault::DeviceError ? QStringList{deviceErrorMessage97()}
                                                        : QStringList{});
        };
        runMatrix(run);
    }
}

// All ten quick keys and all ten function keys: the run goes on while the register accepts;
// the fault hits the second key.
TEST(FaultMatrixTables, AllQuickKeysAndAllFunctionKeys)
{
    // The quick keys go out as a run numbered 1..10, acknowledged with 0 until the last; after
    // a paper-out answered Yes the report confirmation wait takes acknowledgement 0 for no
    // acceptance, which ends the run. Each function key is a frame of its own (0x8001),
    // acknowledged with 3.
    const struct {
        const char* name;
        std::function<int(Rig&)> send;
        bool paperYesGoesOn;
        bool resends; // a key whose answer the line lost goes again
    } runs[] = {
        {"quick keys send all",
         [](Rig& rig) { return quickkeys::sendAllKeys(rig.link, rig.ui, rig.db(), 1); }, false,
         true},
        {"function keys send all",
         [](Rig& rig) {
             return functionkeys::sendAllKeys(rig.link, rig.ui, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
         },
         true, false},
    };
    for (const auto& r : runs) {
        Case run;
        run.name = r.name;
        run.faultFrame = frame(2);
        run.run = [&r](Rig& rig) {
            rig.result = r.send(rig);
            return QStringList{};
        };
        run.expect = [&r](Fault f, Rig& rig) {
            if (f == Fault::Vanish && r.resends)
                return withPaper(f, {rig.cannotOpen()});
            return withPaper(f, f == Fault::DeviceError ? QStringList{deviceErrorMessage97()}
                                                        : QStringList{});
        };
        run.check = [&r](Fault f, Rig& rig, const QByteArray& before) {
            // Busy is waited out and a flipped check byte on an acknowledgement is accepted;
            // an answer the line lost sends the quick key again; everything else stops after
            // the first key.
            const bool lost = f == Fault::Silent || f == Fault::Truncate || f == Fault::Noise;
            const bool on = f == Fault::Busy || f == Fault::BadCheck ||
                            (f == Fault::PaperYes && r.paperYesGoesOn) || (lost && r.resends);
            EXPECT_EQ(rig.result, on ? 10 : 1);
            EXPECT_TRUE(rig.dbBytes() == before);
        };
        runMatrix(run);
    }
}

// "Zmiana w kasie": code 3 is success, a device error is shown, anything else is
// "Błąd komunikacji.". The database is not changed.
TEST(FaultMatrixTables, AccountingCurrencyInRegister)
{
    Case run;
    run.name = "accounting currency change in the register";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        accountingcurrency::Input in;
        in.rate = QStringLiteral("4,3");
        in.symbol = QStringLiteral("EUR");
        in.date = QDate(2027, 1, 1);
        rig.result = accountingcurrency::changeInRegister(rig.link, rig.ui, in);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        switch (f) {
        case Fault::PaperYes:
        case Fault::BadCheck:
            return withPaper(f);
        case Fault::DeviceError:
            return withPaper(f, {deviceErrorMessage97()});
        default:
            return withPaper(f, {QStringLiteral("Błąd komunikacji.")});
        }
    };
    runMatrix(run);
}
