// Fault matrix of the register data transfers, the settings block and the report orders: the
// information data, the sales download, clearing the sales, the group turnover, the cache
// memory dump, the copy read, the settings sent and read, a report that waits for the
// register and the orders that do not. None of them touches the database.
#include "faultmatrix.h"

#include "common/cp1250.h"
#include "reports/reportrun.h"
#include "service/settings.h"
#include "transfer/cachedump.h"
#include "transfer/copyread.h"
#include "transfer/information.h"
#include "transfer/sales.h"

#include <QFile>

#include <memory>

using namespace fm;

namespace {

bool commandFault(Fault f)
{
    return f == Fault::Busy || f == Fault::PaperYes || f == Fault::PaperNo;
}

void demo(Rig& rig)
{
    auto hold = rig.host.lock();
    rig.reg.fillDemo(6);
}

// What a read tells the user when the fault hits the second data frame or, for busy and paper
// out, the request. One fault no longer ends the read: the frame is read again, the status
// waited out, the acknowledgement sent once more. A device that is gone ends it, with the
// first record received and the rest named missing; `after` follows then.
Expect tableReadExpect(Fault f, Rig& rig, const QStringList& after = {})
{
    if (f != Fault::Vanish)
        return {};
    return {
        QStringList{rig.cannotOpen(), QStringLiteral("Nie odczytano rekordów: po rekordzie 1.")} +
            after,
        {}};
}

// What the reads that are not asked for again (the cache dump, the settings) tell the user
// when the fault hits the second data frame (`second`) or, for busy and paper out, the
// request; `after` follows when nothing usable came.
Expect readExpect(Fault f, const QByteArray& second, const QStringList& after = {})
{
    switch (f) {
    case Fault::BadCheck:
        return {crcMessages(quint8(second[second.size() - 2])), {}};
    case Fault::Noise:
        return {noisyCrcMessages(second), {}};
    case Fault::DeviceError:
        return {QStringList{deviceErrorMessage97()} + after, {}};
    default:
        return {QStringList{kNoCommunication} + after, {}};
    }
}

} // namespace

// The information data: one answer whose length byte tells the layout. This program checks
// its check byte too (a flipped one is reported as on every other data frame).
TEST(FaultMatrixTransfer, Information)
{
    Case run;
    run.name = "information";
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        rig.result = transfer::fetchInformation(rig.link, rig.ui).has_value() ? 1 : 0;
        return QStringList{};
    };
    run.expect = [](Fault f, Rig& rig) -> Expect {
        if (f == Fault::BadCheck)
            return {crcMessages(handCheck(1, 0x8001, 'I', rig.reg.informationData())), {}};
        return {{QStringLiteral("Brak komunikacji")}, {}};
    };
    run.check = [](Fault, Rig& rig, const QByteArray& before) {
        EXPECT_EQ(rig.result, 0);
        EXPECT_TRUE(rig.dbBytes() == before);
    };
    runMatrix(run);
}

// "Ściągnij sprzedaż" of the non-zero records: articles 1, 2, 4 and 5 of the demo content.
TEST(FaultMatrixTransfer, SalesDownload)
{
    auto buffer = std::make_shared<transfer::SalesBuffer>();
    Case run;
    run.name = "sales download";
    run.prepare = demo;
    run.faultFrame = commandThen(2);
    run.run = [buffer](Rig& rig) {
        transfer::downloadSales(rig.link, rig.ui, *buffer, true);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig& rig) { return tableReadExpect(f, rig); };
    run.check = [buffer](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        QList<int> numbers;
        for (const transfer::SalesRecord& r : buffer->records())
            if (r.number != 0)
                numbers << r.number;
        EXPECT_EQ(numbers, f == Fault::Vanish ? QList<int>{1} : QList<int>({1, 2, 4, 5}));
    };
    runMatrix(run);
}

// "Kasuj sprzedaż": the clear sales command and the confirmation wait.
TEST(FaultMatrixTransfer, ClearSales)
{
    Case run;
    run.name = "clear sales";
    run.prepare = demo;
    run.faultFrame = frame(1);
    run.run = [](Rig& rig) {
        transfer::clearRegisterSales(rig.link, rig.ui, false);
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) {
        const bool ok = f == Fault::PaperYes || f == Fault::BadCheck;
        return withPaper(f, ok ? QStringList{QStringLiteral("Sprzedaż skasowana")} : QStringList{});
    };
    runMatrix(run);
}

// "Odśwież" of the group turnover: twelve months of the demo content.
TEST(FaultMatrixTransfer, GroupTurnover)
{
    auto lines = std::make_shared<QStringList>();
    Case run;
    run.name = "group turnover";
    run.prepare = demo;
    run.faultFrame = commandThen(2);
    run.run = [lines](Rig& rig) {
        *lines = transfer::readGroupTurnover(rig.link, rig.ui).lines;
        return QStringList{};
    };
    run.expect = [](Fault f, Rig& rig) {
        return tableReadExpect(f, rig, {QStringLiteral("Wystapił błąd transmisji")});
    };
    run.check = [lines](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        // Every month came, or only the first one when the device went.
        QStringList want;
        for (const QByteArray& month : rig.reg.groupTurnover()) {
            want += transfer::turnoverLines(month);
            if (f == Fault::Vanish)
                break;
        }
        EXPECT_EQ(*lines, want);
    };
    runMatrix(run);
}

// The cache memory dump: four frames of 256 bytes (the emulator's cache); a check failure
// is refused and, like no usable answer, ends the dump at that frame. The file keeps the good
// frames.
TEST(FaultMatrixTransfer, CacheDump)
{
    Case run;
    run.name = "cache dump";
    run.faultFrame = commandThen(2);
    run.run = [](Rig& rig) {
        transfer::dumpCacheMemory(rig.link, rig.ui, rig.dir.filePath(QStringLiteral("cache.bin")));
        return QStringList{};
    };
    run.expect = [](Fault f, Rig& rig) -> Expect {
        const QByteArray second = handFrame(1, 2, ':', rig.reg.cacheMemory().mid(256, 256));
        const QString failed = QStringLiteral("Błąd transmisji: zrzut przerwany na ramce %1.")
                                   .arg(commandFault(f) ? 1 : 2);
        switch (f) {
        case Fault::BadCheck:
            return {crcMessages(quint8(second[second.size() - 2])) + QStringList{failed}, {}};
        case Fault::Noise:
            return {noisyCrcMessages(second) + QStringList{failed}, {}};
        default:
            return readExpect(f, second, {failed});
        }
    };
    run.check = [](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        QFile file(rig.dir.filePath(QStringLiteral("cache.bin")));
        const QByteArray written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        EXPECT_EQ(written, commandFault(f) ? QByteArray() : rig.reg.cacheMemory().left(256));
    };
    runMatrix(run);
}

// The copy read sent to the computer: a plain text stream of 64-byte chunks, each released by
// the byte 0xAA; the faults hit the first chunk. It is not framed, so a flipped or stray
// byte is text; a status frame of the register's (busy, paper out) is left out, an error
// frame ends the reading with its device error.
TEST(FaultMatrixTransfer, CopyReadToComputer)
{
    // 22 lines of 8 bytes: 176 bytes and the end byte, three chunks.
    QByteArray text;
    for (int i = 0; i < 22; ++i)
        text += QByteArray("Linia ") + char('A' + i) + '\n';
    auto reception = std::make_shared<transfer::CopyReception>();
    Case run;
    run.name = "copy read";
    run.prepare = [text](Rig& rig) {
        auto hold = rig.host.lock();
        rig.reg.setCopyText(text);
    };
    run.faultFrame = frame(1);
    run.run = [reception](Rig& rig) {
        transfer::runCopyRead(rig.link, rig.ui,
                              transfer::copySimple(transfer::CopyKind::LastDocument,
                                                   transfer::CopyHandling::SendToComputer),
                              reception.get());
        return QStringList{};
    };
    run.expect = [](Fault f, Rig&) -> Expect {
        if (f == Fault::DeviceError)
            return {{deviceErrorMessage97()}, {}};
        if (f == Fault::Silent || f == Fault::Vanish)
            return {{QStringLiteral("Kasa przestała przesyłać dane. Odczyt kopii przerwany.")}, {}};
        return {};
    };
    run.check = [text, reception](Fault f, Rig& rig, const QByteArray& before) {
        EXPECT_TRUE(rig.dbBytes() == before);
        QByteArray want = text;
        switch (f) {
        case Fault::Silent:
        case Fault::Vanish:
        case Fault::DeviceError:
            want.clear();
            break;
        case Fault::Truncate:
            want.remove(32, 32); // the second half of the first chunk never came
            break;
        case Fault::Noise:
            want.prepend(QByteArray("\x55\xAA\x13\x7F", 4));
            break;
        case Fault::BadCheck:
            want[62] = char(~quint8(want[62])); // the chunk's last but one byte
            break;
        default:
            break;
        }
        EXPECT_EQ(reception->text, cp1250::decode(want));
        EXPECT_EQ(reception->end, f == Fault::DeviceError ? transfer::CopyEnd::Refused
                                  : f == Fault::Silent || f == Fault::Vanish
                                      ? transfer::CopyEnd::Silence
                                      : transfer::CopyEnd::Complete);
    };
    runMatrix(run);
}

// The copy printed at the register, and the report orders that are sent without waiting:
// nothing is read.
TEST(FaultMatrixTransfer, OrdersWithoutAnswer)
{
    const struct {
        const char* name;
        std::function<void(Rig&)> send;
    } runs[] = {
        {"copy read printed at the register",
         [](Rig& rig) {
             transfer::runCopyRead(rig.link, rig.ui,
                                   transfer::copySimple(transfer::CopyKind::LastDocument,
                                                        transfer::CopyHandling::PrintAtRegister),
                                   nullptr);
         }},
        {"register state report",
         [](Rig& rig) {
             reports::SerialReportLink link(rig.link);
             reports::runReport(reports::Kind::RegisterState, {}, 1, link, rig.ui);
         }},
        {"cashier report",
         [](Rig& rig) {
             reports::SerialReportLink link(rig.link);
             reports::runReport(reports::Kind::Cashier, {}, 1, link, rig.ui);
         }},
        {"group turnover report",
         [](Rig& rig) {
             reports::ReportParams p;
             p.startYear = p.endYear = QStringLiteral("2026");
             reports::SerialReportLink link(rig.link);
             reports::runReport(reports::Kind::GroupTurnover, p, 1, link, rig.ui);
         }},
    };
    for (const auto& r : runs) {
        Case run;
        run.name = r.name;
        run.faultFrame = frame(1);
        run.run = [&r](Rig& rig) {
            r.send(rig);
            return QStringList{};
        };
        run.expect = nothingRead;
        run.check = [](Fault, Rig& rig, const QByteArray& before) {
            EXPECT_EQ(rig.sent.size(), 1);
            EXPECT_TRUE(rig.dbBytes() == before);
        };
        runMatrix(run);
    }
}

// The reports that wait: the report confirmation wait (the register says it is printing,
// then acknowledges). Its result is not used; only what the wait shows itself reaches the
// user.
TEST(FaultMatrixTransfer, ReportsThatWait)
{
    reports::ReportParams monthly;
    monthly.monthText = QStringLiteral("11-2026");
    const struct {
        const char* name;
        reports::Kind kind;
        reports::ReportParams params;
    } kinds[] = {
        {"periodic report (monthly)", reports::Kind::Periodic, monthly},
        {"sales report", reports::Kind::Sales, {}},
        {"base with VAT report", reports::Kind::BaseWithVat, {}},
        {"full PLU base report", reports::Kind::FullBase, {}},
    };
    for (const auto& k : kinds) {
        Case run;
        run.name = k.name;
        run.faultFrame = frame(1);
        run.run = [&k](Rig& rig) {
            reports::SerialReportLink link(rig.link);
            rig.result = reports::runReport(k.kind, k.params, 1, link, rig.ui).confirmation;
            return QStringList{};
        };
        run.expect = [](Fault f, Rig&) {
            return withPaper(f, f == Fault::DeviceError ? QStringList{deviceErrorMessage97()}
                                                        : QStringList{});
        };
        run.check = [](Fault f, Rig& rig, const QByteArray& before) {
            EXPECT_TRUE(rig.dbBytes() == before);
            EXPECT_EQ(rig.sent.size(), f == Fault::PaperNo ? 2 : 1); // the order (and ack 4)
            // Done only when the register's own answers came as they should (a flipped check
            // byte on the "printing" status included: the completion wait does not look at it).
            if (f == Fault::Busy || f == Fault::Silent || f == Fault::Truncate ||
                f == Fault::Noise || f == Fault::Vanish || f == Fault::DeviceError ||
                f == Fault::PaperNo || f == Fault::PaperYes) {
                EXPECT_NE(rig.result, 3);
            }
        };
        runMatrix(run);
    }
}

// "Wyślij" of the additional settings (this program reads the register's answer: a refusal
// must not pass unseen) and "Odśwież" (one 30-byte answer).
TEST(FaultMatrixTransfer, Settings)
{
    service::SettingsValues values;
    values.number.fill(QStringLiteral("10"));
    Case send;
    send.name = "settings send";
    send.faultFrame = frame(1);
    send.run = [values](Rig& rig) {
        rig.result = service::sendSettings(rig.link, rig.ui, values) ? 1 : 0;
        return QStringList{};
    };
    send.expect = [](Fault f, Rig&) {
        switch (f) {
        case Fault::Busy:
        case Fault::PaperYes:
        case Fault::BadCheck:
        case Fault::PaperNo:
            return withPaper(f);
        case Fault::DeviceError:
            return withPaper(f, {deviceErrorMessage97()});
        default:
            return withPaper(f, {QStringLiteral("Brak odpowiedzi kasy.")});
        }
    };
    runMatrix(send);

    Case read;
    read.name = "settings read";
    read.faultFrame = frame(1);
    read.run = [](Rig& rig) {
        service::SettingsValues v;
        rig.result = service::readSettings(rig.link, rig.ui, v) ? 1 : 0;
        return QStringList{};
    };
    read.expect = [](Fault f, Rig& rig) {
        return readExpect(f, handFrame(1, 0x8001, 3, rig.reg.settings().left(21)));
    };
    read.check = [](Fault, Rig& rig, const QByteArray& before) {
        EXPECT_EQ(rig.result, 0);
        EXPECT_TRUE(rig.dbBytes() == before);
    };
    runMatrix(read);
}
