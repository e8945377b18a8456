// Every wait and read of the register's answers fed arbitrary bytes from the line.
#include "link/answers.h"
#include "link/link.h"
#include "scriptedline.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    uint8_t next() { return pos < size ? data[pos++] : 0; }
    size_t left() const { return size - pos; }
};

// A line that delivers the rest of the input as the register's bytes, a few at a time.
class ByteLine : public ScriptedLine {
public:
    explicit ByteLine(Input& in) : m_in(in) {}
    WriteResult write(QByteArrayView bytes) override { return {true, false, bytes.size(), 0}; }
    qint64 read(char* into, qint64 count) override
    {
        const qint64 n = qMin<qint64>(count, qint64(m_in.left()));
        if (n > 0)
            std::memcpy(into, m_in.data + m_in.pos, size_t(n));
        m_in.pos += size_t(n);
        return n;
    }

private:
    Input& m_in;
};

// Answers questions from the input and keeps a clock that only moves when waited on.
class FuzzUi : public TransferUi {
public:
    explicit FuzzUi(Input& in) : m_in(in) {}
    void showMessage(const QString&, Icon) override {}
    Answer ask(const QString&, Buttons, Icon, const QString&) override
    {
        return Answer(m_in.next() % 3);
    }
    void waitMs(int ms) override { m_now += ms; }
    qint64 nowMs() const override { return m_now; }
    bool stopRequested() const override { return ++m_polls > 100000; }
    bool waitForLine(const std::function<bool()>& clear) override { return clear(); }

private:
    Input& m_in;
    qint64 m_now = 0;
    mutable int m_polls = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in{data, size};
    const uint8_t op = in.next();
    const uint8_t arg = in.next();
    FuzzUi ui(in);
    Link link([&in] { return std::make_unique<ByteLine>(in); });
    link.port = 1;
    if (link.openPort(ui, false) != 0)
        return 0;
    switch (op % 9) {
    case 0:
        answers::readAnswer(link, ui, 1 + arg % 255);
        break;
    case 1:
        answers::confirmationWait(link, ui);
        break;
    case 2:
        answers::reportConfirmationWait(link, ui);
        break;
    case 3:
        answers::completionWait(link, ui);
        break;
    case 4:
        answers::paperOutQuestion(link, ui);
        break;
    case 5:
        answers::probe(link, ui);
        break;
    case 6:
        answers::detectRegisterType(link, ui);
        break;
    case 7:
        link.drainInput(ui);
        break;
    default:
        // A read of a whole table: frames until the line has nothing more to say.
        for (int i = 0; i < 64 && in.left() > 0; ++i)
            if (answers::readAnswer(link, ui, 1 + arg % 255) != answers::More)
                break;
        break;
    }
    return 0;
}
