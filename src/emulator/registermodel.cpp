#include "registermodel.h"

#include "common/cp1250.h"

#include <QDataStream>
#include <QFile>

#include <algorithm>

namespace emu {

namespace {

// Where a record's name lies inside the register image, and how wide it is.
struct NameField {
    int offset;
    int width;
};

constexpr NameField kNames[RegisterModel::TableCount] = {
    {2, 42}, // articles
    {1, 21}, // cashiers
    {1, 21}, // discounts
    {1, 21}, // payment forms
    {1, 21}, // currencies
    {1, 21}, // groups
    {1, 42}, // packaging
};

constexpr uint8_t kReadCodes[RegisterModel::TableCount] = {'T', 'K', 'R', 'F', 'W', 'G', 'Z'};

// Device error codes the register reports in an error frame.
enum DeviceError : uint8_t {
    ErrUnknownCommand = 0,
    ErrCheckByte = 1,
    ErrFrameNumber = 4,
    ErrArticleName = 5,
    ErrArticleNumber = 6,
    ErrVat = 7,
    ErrBarcode = 8,
    ErrGroup = 9,
    ErrPackagingRef = 10,
    ErrFixedPrice = 11,
    ErrWholeQuantity = 12,
    ErrDiscountNumber = 14,
    ErrDiscountKind = 15,
    ErrDiscountType = 16,
    ErrCashierNumber = 18,
    ErrCashierName = 19,
    ErrPaymentNumber = 28,
    ErrPaymentName = 29,
    ErrPaymentKind = 30,
    ErrCurrencyNumber = 31,
    ErrCurrencyName = 32,
    ErrDiscountValue = 17,
    ErrCurrencySymbol = 34,
    ErrVatValue = 35,
    ErrHeaderLines = 38,
    ErrHeaderTall = 39,
    ErrHeaderLength = 88,
    ErrPackagingNumber = 36,
    ErrPackagingName = 37,
    ErrGroupName = 40,
    ErrYear = 59,
    ErrMonth = 60,
    ErrDay = 61,
    ErrHour = 62,
    ErrMinute = 63,
    ErrSecond = 64,
    ErrKey = 65,
    ErrNoArticle = 66,
    ErrReportNumbers = 71,
    ErrQueryCode = 75,
    ErrRecordNumber = 76,
    ErrBaseGroup = 82,
    ErrBackDate = 83,
    ErrHaloIndex = 85,
    ErrManager = 89,
    ErrNameMismatch = 90,
    ErrArticleSales = 91,
    ErrPortSettings = 92,
    ErrCashierTakings = 103,
    ErrPaymentTurnover = 104,
    ErrCurrencyTurnover = 105,
    ErrPackagingTurnover = 106,
    ErrGroupTurnover = 107,
};

constexpr uint8_t kStatusPaperOut = 0x02;
constexpr uint8_t kStatusInProgress = 0x04;
constexpr uint8_t kStatusBusy = 0x08;
constexpr uint8_t kStatusEmpty = 0x10;
constexpr uint8_t kStatusZeroSales = 0x40;
constexpr uint8_t kStatusReady = 0x00;

// The header block: six lines of 42 bytes, the line count, six tall-line flags. Returns
// the device error for a block the register refuses, or -1.
int headerError(QByteArrayView block)
{
    const int count = uint8_t(block[252]);
    if (count > 6)
        return ErrHeaderLines;
    for (int i = count * 42; i < 252; ++i)
        if (block[i] != 0)
            return ErrHeaderLines;
    for (int i = 253; i < 259; ++i)
        if (uint8_t(block[i]) > 1)
            return ErrHeaderTall;
    // Printed characters: the padding spaces and the large-character markers do not count.
    const auto printed = std::count_if(block.begin(), block.begin() + 252,
                                       [](char c) { return c != 0 && c != ' ' && c != 1; });
    return printed > 240 ? int(ErrHeaderLength) : -1;
}

QByteArray trimmedName(QByteArrayView field)
{
    const qsizetype zero = field.indexOf('\0');
    return (zero < 0 ? field : field.first(zero)).toByteArray();
}

bool isZero(QByteArrayView b)
{
    return std::all_of(b.begin(), b.end(), [](char c) { return c == 0; });
}

int daysIn(int month, int year)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return days[month - 1];
}

// The six bytes of a "never" time: year 0, month 0, day 0, hour 24, minute 0.
void putNever(QByteArray& image, int at)
{
    putU16(image, at, 0);
    image[at + 2] = 0;
    image[at + 3] = 0;
    image[at + 4] = 24;
    image[at + 5] = 0;
}

void putTime(QByteArray& image, int at, int y, int mo, int d, int h, int mi)
{
    putU16(image, at, uint16_t(y));
    image[at + 2] = char(mo);
    image[at + 3] = char(d);
    image[at + 4] = char(h);
    image[at + 5] = char(mi);
}

} // namespace

RegisterModel::RegisterModel(Model model, int address)
    : m_model(model), m_address(uint8_t(std::clamp(address, 1, 9)))
{
    for (int t = 0; t < TableCount; ++t)
        m_tables[t] =
            QList<QByteArray>(recordCount(Table(t)), QByteArray(imageSize(Table(t), model), '\0'));
    // A register leaves the factory with the rates A 23 %, B 8 %, C 0 %, D 5 %, E and F
    // inactive, G exempt, group 1 "Podstawowa", cashier 1 the manager.
    m_vat = QByteArray(21, '\0');
    const uint16_t rates[7] = {2300, 800, 0, 500, 0xFFFE, 0xFFFE, 0xFFFF};
    for (int i = 0; i < 7; ++i) {
        m_vat[i * 3] = char('A' + i);
        putU16(m_vat, i * 3 + 1, rates[i]);
    }
    QByteArray group(imageSize(Groups, model), '\0');
    group[0] = 1;
    cp1250::putField(group, 1, QStringLiteral("Podstawowa"), 21);
    m_tables[Groups][0] = group;
    QByteArray cashier(imageSize(Cashiers, model), '\0');
    cashier[0] = 1;
    cp1250::putField(cashier, 1, QStringLiteral("Kierownik"), 21);
    for (int i = 224; i <= 230; ++i)
        cashier[i] = 1;
    putNever(cashier, 231);
    putNever(cashier, 237);
    m_tables[Cashiers][0] = cashier;
    m_header = QByteArray(259, '\0');
    m_footer = QByteArray(130, '\0');
    m_units = QByteArray("szt kg l  ", 9);
    m_halo = QByteArray(36, '\0');
    m_settings = QByteArray(22, '\0');
    m_quickKeys = QByteArray(10 * 10 * 32, '\0');
    m_clock = QByteArray(8, '\0');
    m_password = QByteArray(10, ' ');
    m_info = QByteArray(115, '\0');
    {
        QByteArray& d = m_info;
        putU16(d, 0, model == Model::DunoBis ? 200 : 100); // 200 marks DUNO BIS, 100 DUNO
        cp1250::putField(d, 2, QStringLiteral("VD-PROG-01"), 10);
        cp1250::putField(d, 12, QStringLiteral("ABC123456789"), 12);
        putU16(d, 41, 4711); // fiscal memory signature
        d[43] = 1;           // fiscal mode
        d[44] = 0;           // memory open
        // last fiscal memory write 7-12-2026, last daily report 21:05 7-12-2026
        const char lastWrite[4] = {20, 26, 12, 7};
        const char lastReport[6] = {20, 26, 12, 7, 21, 5};
        d.replace(45, 4, QByteArray(lastWrite, 4));
        d.replace(49, 6, QByteArray(lastReport, 6));
        putU16(d, 55, 312);   // last daily report number
        d[57] = 1;            // electronic copy medium
        putU32(d, 61, 15873); // receipts since fiscalisation
        d[68] = 7;            // VAT rate records
        cp1250::putField(d, 91, QStringLiteral("PLN"), 3);
        const char currencySince[6] = {20, 15, 1, 1, 0, 0};
        d.replace(94, 6, QByteArray(currencySince, 6));
        d[112] = 1;          // reached over USB by the computer
        putU16(d, 113, 512); // electronic copy card size
    }
    m_copyText =
        cp1250::encode(QStringLiteral("RAPORT DOBOWY\nNr 312\nSPRZEDAŻ OPODATKOWANA A 0,00\n"));
    for (int i = 0; i < 4 * 256; ++i)
        m_cache.append(char(i * 7 + 3));
}

int RegisterModel::imageSize(Table t, Model m)
{
    switch (t) {
    case Articles:
        return m == Model::DunoBis ? 82 : 81;
    case Cashiers:
        return 324;
    case Discounts:
        return 36;
    case PaymentForms:
        return 31;
    case Currencies:
        return 42;
    case Groups:
        return 26;
    case Packaging:
        return 66;
    case TableCount:
        break;
    }
    return 0;
}

int RegisterModel::recordCount(Table t)
{
    switch (t) {
    case Articles:
        return 2000;
    case PaymentForms:
    case Currencies:
        return 10;
    default:
        return 20;
    }
}

QByteArray RegisterModel::image(Table t, int n) const
{
    if (n < 1 || n > recordCount(t))
        return {};
    return m_tables[t][n - 1];
}

void RegisterModel::setImage(Table t, int n, const QByteArray& image)
{
    if (n < 1 || n > recordCount(t))
        return;
    QByteArray img = image.left(imageSize(t, m_model));
    img.append(QByteArray(imageSize(t, m_model) - img.size(), '\0'));
    m_tables[t][n - 1] = img;
}

int RegisterModel::usedRecords(Table t) const
{
    return int(std::count_if(m_tables[t].begin(), m_tables[t].end(),
                             [](const QByteArray& img) { return img[0] != 0 || img[1] != 0; }));
}

QByteArray RegisterModel::quickKey(int cashier, int key) const
{
    return m_quickKeys.mid(((cashier - 1) * 10 + (key - 1)) * 32, 32);
}

bool RegisterModel::vatProgrammed(char letter) const
{
    if (letter < 'A' || letter > 'G')
        return false;
    return u16At(m_vat, (letter - 'A') * 3 + 1) != 0xFFFE;
}

int RegisterModel::findName(Table t, QByteArrayView name, int except) const
{
    if (name.isEmpty())
        return 0;
    const NameField f = kNames[t];
    for (int i = 0; i < recordCount(t); ++i) {
        const QByteArray& img = m_tables[t][i];
        if (i + 1 == except || (img[0] == 0 && img[1] == 0))
            continue;
        if (trimmedName(QByteArrayView(img).sliced(f.offset, f.width)) == name)
            return i + 1;
    }
    return 0;
}

QList<Reply> RegisterModel::ack(uint16_t seq) const
{
    return {Reply{ackFrame(m_address, (seq & kEndMarker) ? 3 : 0), m_recordDelayMs}};
}

QList<Reply> RegisterModel::error(uint8_t code) const
{
    return {Reply{errorFrame(m_address, code)}};
}

QList<Reply> RegisterModel::feed(QByteArrayView bytes)
{
    QList<Reply> out;
    // While the register streams copy text, each 0xAA from the computer releases the next chunk.
    if (!m_copyChunks.isEmpty()) {
        QByteArray rest;
        for (char c : bytes) {
            if (uint8_t(c) == 0xAA && !m_copyChunks.isEmpty())
                out.append(Reply{m_copyChunks.takeFirst(), m_recordDelayMs});
            else
                rest.append(c);
        }
        m_assembler.feed(rest);
    } else {
        m_assembler.feed(bytes);
    }
    for (QByteArray f = m_assembler.next(); !f.isEmpty(); f = m_assembler.next())
        out += handle(f);
    return out;
}

QList<Reply> RegisterModel::handle(QByteArrayView frame)
{
    if (frame.size() < kMinFrame || frame[0] != kStart || u16At(frame, 2) != frame.size() ||
        frame.back() != kEnd)
        return {};
    const uint8_t addr = uint8_t(frame[1]);
    const uint8_t cmd = uint8_t(frame[6]);
    const int length = int(frame.size());
    // Service commands always travel to address 1, whatever the register's own address.
    const bool fixedAddressOne = (cmd == 'O' && length == 13) || (cmd == 3 && length == 31) ||
                                 (cmd == 0xCB && length == 10) || (cmd == '9' && length == 9) ||
                                 (cmd == '8' && length == 14) || (cmd == 'c' && length == 10);
    if (addr != m_address && !(fixedAddressOne && addr == 1))
        return {};
    ++m_frameCounter;
    if (uint8_t(frame[length - 2]) != checkByte(frame))
        return applyFaults(error(ErrCheckByte));
    if (!acceptNumber(cmd, length, u16At(frame, 4)))
        return applyFaults(error(ErrFrameNumber));
    if (m_faults.ackInstead.contains(m_frameCounter))
        return applyFaults(
            {Reply{ackFrame(m_address, uint8_t(m_faults.ackInstead.value(m_frameCounter)))}});
    if (m_faults.deviceError.contains(m_frameCounter))
        return applyFaults(error(uint8_t(m_faults.deviceError.value(m_frameCounter))));
    if (!(cmd == kAck && length == 10)) { // the group turnover request (code 6) is no ack
        // Busy: the register says so at once and answers the command when it is free again;
        // the computer waits and reads once more without sending the frame again.
        if (m_faults.busy.contains(m_frameCounter)) {
            QList<Reply> rest = process(frame);
            if (!rest.isEmpty())
                rest.first().delayMs += m_faults.busyMs;
            rest.prepend(Reply{statusFrame(m_address, kStatusBusy)});
            return applyFaults(rest);
        }
        if (m_faults.paperOut.contains(m_frameCounter)) {
            QList<Reply> rest = process(frame);
            if (!rest.isEmpty())
                rest.first().delayMs += m_faults.paperBackMs;
            rest.prepend(Reply{statusFrame(m_address, kStatusPaperOut)});
            return applyFaults(rest);
        }
    }
    return applyFaults(process(frame));
}

bool RegisterModel::acceptNumber(uint8_t command, int length, uint16_t seq)
{
    // Acknowledgements and the probe stand outside every run; the register scan sends the
    // probe with the number 0.
    if ((command == kAck || command == 'Q') && length == 10)
        return true;
    // The frames that come in runs: table programming, deletions and quick keys.
    struct RunFrame {
        uint8_t command;
        int length;
    };
    static constexpr RunFrame runFrames[] = {
        {'T', 78}, {'T', 77}, {'K', 43}, {'R', 38}, {'F', 33}, {'W', 40}, {'Z', 58}, {'G', 31},
        {'S', 44}, {'0', 54}, {'1', 32}, {'2', 26}, {'3', 33}, {'4', 33}, {'5', 53}, {'6', 31}};
    const bool inRun =
        std::any_of(std::begin(runFrames), std::end(runFrames),
                    [&](const RunFrame& r) { return r.command == command && r.length == length; });
    const int number = seq & ~kEndMarker;
    const bool last = (seq & kEndMarker) != 0;
    if (number == 1) {
        if (m_numbering.open)
            ++m_unclosedRuns;
        m_numbering = Numbering{inRun && !last, 1};
        return true;
    }
    if (inRun && m_numbering.open && number == m_numbering.last + 1) {
        m_numbering = Numbering{!last, number};
        return true;
    }
    m_numbering = Numbering{};
    ++m_numberingErrors;
    return false;
}

QList<Reply> RegisterModel::applyFaults(QList<Reply> replies)
{
    const int n = m_frameCounter;
    if (m_faults.vanish.contains(n))
        return {Reply{QByteArray(), 0, true}};
    if (m_faults.silent.contains(n) || replies.isEmpty())
        return {};
    if (replies.first().dropPending)
        return replies;
    Reply& first = replies.first();
    if (m_faults.corrupt.contains(n) && first.bytes.size() >= kMinFrame)
        first.bytes[first.bytes.size() - 2] = char(~uint8_t(first.bytes[first.bytes.size() - 2]));
    if (m_faults.truncate.contains(n)) {
        first.bytes.truncate(first.bytes.size() / 2);
        replies.resize(1);
    }
    if (m_faults.noise.contains(n))
        first.bytes.prepend(QByteArray("\x55\xAA\x13\x7F", 4));
    if (m_faults.slow.contains(n))
        first.delayMs += m_faults.slowMs;
    return replies;
}

QList<Reply> RegisterModel::startRead(uint8_t command, const QList<QByteArray>& dataFrames)
{
    m_run = ReadRun{};
    if (dataFrames.isEmpty())
        return {Reply{statusFrame(m_address, kStatusEmpty)}};
    for (int i = 0; i < dataFrames.size(); ++i) {
        uint16_t seq = uint16_t(i + 1);
        if (i + 1 == dataFrames.size())
            seq |= kEndMarker;
        m_run.frames.append(makeFrame(m_address, seq, command, dataFrames[i]));
    }
    m_run.active = dataFrames.size() > 1;
    m_run.next = 1;
    return {Reply{m_run.frames.first(), m_recordDelayMs}};
}

QList<Reply> RegisterModel::reportOrder()
{
    ++m_reportsPrinted;
    // The register confirms that it took the order, prints, then confirms completion.
    return {Reply{statusFrame(m_address, kStatusInProgress), m_recordDelayMs},
            Reply{ackFrame(m_address, 0), 300}};
}

QList<Reply> RegisterModel::process(QByteArrayView frame)
{
    const uint8_t cmd = uint8_t(frame[6]);
    const int length = int(frame.size());
    const uint16_t seq = u16At(frame, 4);
    const QByteArrayView data = frame.sliced(7, length - 9);

    if (cmd == kAck && length == 10) {
        const uint8_t code = uint8_t(data[0]);
        if (!m_run.active)
            return code == 4 ? QList<Reply>{Reply{{}, 0, false, true}} : QList<Reply>{};
        if (code != 0 || m_run.next >= m_run.frames.size()) {
            m_run = ReadRun{}; // 3 end, 4 stop, 1 abort
            return {};
        }
        const QByteArray f = m_run.frames[m_run.next++];
        if (m_run.next >= m_run.frames.size())
            m_run.active = false;
        return {Reply{f, m_recordDelayMs}};
    }
    m_run = ReadRun{}; // any other command ends a read in progress

    // Generic read requests: 11 bytes, bytes 7-8 a parameter.
    if (length == 11) {
        for (int t = 0; t < TableCount; ++t) {
            if (cmd != kReadCodes[t])
                continue;
            QList<QByteArray> frames;
            for (const QByteArray& img : m_tables[t])
                if (img[0] != 0 || img[1] != 0)
                    frames.append(img);
            return startRead(cmd, frames);
        }
        switch (cmd) {
        case 'I':
            return {Reply{makeFrame(m_address, 0x8001, 'I', informationData()), m_recordDelayMs}};
        case 'P':
            return startRead('P', {m_vat});
        case 'N':
            return startRead('N', {m_header});
        case 'J':
            return startRead('J', {m_units});
        case 'S': {
            QList<QByteArray> keys;
            for (int c = 1; c <= 10; ++c)
                for (int k = 1; k <= 10; ++k) {
                    const QByteArray key = quickKey(c, k);
                    if (!isZero(key))
                        keys.append(QByteArray(1, char(c)) + char(k) + key);
                }
            return startRead('S', keys);
        }
        case 'X':
        case 'Y': {
            QList<QByteArray> records;
            for (const QByteArray& img : m_tables[Articles]) {
                if (img[0] == 0 && img[1] == 0)
                    continue;
                const bool sold = !isZero(QByteArrayView(img).sliced(49, 8));
                if (cmd == 'X' && !sold)
                    continue;
                records.append(img.left(45) + img.mid(49, 8)); // number, name, VAT, quantity, value
            }
            if (records.isEmpty() && cmd == 'X' && usedRecords(Articles) > 0)
                return {Reply{statusFrame(m_address, kStatusZeroSales)}};
            return startRead(cmd, records);
        }
        case 6:
            return startRead(6, m_turnover);
        case 3:
            return startRead(3, {m_settings.left(21)});
        default:
            break;
        }
    }

    // Table programming: each record is checked the way the register checks it.
    auto program = [&](Table t) { return programRecord(t, data, seq); };
    switch (cmd) {
    case 'T':
        if (length == 78 || length == 77) // with the unit byte, or the DUNO frame without it
            return program(Articles);
        break;
    case 'K':
        if (length == 43)
            return program(Cashiers);
        break;
    case 'R':
        if (length == 38)
            return program(Discounts);
        break;
    case 'F':
        if (length == 33)
            return program(PaymentForms);
        break;
    case 'W':
        if (length == 40)
            return program(Currencies);
        break;
    case 'Z':
        if (length == 58)
            return program(Packaging);
        break;
    case 'G':
        if (length == 31)
            return program(Groups);
        break;
    case '0':
        if (length == 54)
            return deleteRecord(Articles, data, 42, seq);
        break;
    case '1':
        if (length == 32)
            return deleteRecord(Discounts, data, 21, seq);
        break;
    case '2':
        if (length == 26)
            return deleteRecord(Cashiers, data, 16, seq);
        break;
    case '3':
        if (length == 33)
            return deleteRecord(PaymentForms, data, 22, seq);
        break;
    case '4':
        if (length == 33)
            return deleteRecord(Currencies, data, 23, seq);
        break;
    case '5':
        if (length == 53)
            return deleteRecord(Packaging, data, 43, seq);
        break;
    case '6':
        if (length == 31)
            return deleteRecord(Groups, data, 21, seq);
        break;
    case 'P':
        if (length == 31) {
            for (int i = 0; i < 7; ++i) {
                const uint16_t r = u16At(data, i * 3 + 1);
                if (data[i * 3] != char('A' + i))
                    return error(ErrVat);
                if (r > 9999 && r != 0xFFFE && r != 0xFFFF)
                    return error(ErrVatValue);
            }
            m_vat = data.first(21).toByteArray();
            return ack(seq);
        }
        break;
    case 'N':
        if (length == 268) {
            if (const int code = headerError(data); code >= 0)
                return error(uint8_t(code));
            m_header = data.first(259).toByteArray();
            return ack(seq);
        }
        break;
    case 'D':
        if (length == 140) {
            m_footer = data.first(130).toByteArray();
            return ack(seq);
        }
        break;
    case 'L':
        if (length == 45) {
            m_halo = data.first(36).toByteArray();
            return ack(seq);
        }
        break;
    case 'q':
        if (length == 18) {
            m_units = data.first(9).toByteArray();
            return ack(seq);
        }
        break;
    case 'S':
        if (length == 44) {
            const int c = uint8_t(data[0]), k = uint8_t(data[1]);
            if (c < 1 || c > 10)
                return error(ErrCashierNumber);
            if (k < 1 || k > 10)
                return error(ErrKey);
            m_quickKeys.replace(((c - 1) * 10 + (k - 1)) * 32, 32,
                                data.sliced(2, 32).toByteArray());
            return ack(seq);
        }
        break;
    case 'C':
        if (length == 17) {
            const int y = u16At(data, 0), mo = uint8_t(data[2]), d = uint8_t(data[3]);
            if (mo < 1 || mo > 12)
                return error(ErrMonth);
            if (d < 1 || d > daysIn(mo, y))
                return error(ErrDay);
            if (uint8_t(data[4]) > 23)
                return error(ErrHour);
            if (uint8_t(data[5]) > 59)
                return error(ErrMinute);
            if (uint8_t(data[6]) > 59)
                return error(ErrSecond);
            m_clock = data.first(8).toByteArray();
            return ack(seq);
        }
        break;
    case 'E':
        if (length == 23)
            return changeCurrency(data, seq);
        break;
    case 'H':
        if (length == 30) {
            // The register compares the old password itself; the padding spaces do not count
            // (the form pads before the last character). A register that has no manager
            // password yet (the factory state) takes any old one; otherwise a wrong one is
            // refused with acknowledgement 1 and the password stays.
            auto bare = [](QByteArrayView b) {
                return b.toByteArray().replace(' ', "").replace('\0', "");
            };
            if (!bare(m_password).isEmpty() && bare(data.first(10)) != bare(m_password))
                return {Reply{ackFrame(m_address, 1), m_recordDelayMs}};
            m_password = data.sliced(10, 10).toByteArray();
            return ack(seq);
        }
        break;
    case 'X':
        if (length == 14) {
            if (uint8_t(data[0]) < 1 || uint8_t(data[0]) > 10)
                return error(ErrCashierNumber);
            return ack(seq);
        }
        break;
    case 'O':
        if (length == 13) {
            if (uint8_t(data[0]) < 1 || uint8_t(data[0]) > 10)
                return error(ErrCashierNumber);
            if (uint8_t(data[1]) < 1 || uint8_t(data[1]) > 10)
                return error(ErrKey);
            return ack(seq);
        }
        break;
    case 'I':
        if (length == 25) {
            m_nip = cp1250::readField(data.first(16));
            return ack(seq);
        }
        break;
    case 3:
        if (length == 31) {
            m_settings = data.first(22).toByteArray();
            return ack(seq);
        }
        break;
    case 'Q':
        if (length == 10)
            return {Reply{statusFrame(m_address, kStatusReady), m_recordDelayMs}};
        break;
    case 0xCB:
        if (length == 10) {
            for (QByteArray& img : m_tables[Articles])
                img.replace(49, 8, QByteArray(8, '\0'));
            return ack(seq);
        }
        break;
    case '9':
        if (length == 9) {
            const char port[1] = {0}; // reached over its USB port
            return {Reply{makeFrame(m_address, 0x8001, '9', QByteArrayView(port, 1))}};
        }
        break;
    case '8':
        if (length == 14) {
            // 7 USB use (0 none, 1 computer), 8 port A use, 10 port B use (0 computer,
            // 1 scale, 2 scanner, 3 none); the register reports them in its information data.
            const uint8_t usb = uint8_t(data[0]), a = uint8_t(data[1]), b = uint8_t(data[3]);
            if (usb > 1 || a > 3 || b > 3)
                return error(ErrPortSettings);
            m_info[110] = char(a);
            m_info[111] = char(b);
            m_info[112] = char(usb);
            return ack(seq);
        }
        break;
    case 'c':
        if (length == 10) {
            if (data[0] != 1)
                return error(ErrQueryCode);
            m_info[66] = 1; // service mode, reported in the information data
            return ack(seq);
        }
        break;
    case 1:
        if (length == 24)
            return copyRead(data, seq);
        break;
    case ':':
        if (length == 10) {
            QList<QByteArray> frames;
            for (qsizetype at = 0; at < m_cache.size(); at += 256) {
                QByteArray chunk = m_cache.mid(at, 256);
                chunk.append(QByteArray(256 - chunk.size(), '\0'));
                frames.append(chunk);
            }
            return startRead(':', frames);
        }
        break;
    case 5:
        if (length == 17) {
            if (data[0] < 1 || data[0] > 12 || data[3] < 1 || data[3] > 12)
                return error(ErrMonth);
            return reportOrder();
        }
        break;
    default:
        break;
    }
    // Report orders: code and length as the register knows them.
    struct ReportOrder {
        uint8_t code;
        int length;
    };
    static constexpr ReportOrder orders[] = {{'o', 19}, {'s', 16}, {'n', 10}, {'p', 15}, {'b', 15},
                                             {'k', 12}, {'z', 12}, {'r', 12}, {'a', 12}, {'f', 12},
                                             {'g', 12}, {'w', 10}, {'v', 10}, {'t', 10}, {'h', 10}};
    for (const ReportOrder& o : orders)
        if (o.code == cmd && o.length == length)
            return reportOrder();
    return error(ErrUnknownCommand);
}

QList<Reply> RegisterModel::programRecord(Table t, QByteArrayView data, uint16_t seq)
{
    const bool fullArticle = t == Articles && data.size() == 69; // 78-byte frame with the unit byte
    const int n = t == Articles ? int(u16At(data, 0)) : int(uint8_t(data[0]));
    switch (t) {
    case Articles: {
        if (n < 1 || n > 2000)
            return error(ErrArticleNumber);
        if (!vatProgrammed(data[44]))
            return error(ErrVat);
        for (int i = 49; i < 62; ++i)
            if (data[i] < '0' || data[i] > '9')
                return error(ErrBarcode);
        const int group = uint8_t(data[62]);
        if (group < 1 || group > 20 || image(Groups, group)[0] == 0)
            return error(ErrGroup);
        const int tandem = uint8_t(data[63]);
        if (tandem > 20 || (tandem > 0 && image(Packaging, tandem)[0] == 0))
            return error(ErrPackagingRef);
        if (uint8_t(data[64]) > 1)
            return error(ErrFixedPrice);
        if (uint8_t(data[65]) > 1)
            return error(ErrWholeQuantity);
        if (uint8_t(data[66]) > 9)
            return error(ErrHaloIndex);
        if (findName(t, trimmedName(data.sliced(2, 42)), n))
            return error(ErrArticleName);
        QByteArray& img = slot(t, n);
        const bool fresh = img[0] == 0 && img[1] == 0;
        img.replace(0, 49, data.first(49).toByteArray());
        img.replace(57, 13, data.sliced(49, 13).toByteArray());
        img.replace(70, 5, data.sliced(62, 5).toByteArray());
        if (fresh) {
            img.replace(49, 8, QByteArray(8, '\0'));
            putNever(img, 75);
        }
        if (m_model == Model::DunoBis)
            img[81] = fullArticle ? data[67] : char(0);
        return ack(seq);
    }
    case Cashiers:
        if (n < 1 || n > 20)
            return error(ErrCashierNumber);
        for (int i = 26; i <= 32; ++i)
            if (uint8_t(data[i]) > 1)
                return error(uint8_t(20 + (i - 26)));
        if (findName(t, trimmedName(data.sliced(1, 21)), n))
            return error(ErrCashierName);
        {
            QByteArray& img = slot(t, n);
            if (img[0] == 0) {
                img.fill('\0');
                putNever(img, 231);
                putNever(img, 237);
            }
            img.replace(0, 26, data.first(26).toByteArray());
            img.replace(224, 7, data.sliced(26, 7).toByteArray());
        }
        return ack(seq);
    case Discounts:
        if (n < 1 || n > 20)
            return error(ErrDiscountNumber);
        if (uint8_t(data[22]) > 1)
            return error(ErrDiscountKind);
        if (uint8_t(data[23]) > 1)
            return error(ErrDiscountType);
        if (data[23] == 0 && u32At(data, 24) > 9999)
            return error(ErrDiscountValue);
        slot(t, n).replace(0, 28, data.first(28).toByteArray());
        return ack(seq);
    case PaymentForms:
        if (n < 1 || n > 10)
            return error(ErrPaymentNumber);
        if (findName(t, trimmedName(data.sliced(1, 21)), n))
            return error(ErrPaymentName);
        if (uint8_t(data[22]) > 5)
            return error(ErrPaymentKind);
        slot(t, n).replace(0, 22, data.first(22).toByteArray());
        slot(t, n)[26] = data[22];
        return ack(seq);
    case Currencies:
        if (n < 1 || n > 10)
            return error(ErrCurrencyNumber);
        if (findName(t, trimmedName(data.sliced(1, 21)), n))
            return error(ErrCurrencyName);
        {
            // The symbol (record bytes 27-29, image bytes 31-33) may not be empty or repeat
            // the symbol of another currency.
            const QByteArray symbol = data.sliced(27, 3).toByteArray().replace('\0', ' ');
            if (symbol.trimmed().isEmpty())
                return error(ErrCurrencySymbol);
            for (int i = 1; i <= recordCount(t); ++i) {
                const QByteArray& other = m_tables[t][i - 1];
                if (i != n && other[0] != 0 && other.mid(31, 3).replace('\0', ' ') == symbol)
                    return error(ErrCurrencySymbol);
            }
        }
        slot(t, n).replace(0, 22, data.first(22).toByteArray());
        slot(t, n).replace(26, 8, data.sliced(22, 8).toByteArray());
        return ack(seq);
    case Groups:
        if (n < 1 || n > 20)
            return error(ErrGroup);
        if (findName(t, trimmedName(data.sliced(1, 20)), n))
            return error(ErrGroupName);
        slot(t, n).replace(0, 21, data.first(21).toByteArray());
        return ack(seq);
    case Packaging:
        if (n < 1 || n > 20)
            return error(ErrPackagingNumber);
        if (findName(t, trimmedName(data.sliced(1, 42)), n))
            return error(ErrPackagingName);
        {
            QByteArray& img = slot(t, n);
            if (img[0] == 0) {
                img.fill('\0');
                putNever(img, 55);
            }
            img.replace(0, 47, data.first(47).toByteArray());
            img[65] = data[47];
        }
        return ack(seq);
    case TableCount:
        break;
    }
    return error(ErrUnknownCommand);
}

QList<Reply> RegisterModel::deleteRecord(Table t, QByteArrayView data, int nameWidth, uint16_t seq)
{
    const int n = t == Articles ? int(u16At(data, 0)) : int(uint8_t(data[0]));
    const int nameAt = t == Articles ? 2 : 1;
    if (n < 1 || n > recordCount(t))
        return error(t == Articles ? ErrArticleNumber : ErrRecordNumber);
    QByteArray& img = slot(t, n);
    if (img[0] == 0 && img[1] == 0)
        return error(t == Articles ? ErrNoArticle : ErrRecordNumber);
    // The name as the register holds it must match the one sent. A name that fills the
    // frame's name bytes may have been cut to fit them; it then matches the beginning.
    const NameField f = kNames[t];
    const QByteArray own = trimmedName(QByteArrayView(img).sliced(f.offset, f.width));
    const QByteArray sent = trimmedName(data.sliced(nameAt, nameWidth));
    const bool cut = sent.size() == nameWidth && nameWidth < f.width;
    if (!(own == sent || (cut && own.startsWith(sent))))
        return error(ErrNameMismatch);
    switch (t) {
    case Articles:
        if (!isZero(QByteArrayView(img).sliced(49, 8)))
            return error(ErrArticleSales);
        break;
    case Cashiers:
        if (n == 1)
            return error(ErrManager);
        if (!isZero(QByteArrayView(img).sliced(26, 8)))
            return error(ErrCashierTakings);
        break;
    case PaymentForms:
        if (!isZero(QByteArrayView(img).sliced(22, 4)))
            return error(ErrPaymentTurnover);
        break;
    case Currencies:
        if (!isZero(QByteArrayView(img).sliced(22, 4)))
            return error(ErrCurrencyTurnover);
        break;
    case Packaging:
        if (!isZero(QByteArrayView(img).sliced(47, 8)))
            return error(ErrPackagingTurnover);
        break;
    case Groups:
        if (n == 1)
            return error(ErrBaseGroup);
        if (!isZero(QByteArrayView(img).sliced(22, 4)))
            return error(ErrGroupTurnover);
        for (const QByteArray& a : m_tables[Articles])
            if ((a[0] != 0 || a[1] != 0) && uint8_t(a[70]) == n)
                return error(ErrGroupTurnover);
        break;
    default:
        break;
    }
    img.fill('\0');
    return ack(seq);
}

QList<Reply> RegisterModel::changeCurrency(QByteArrayView data, uint16_t seq)
{
    // 0-3 rate mantissa, 4 decimals, 5-7 symbol, 8 nominal, 9 print-converter flag,
    // 10-11 year, 12 month, 13 day of the change
    const QByteArray symbol = data.sliced(5, 3).toByteArray();
    if (symbol.trimmed().size() != 3 || symbol.contains('\0'))
        return error(ErrCurrencySymbol);
    const int year = u16At(data, 10), month = uint8_t(data[12]), day = uint8_t(data[13]);
    if (year < 2000 || year > 2099)
        return error(ErrYear);
    if (month < 1 || month > 12)
        return error(ErrMonth);
    if (day < 1 || day > daysIn(month, year))
        return error(ErrDay);
    // The change may not lie before the day the current currency was programmed.
    const int since = (uint8_t(m_info[94]) * 100 + uint8_t(m_info[95])) * 10000 +
                      uint8_t(m_info[96]) * 100 + uint8_t(m_info[97]);
    if (year * 10000 + month * 100 + day < since)
        return error(ErrBackDate);
    m_info[100] = 1;
    m_info.replace(101, 3, symbol);
    const char when[6] = {char(year / 100), char(year % 100), char(month), char(day), 0, 0};
    m_info.replace(104, 6, QByteArray(when, 6));
    return ack(seq);
}

QList<Reply> RegisterModel::copyRead(QByteArrayView data, uint16_t seq)
{
    const int kind = uint8_t(data[0]);
    const int handling = uint8_t(data[14]);
    if (kind < 1 || kind > 4 || handling < 1 || handling > 2)
        return error(ErrQueryCode);
    if (kind == 2) {
        const int first = u16At(data, 1), last = u16At(data, 7);
        if (first < 1 || first > 2000 || last < 1 || last > 2000)
            return error(ErrReportNumbers);
    }
    if (kind != 1 && kind != 4 && (uint8_t(data[13]) < 1 || uint8_t(data[13]) > 2))
        return error(ErrQueryCode);
    if (handling == 1) {
        ++m_reportsPrinted;
        return ack(seq);
    }
    // Sent to the computer as plain text in chunks, a zero byte at the very end.
    QByteArray text = m_copyText;
    if (kind == 4)
        text = cp1250::encode(QStringLiteral("PAMIĘĆ PODRĘCZNA %1 B\n").arg(m_cache.size()));
    text.append('\0');
    m_copyChunks.clear();
    for (qsizetype at = 0; at < text.size(); at += kCopyChunk)
        m_copyChunks.append(text.mid(at, kCopyChunk));
    return {Reply{m_copyChunks.takeFirst(), m_recordDelayMs}};
}

void RegisterModel::setInformation(const QByteArray& bisLayout)
{
    m_info = bisLayout.left(115);
    m_info.append(QByteArray(115 - m_info.size(), '\0'));
}

QByteArray RegisterModel::informationData() const
{
    QByteArray d = m_info;
    if (!m_nip.isEmpty())
        cp1250::putField(d, 24, m_nip, 17);
    d[67] = char(m_header[252] != 0); // header programmed
    d[69] = char(m_address);          // register number
    cp1250::putField(d, 70, cp1250::readField(QByteArrayView(m_tables[Cashiers][0]).sliced(1, 21)),
                     20);
    if (m_model == Model::DunoBis)
        return d;
    // DUNO: a NIP of 10 bytes, everything behind it 7 bytes earlier, no card size.
    return d.left(24) + d.mid(24, 10) + d.mid(41, 72);
}

void RegisterModel::fillDemo(int articles)
{
    static const char* const groups[] = {"Pieczywo", "Nabiał", "Napoje", "Słodycze", "Chemia"};
    for (int g = 0; g < 5; ++g) {
        QByteArray img(imageSize(Groups, m_model), '\0');
        img[0] = char(g + 1);
        cp1250::putField(img, 1,
                         g == 0 ? QStringLiteral("Podstawowa") : QString::fromUtf8(groups[g]), 21);
        putU32(img, 22, uint32_t(150000 + g * 23117));
        m_tables[Groups][g] = img;
    }
    QByteArray pack(imageSize(Packaging, m_model), '\0');
    pack[0] = 1;
    cp1250::putField(pack, 1, QStringLiteral("Butelka 0,5 l"), 42);
    putU32(pack, 43, 50);
    putU32(pack, 47, 1250);
    putU32(pack, 51, 400);
    putTime(pack, 55, 2026, 12, 5, 14, 20);
    putU16(pack, 61, 25);
    putU16(pack, 63, 8);
    m_tables[Packaging][0] = pack;
    static const char* const kinds[] = {"Gotówka", "Karta", "Czek", "Bon"};
    for (int i = 0; i < 4; ++i) {
        QByteArray img(imageSize(PaymentForms, m_model), '\0');
        img[0] = char(i + 1);
        cp1250::putField(img, 1, QString::fromUtf8(kinds[i]), 21);
        putU32(img, 22, uint32_t(100000 / (i + 1)));
        img[26] = char(i == 0 ? 5 : i);
        putU32(img, 27, uint32_t(40 / (i + 1)));
        m_tables[PaymentForms][i] = img;
    }
    QByteArray eur(imageSize(Currencies, m_model), '\0');
    eur[0] = 1;
    cp1250::putField(eur, 1, QStringLiteral("Euro"), 21);
    putU32(eur, 22, 35000);
    putU32(eur, 26, 43012345);
    eur[30] = 7;
    cp1250::putField(eur, 31, QStringLiteral("EUR"), 3);
    putU32(eur, 34, 12);
    m_tables[Currencies][0] = eur;
    QByteArray disc(imageSize(Discounts, m_model), '\0');
    disc[0] = 1;
    cp1250::putField(disc, 1, QStringLiteral("Rabat stały"), 21);
    putU32(disc, 24, 500);
    putU32(disc, 28, 2350);
    putU32(disc, 32, 14);
    m_tables[Discounts][0] = disc;
    static const char* const cashiers[] = {"Kierownik", "Anna Nowak", "Jan Kowalski"};
    for (int c = 0; c < 3; ++c) {
        QByteArray img(imageSize(Cashiers, m_model), '\0');
        img[0] = char(c + 1);
        cp1250::putField(img, 1, QString::fromUtf8(cashiers[c]), 21);
        cp1250::putField(img, 22, QStringLiteral("%1").arg(1111 * (c + 1)), 4);
        putU32(img, 26, uint32_t(80000 * (c + 1)));
        putU32(img, 30, uint32_t(125000 * (c + 1)));
        putU16(img, 34, uint16_t(120 * (c + 1)));
        putU16(img, 36, uint16_t(c));
        putU32(img, 38, uint32_t(c * 990));
        putU16(img, 42, uint16_t(c * 2));
        putU32(img, 44, uint32_t(c * 450));
        putU32(img, 48, 20000);
        putU32(img, 52, 5000);
        for (int i = 224; i <= 230; ++i)
            img[i] = char(c == 0 ? 1 : (i % 2));
        putTime(img, 231, 2026, 12, 7, 8, c * 5);
        putTime(img, 237, 2026, 12, 7, 16, c * 5);
        m_tables[Cashiers][c] = img;
    }
    static const char* const names[] = {"Chleb", "Bułka",     "Mleko", "Jogurt", "Woda",
                                        "Sok",   "Czekolada", "Baton", "Mydło",  "Proszek"};
    const char vats[] = {'D', 'D', 'D', 'B', 'A', 'A', 'A', 'A', 'A', 'A'};
    articles = std::clamp(articles, 0, 2000);
    for (int n = 1; n <= articles; ++n) {
        const int k = (n - 1) % 10;
        QByteArray img(imageSize(Articles, m_model), '\0');
        putU16(img, 0, uint16_t(n));
        cp1250::putField(img, 2, QString::fromUtf8(names[k]) + QStringLiteral(" %1").arg(n), 42);
        img[44] = vats[k];
        putU32(img, 45, uint32_t(99 + n * 37 % 5000));
        const bool sold = n % 3 != 0;
        putU32(img, 49, sold ? uint32_t(n * 1250 % 900000) : 0);
        putU32(img, 53, sold ? uint32_t(n * 311 % 1000000) : 0);
        img.replace(57, 13, cp1250::padLeftZeros(QString::number(5900000000000LL + n), 13));
        img[70] = char(k / 2 + 1);
        img[72] = char(n % 7 == 0);
        img[73] = char(k < 2 || k > 7);
        if (sold)
            putTime(img, 75, 2026, 1 + n % 12, 1 + n % 28, 8 + n % 12, n % 60);
        else
            putNever(img, 75);
        if (m_model == Model::DunoBis)
            img[81] = char(k == 2 || k == 4 ? 3 : 1);
        m_tables[Articles][n - 1] = img;
    }
    m_turnover.clear();
    for (int m = 1; m <= 12; ++m) {
        QByteArray rec(83, '\0');
        rec[0] = char(m);
        putU16(rec, 1, 2026);
        for (int g = 0; g < 5; ++g)
            putU32(rec, 3 + g * 4, uint32_t(10000 * m + 1000 * g));
        m_turnover.append(rec);
    }
    // The header block: six print lines of 42 bytes (centred), the line count at 252.
    m_header.fill('\0');
    const QString lines[] = {QStringLiteral("SKLEP SPOŻYWCZY \"POD LIPĄ\""),
                             QStringLiteral("ul. Lipowa 1, 00-001 Warszawa"),
                             QStringLiteral("NIP 123-456-78-90")};
    for (int i = 0; i < 3; ++i) {
        const int left = (42 - int(lines[i].size())) / 2;
        cp1250::putField(m_header, i * 42, QString(left, u' ') + lines[i], 42, ' ');
    }
    m_header[252] = 3;
    m_nip = QStringLiteral("1234567890");
    QString copy;
    for (int r = 1; r <= 20; ++r)
        copy += QStringLiteral("PARAGON FISKALNY nr %1\nChleb 1 1 x 3,50 = 3,50 D\nSUMA PLN 3,50\n")
                    .arg(r);
    m_copyText = cp1250::encode(copy);
    m_cache.clear();
    for (int i = 0; i < 40 * 256; ++i)
        m_cache.append(char((i * 31 + i / 256) & 0xFF));
}

namespace {
constexpr quint32 kStateMagic = 0x56444531; // "VDE1"
}

bool RegisterModel::save(const QString& path) const
{
    QByteArray blob;
    {
        QDataStream s(&blob, QIODevice::WriteOnly);
        s << kStateMagic << qint32(m_model);
        for (const QList<QByteArray>& t : m_tables)
            s << t;
        s << m_vat << m_header << m_footer << m_units << m_halo << m_settings << m_quickKeys
          << m_clock << m_password << m_nip << m_turnover << m_copyText << m_cache << m_info;
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(blob) == blob.size();
}

bool RegisterModel::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray blob = f.readAll();
    QDataStream s(blob);
    quint32 magic = 0;
    qint32 model = 0;
    s >> magic >> model;
    if (magic != kStateMagic || model != qint32(m_model))
        return false;
    std::array<QList<QByteArray>, TableCount> tables;
    for (int t = 0; t < TableCount; ++t) {
        s >> tables[t];
        if (tables[t].size() != recordCount(Table(t)))
            return false;
        for (const QByteArray& img : tables[t])
            if (img.size() != imageSize(Table(t), m_model))
                return false;
    }
    RegisterModel r(m_model, m_address);
    s >> r.m_vat >> r.m_header >> r.m_footer >> r.m_units >> r.m_halo >> r.m_settings >>
        r.m_quickKeys >> r.m_clock >> r.m_password >> r.m_nip >> r.m_turnover >> r.m_copyText >>
        r.m_cache;
    // State files written before the information record was kept end here.
    if (!s.atEnd())
        s >> r.m_info;
    if (s.status() != QDataStream::Ok || r.m_vat.size() != 21 || r.m_header.size() != 259 ||
        r.m_footer.size() != 130 || r.m_units.size() != 9 || r.m_halo.size() != 36 ||
        r.m_settings.size() != 22 || r.m_quickKeys.size() != 3200)
        return false;
    m_tables = tables;
    m_vat = r.m_vat;
    m_header = r.m_header;
    m_footer = r.m_footer;
    m_units = r.m_units;
    m_halo = r.m_halo;
    m_settings = r.m_settings;
    m_quickKeys = r.m_quickKeys;
    m_clock = r.m_clock;
    m_password = r.m_password;
    m_nip = r.m_nip;
    m_turnover = r.m_turnover;
    m_copyText = r.m_copyText;
    m_cache = r.m_cache;
    if (r.m_info.size() == 115)
        m_info = r.m_info;
    return true;
}

} // namespace emu
