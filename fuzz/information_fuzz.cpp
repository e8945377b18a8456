// The register's information record from arbitrary bytes: decoded alone, fetched over a line
// that answers the request with the bytes, and used to learn the register type. Every value
// the record gives is checked against the bytes it comes from.
#include "link/answers.h"
#include "link/link.h"
#include "scriptedline.h"
#include "transfer/information.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "information_fuzz: %s\n", what);
        std::abort();
    }
}

// A line that says nothing until the computer has written its request, then delivers the
// answer bytes, at most `step` per read.
struct Reply {
    QByteArray bytes;
    qsizetype pos = 0;
    bool armed = false;
    int step = 1024;
    qint64 now = 0;
    QList<QByteArray> writes; // every frame the computer sent
};

// The "I" request (address 1, sequence 0x8001, parameter 0) and the computer's
// acknowledgements 3 (taken) and 1 (check failed), check bytes worked out by hand.
const QByteArray Request("\x02\x01\x0B\x00\x01\x80\x49\x00\x00\xC2\x03", 11);
const QByteArray Ack3("\x02\x01\x0A\x00\x01\x00\x06\x03\x0F\x03", 10);
const QByteArray Ack1("\x02\x01\x0A\x00\x01\x00\x06\x01\x0D\x03", 10);

class AnswerLine : public ScriptedLine {
public:
    explicit AnswerLine(Reply& a) : m_a(a) {}
    WriteResult write(QByteArrayView bytes) override
    {
        m_a.armed = true;
        m_a.writes.append(bytes.toByteArray());
        return {true, false, bytes.size(), 0};
    }
    qint64 read(char* into, qint64 count) override
    {
        qint64 n = 0;
        // A read gathers what arrives within its time-out, a few bytes at a time.
        while (m_a.armed && n < count && m_a.pos < m_a.bytes.size()) {
            const qint64 k =
                std::min<qint64>({count - n, qint64(m_a.step), m_a.bytes.size() - m_a.pos});
            std::memcpy(into + n, m_a.bytes.constData() + m_a.pos, size_t(k));
            n += k;
            m_a.pos += k;
        }
        if (n < count)
            m_a.now += m_t.readConstant;
        return n;
    }

private:
    Reply& m_a;
};

class FuzzUi : public TransferUi {
public:
    explicit FuzzUi(Reply& a) : m_a(a) {}
    void showMessage(const QString& text, Icon) override { messages.append(text); }
    TransferUi::Answer ask(const QString&, Buttons, Icon, const QString&) override
    {
        return TransferUi::Answer::No;
    }
    void waitMs(int ms) override { m_a.now += ms; }
    qint64 nowMs() const override { return m_a.now; }
    bool waitForLine(const std::function<bool()>& clear) override { return clear(); }

    QStringList messages;

private:
    Reply& m_a;
};

// The frame byte of data offset d in the record's layout (a DUNO's NIP is 7 bytes shorter).
int frameAt(int d, bool bis)
{
    return 7 + (bis || d < 41 ? d : d - 7);
}

// Hundredths as the register's amount text, worked out digit by digit: at least three digits,
// a comma before the last two.
QString amountText(unsigned v)
{
    QString digits = QString::number(v);
    while (digits.size() < 3)
        digits.prepend(u'0');
    return digits.left(digits.size() - 2) + u',' + digits.right(2);
}

QString twoDigits(int v)
{
    return v < 10 ? u'0' + QString::number(v) : QString::number(v);
}

void checkDecoded(const transfer::Information& info, QByteArrayView f)
{
    using transfer::InfoField;
    const bool bis = quint8(f[2]) == 124;
    check(info.registerType == (bis ? 2 : 1), "register type not the one the length says");
    auto u8 = [&](int d) { return int(quint8(f[frameAt(d, bis)])); };
    auto u16 = [&](int d) { return unsigned(u8(d) | (u8(d + 1) << 8)); };
    auto i16 = [&](int d) { return int(qint16(quint16(u16(d)))); };
    auto value = [&](InfoField field) -> QString {
        const auto v = info.value(field);
        check(v.has_value(), "a value missing");
        return *v;
    };
    auto date = [&](int d) -> QString {
        return QString::number(u8(d + 3)) + u'-' + QString::number(u8(d + 2)) + u'-' +
               QString::number(u8(d) * 100 + u8(d + 1));
    };
    auto timeDate = [&](int d) -> QString {
        return twoDigits(u8(d + 4)) + u':' + twoDigits(u8(d + 5)) + QStringLiteral("   ") + date(d);
    };

    for (int i = 0; i < transfer::kInfoFieldCount; ++i)
        if (const auto& v = info.values[size_t(i)])
            check(!v->contains(QChar(u'\0')), "a 0 character in a value");

    check(value(InfoField::Version) == amountText(u16(0)), "version");
    check(value(InfoField::FiscalSignature) == QString::number(u16(41)), "fiscal signature");
    check(value(InfoField::WorkingMode) ==
              (u8(43) == 1 ? QStringLiteral("FISKALNY") : QStringLiteral("NIEFISKALNY")),
          "working mode");
    check(value(InfoField::MemoryState) == (u8(44) == 0
                                                ? QStringLiteral("OTWARTA")
                                                : QStringLiteral("ZAMKNIĘTA. TYLKO DO ODCZYTU")),
          "memory state");
    check(value(InfoField::LastFiscalWrite) == (u8(48) == 0 ? QStringLiteral("brak") : date(45)),
          "last fiscal write");
    check(value(InfoField::LastDailyReport) ==
              (u8(52) == 0 ? QStringLiteral("brak") : timeDate(49)),
          "last daily report");
    check(value(InfoField::LastReportNumber) == QString::number(i16(55)), "report number");
    check(value(InfoField::CopyMedium) ==
              (u8(57) == 0 ? QStringLiteral("Niezainicjowany") : QString::number(u8(57))),
          "copy medium");
    check(value(InfoField::RamResets) == QString::number(u8(58)), "RAM resets");
    check(value(InfoField::ReceiptsSinceDaily) == QString::number(i16(59)), "receipts (daily)");
    check(value(InfoField::ReceiptsSinceFiscal) ==
              QString::number(quint64(u16(61)) | (quint64(u16(63)) << 16)),
          "receipts (fiscal)");
    const InfoField yesNo[] = {InfoField::SaleStarted, InfoField::ServiceMode,
                               InfoField::HeaderProgrammed, InfoField::CurrencyChange};
    const int yesNoAt[] = {65, 66, 67, 100};
    for (int i = 0; i < 4; ++i)
        check(value(yesNo[i]) ==
                  (u8(yesNoAt[i]) != 0 ? QStringLiteral("TAK") : QStringLiteral("NIE")),
              "yes/no value");
    check(info.currencyChangeProgrammed == (u8(100) != 0), "currency change group");
    check(value(InfoField::VatRecords) == QString::number(u8(68)), "VAT records");
    check(value(InfoField::RegisterNumber) == QString::number(u8(69)), "register number");
    check(value(InfoField::CurrencyProgrammed) == timeDate(94), "currency programmed");
    check(value(InfoField::CurrencyChangeDate) ==
              (u8(107) == 0 ? QStringLiteral("brak") : timeDate(104)),
          "currency change date");

    // Text fields: never longer than their bytes.
    const struct {
        InfoField field;
        int width;
    } texts[] = {{InfoField::ProgramMemory, 10},  {InfoField::UniqueNumber, 12},
                 {InfoField::Nip, bis ? 17 : 10}, {InfoField::CashierName, 21},
                 {InfoField::CurrencySymbol, 3},  {InfoField::NewCurrencySymbol, 3}};
    for (const auto& t : texts)
        check(value(t.field).size() <= t.width, "a text longer than its field");

    const char16_t* const ports[] = {u"Komputer PC", u"Waga", u"Skaner", u"Brak"};
    for (int i = 0; i < 2; ++i) {
        const auto v = info.value(i == 0 ? InfoField::PortA : InfoField::PortB);
        const int b = u8(110 + i);
        check(v.has_value() == (b <= 3), "port value given for an unknown use");
        if (v)
            check(*v == QString::fromUtf16(ports[b]), "port use");
    }
    const auto usb = info.value(InfoField::Usb);
    check(usb.has_value() == (u8(112) <= 1), "USB value given for an unknown use");
    if (usb)
        check(*usb == (u8(112) == 0 ? QStringLiteral("Brak") : QStringLiteral("Komputer PC")),
              "USB use");
    const auto card = info.value(InfoField::CardSize);
    check(card.has_value() == bis, "card size only from a DUNO BIS");
    if (card)
        check(*card == QString::number(i16(113)), "card size");
}

// Whether the bytes hold a whole record frame.
bool recordFrame(QByteArrayView f)
{
    if (f.size() < 4 || f[3] != 0)
        return false;
    const int length = quint8(f[2]);
    return (length == 124 || length == 115) && f.size() >= length;
}

quint8 xorCheck(QByteArrayView f, int length)
{
    quint8 x = 0;
    for (int i = 1; i <= length - 3; ++i)
        x ^= quint8(f[i]);
    return x;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t op = data[0];
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    switch (op % 3) {
    case 0: {
        // The bytes as they stand.
        const auto info = transfer::decodeInformation(bytes);
        check(info.has_value() == recordFrame(bytes), "decoded what is no record, or refused one");
        if (info)
            checkDecoded(*info, bytes);
        break;
    }
    case 1: {
        // A record frame of either length around the bytes.
        const int length = (op & 0x80) ? 124 : 115;
        QByteArray f = bytes.left(length);
        f.resize(length, '\0');
        f[0] = 0x02;
        f[2] = char(length);
        f[3] = 0;
        const auto info = transfer::decodeInformation(f);
        check(info.has_value(), "a record frame refused");
        checkDecoded(*info, f);
        break;
    }
    default: {
        // The bytes as the register's answer to the request.
        const bool sealed = op & 0x80; // put the right check byte in
        const int step = 1 + (op >> 2 & 0x1F);
        if (sealed && recordFrame(bytes)) {
            const int length = quint8(bytes[2]);
            bytes[length - 2] = char(xorCheck(bytes, length));
        }
        const bool good = recordFrame(bytes) &&
                          xorCheck(bytes, quint8(bytes[2])) == quint8(bytes[quint8(bytes[2]) - 2]);
        {
            Reply answer;
            answer.bytes = bytes;
            answer.step = step;
            FuzzUi ui(answer);
            Link link([&answer] { return std::make_unique<AnswerLine>(answer); });
            link.port = 1;
            if (link.openPort(ui, false) != 0)
                return 0;
            const auto info = transfer::fetchInformation(link, ui);
            check(info.has_value() == good, "fetched a bad answer, or refused a good one");
            if (info) {
                check(ui.messages.isEmpty(), "a message after a good answer");
                checkDecoded(*info, bytes);
            } else {
                check(!ui.messages.isEmpty(), "a failed fetch said nothing");
            }
            // The request goes out once and nothing is acknowledged.
            check(answer.writes == QList<QByteArray>{Request}, "fetch sent other frames");
        }
        {
            Reply answer;
            answer.bytes = bytes;
            answer.step = step;
            FuzzUi ui(answer);
            Link link([&answer] { return std::make_unique<AnswerLine>(answer); });
            link.port = 1;
            if (link.openPort(ui, false) != 0)
                return 0;
            const int type = answers::detectRegisterType(link, ui);
            check(type >= 0 && type <= 2, "register type out of range");
            check((type != 0) == good, "type from a bad answer, or none from a good one");
            if (good) {
                // The model code in the first data byte, else the length tells.
                const int code = quint8(bytes[7]);
                const int expected = code == 100               ? 1
                                     : code == 200             ? 2
                                     : quint8(bytes[2]) == 124 ? 2
                                                               : 1;
                check(type == expected, "register type not the one the answer gives");
                check(answer.writes == (QList<QByteArray>{Request, Ack3}),
                      "a good answer not acknowledged with 3");
            } else if (recordFrame(bytes)) {
                check(answer.writes == (QList<QByteArray>{Request, Ack1}),
                      "a check failure not acknowledged with 1");
            } else {
                check(answer.writes == QList<QByteArray>{Request}, "a bad answer acknowledged");
            }
        }
        break;
    }
    }
    return 0;
}
