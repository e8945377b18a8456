// The register as a whole: its tables, the frames it takes in (assembly, address, check
// byte, run numbering, injected faults) and the table of commands that hands each frame to
// its family (registermodel_*.cpp).
#include "registermodel.h"

#include "registermodel_p.h"

#include <algorithm>
#include <iterator>

namespace emu {

// One row of the command table (RegisterModel::command()).
struct RegisterModel::Command {
    uint8_t code;
    int length;
    Handler handler;
    Framing framing;
    bool addressOne;
};

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
    const Command* known = command(cmd, length);
    if (addr != m_address && !(known && known->addressOne && addr == 1))
        return {};
    ++m_frameCounter;
    if (m_faults.undetected.contains(m_frameCounter) && length > 12) {
        QByteArray damaged = frame.toByteArray();
        damaged[9] = char(damaged[9] ^ 0x01);
        damaged[10] = char(damaged[10] ^ 0x01);
        m_faults.undetected.remove(m_frameCounter);
        --m_frameCounter;
        return handle(damaged);
    }
    if (uint8_t(frame[length - 2]) != checkByte(frame))
        return applyFaults(error(ErrCheckByte));
    if (!acceptNumber(known, u16At(frame, 4)))
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

bool RegisterModel::acceptNumber(const Command* known, uint16_t seq)
{
    const Framing framing = known ? known->framing : Framing::Single;
    // Acknowledgements and the probe stand outside every run; the register scan sends the
    // probe with the number 0.
    if (framing == Framing::Outside)
        return true;
    const bool inRun = framing == Framing::Run;
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

QList<Reply> RegisterModel::process(QByteArrayView frame)
{
    const Request r{uint8_t(frame[6]), int(frame.size()), u16At(frame, 4),
                    frame.sliced(7, frame.size() - 9)};
    const Command* known = command(r.command, r.length);
    const Handler handler = known ? known->handler : nullptr;
    if (handler != &RegisterModel::nextReadFrame)
        m_run = ReadRun{}; // any other command ends a read in progress
    return handler ? (this->*handler)(r) : error(ErrUnknownCommand);
}

QList<Reply> RegisterModel::nextReadFrame(const Request& r)
{
    const uint8_t code = uint8_t(r.data[0]);
    if (!m_run.active)
        return code == 4 ? QList<Reply>{Reply{{}, 0, false, true}} : QList<Reply>{};
    if (code != 0 || m_run.next >= m_run.frames.size()) {
        m_run = ReadRun{}; // 3 end, 4 stop, 1 abort
        return {};
    }
    if (m_faults.lose.contains(m_frameCounter) && m_run.next + 1 < m_run.frames.size())
        ++m_run.next;
    const QByteArray f = m_run.frames[m_run.next++];
    if (m_run.next >= m_run.frames.size())
        m_run.active = false;
    return {Reply{f, m_recordDelayMs}};
}

int RegisterModel::recordToDelete(Table t, QByteArrayView data, int nameWidth, uint8_t& refusal)
{
    // Articles carry a 16-bit number, the other tables one byte.
    const int n = t == Articles ? int(u16At(data, 0)) : int(uint8_t(data[0]));
    const int nameAt = t == Articles ? 2 : 1;
    refusal = t == Articles ? ErrArticleNumber : ErrRecordNumber;
    if (n < 1 || n > recordCount(t))
        return 0;
    const QByteArray& img = slot(t, n);
    refusal = t == Articles ? ErrNoArticle : ErrRecordNumber;
    if (img[0] == 0 && img[1] == 0)
        return 0;
    // The name as the register holds it must match the one sent. A name that fills the
    // frame's name bytes may have been cut to fit them; it then matches the beginning.
    const NameField f = kNames[t];
    const QByteArray own = trimmedName(QByteArrayView(img).sliced(f.offset, f.width));
    const QByteArray sent = trimmedName(data.sliced(nameAt, nameWidth));
    const bool cut = sent.size() == nameWidth && nameWidth < f.width;
    refusal = ErrNameMismatch;
    if (!(own == sent || (cut && own.startsWith(sent))))
        return 0;
    return n;
}

// Every command the register knows, by code and frame length, sorted by both.
const RegisterModel::Command* RegisterModel::command(uint8_t code, int length)
{
    using M = RegisterModel;
    constexpr Framing One = Framing::Single, Run = Framing::Run, Out = Framing::Outside;
    static constexpr Command commands[] = {
        {1, 24, &M::copyRead, One, false},
        {3, 11, &M::readSettings, One, false},
        {3, 31, &M::writeSettings, One, true},
        {5, 17, &M::groupTurnoverReport, One, false},
        {kAck, 10, &M::nextReadFrame, Out, false},
        {6, 11, &M::readGroupTurnover, One, false}, // 11 bytes: a read, not an acknowledgement
        {'0', 54, &M::deleteArticle, Run, false},
        {'1', 32, &M::deleteRecord, Run, false},
        {'2', 26, &M::deleteRecord, Run, false},
        {'3', 33, &M::deleteRecord, Run, false},
        {'4', 33, &M::deleteRecord, Run, false},
        {'5', 53, &M::deleteRecord, Run, false},
        {'6', 31, &M::deleteRecord, Run, false},
        {'8', 14, &M::setPorts, One, true},
        {'9', 9, &M::queryPort, One, true},
        {':', 10, &M::dumpCache, One, false},
        {'C', 17, &M::setClock, One, false},
        {'D', 140, &M::programFooter, One, false},
        {'E', 23, &M::changeCurrency, One, false},
        {'F', 11, &M::readTable, One, false},
        {'F', 33, &M::programPaymentForm, Run, false},
        {'G', 11, &M::readTable, One, false},
        {'G', 31, &M::programGroup, Run, false},
        {'H', 30, &M::setPassword, One, false},
        {'I', 11, &M::readInformation, One, false},
        {'I', 25, &M::setNip, One, false},
        {'J', 11, &M::readUnits, One, false},
        {'K', 11, &M::readTable, One, false},
        {'K', 43, &M::programCashier, Run, false},
        {'L', 45, &M::programHalo, One, false},
        {'N', 11, &M::readHeader, One, false},
        {'N', 268, &M::programHeader, One, false},
        {'O', 13, &M::setFunctionKey, One, true},
        {'P', 11, &M::readVatRates, One, false},
        {'P', 31, &M::programVatRates, One, false},
        {'Q', 10, &M::probe, Out, false},
        {'R', 11, &M::readTable, One, false},
        {'R', 38, &M::programDiscount, Run, false},
        {'S', 11, &M::readQuickKeys, One, false},
        {'S', 44, &M::programQuickKey, Run, false},
        {'T', 11, &M::readTable, One, false},
        {'T', 77, &M::programArticle, Run, false}, // DUNO: without the unit byte
        {'T', 78, &M::programArticle, Run, false},
        {'W', 11, &M::readTable, One, false},
        {'W', 40, &M::programCurrency, Run, false},
        {'X', 11, &M::readSales, One, false},
        {'X', 14, &M::setSalesFunctionKey, One, false},
        {'Y', 11, &M::readSales, One, false},
        {'Z', 11, &M::readTable, One, false},
        {'Z', 58, &M::programPackaging, Run, false},
        {'a', 12, &M::reportOrder, One, false},
        {'b', 15, &M::reportOrder, One, false},
        {'c', 10, &M::prepareService, One, true},
        {'f', 12, &M::reportOrder, One, false},
        {'g', 12, &M::reportOrder, One, false},
        {'h', 10, &M::reportOrder, One, false},
        {'k', 12, &M::reportOrder, One, false},
        {'n', 10, &M::reportOrder, One, false},
        {'o', 19, &M::reportOrder, One, false},
        {'p', 15, &M::reportOrder, One, false},
        {'q', 18, &M::programUnits, One, false},
        {'r', 12, &M::reportOrder, One, false},
        {'s', 16, &M::reportOrder, One, false},
        {'t', 10, &M::reportOrder, One, false},
        {'v', 10, &M::reportOrder, One, false},
        {'w', 10, &M::reportOrder, One, false},
        {'z', 12, &M::reportOrder, One, false},
        {0xCB, 10, &M::clearSales, One, true},
    };
    constexpr auto before = [](const Command& a, const Command& b) {
        return a.code != b.code ? a.code < b.code : a.length < b.length;
    };
    static_assert(std::is_sorted(std::begin(commands), std::end(commands), before));
    const Command key{code, length, nullptr, One, false};
    const Command* at = std::lower_bound(std::begin(commands), std::end(commands), key, before);
    return at != std::end(commands) && at->code == code && at->length == length ? at : nullptr;
}

} // namespace emu
