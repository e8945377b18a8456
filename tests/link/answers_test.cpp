#include "link/answers.h"
#include "link/frame.h"

#include <gtest/gtest.h>

#include "fakeline.h"
#include "fakeui.h"

namespace {

// A register frame of the given length with the check byte computed here.
QByteArray regFrame(int length, int sequence, int code, QByteArray data, bool goodCheck = true)
{
    QByteArray f(length, '\0');
    f[0] = 2;
    f[1] = 1;
    f[2] = char(length);
    f[4] = char(sequence & 0xFF);
    f[5] = char(sequence >> 8);
    f[6] = char(code);
    f.replace(7, data.size(), data);
    char x = 0;
    for (int i = 1; i <= length - 3; ++i)
        x ^= f[i];
    f[length - 2] = goodCheck ? x : char(x ^ 0x55);
    f[length - 1] = 3;
    return f;
}
// The frame with one byte changed and its check byte made right again for its length.
QByteArray withByte(QByteArray f, int at, int value)
{
    f[at] = char(value);
    char x = 0;
    for (int i = 1; i <= f.size() - 3; ++i)
        x ^= f[i];
    f[f.size() - 2] = x;
    return f;
}
QByteArray status(int s)
{
    return regFrame(10, 1, 'A', bytes({s}));
}
QByteArray ack(int code, bool good = true)
{
    return regFrame(10, 1, 6, bytes({code}), good);
}
QByteArray ourAck(int code)
{
    return regFrame(10, 1, 6, bytes({code}));
}

struct Fixture {
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    Fixture()
    {
        link.port = 1;
        link.openPort(ui, true);
    }
};

} // namespace

TEST(Answers, DeviceErrorTable)
{
    EXPECT_EQ(answers::deviceErrorMessage(90),
              QStringLiteral("Błąd 90: Niepasująca nazwa rekordu"));
    EXPECT_EQ(answers::deviceErrorText(0), QStringLiteral("Nierozpoznany kod rozkazu"));
    EXPECT_EQ(answers::deviceErrorText(111),
              QStringLiteral("Brak grupy towarowej o podanym numerze"));
    EXPECT_EQ(answers::deviceErrorText(11),
              QStringLiteral("Zła wartość parametru „Cena stała” (dozwolone 0 lub 1)"));
    int filled = 0;
    for (int code = 0; code < 120; ++code)
        filled += answers::deviceErrorText(code).isEmpty() ? 0 : 1;
    EXPECT_EQ(filled, 107);
    for (int code : {79, 81, 94, 95, 102, 112, 119, 120, 255})
        EXPECT_TRUE(answers::deviceErrorText(code).isEmpty()) << code;
    EXPECT_EQ(answers::deviceErrorMessage(200), QStringLiteral("Błąd 200: "));
}

TEST(Answers, ReadAnswerBranches)
{
    struct Case {
        const char* name;
        QByteArray answer;
        int length;
        int result;
        QStringList messages;
        QByteArray ackSent;
        bool stop = false;
    };
    const QByteArray data20 = regFrame(20, 0x8003, 'K', QByteArray(11, 'x'));
    const Case cases[] = {
        {"empty base", status(0x10), 20, 3, {QStringLiteral("Pusta baza.")}, {}},
        {"zero sales", status(0x40), 20, 3, {QStringLiteral("Zerowa wartość sprzedaży.")}, {}},
        {"error frame",
         regFrame(11, 1, 'A', bytes({0, 90})),
         20,
         3,
         {QStringLiteral("Błąd 90: Niepasująca nazwa rekordu")},
         {}},
        {"short", data20.left(15), 20, 3, {QStringLiteral("Brak komunikacji.")}, {}},
        {"bad check",
         regFrame(20, 0x8003, 'K', QByteArray(11, 'x'), false),
         20,
         0,
         {QStringLiteral("CRC kasy: %1 CRC PC: %2")
              .arg(quint8(regFrame(20, 0x8003, 'K', QByteArray(11, 'x'), false)[18]))
              .arg(quint8(data20[18])),
          QStringLiteral("Błąd CRC!")},
         {}},
        // Frames that pass the check byte but are no frame of the length asked for.
        {"wrong start byte",
         withByte(data20, 0, 0x7F),
         20,
         3,
         {QStringLiteral("Brak komunikacji.")},
         {}},
        {"wrong end byte",
         withByte(data20, 19, 0x55),
         20,
         3,
         {QStringLiteral("Brak komunikacji.")},
         {}},
        {"wrong length field",
         withByte(data20, 2, 21),
         20,
         3,
         {QStringLiteral("Brak komunikacji.")},
         {}},
        {"length field high byte",
         withByte(data20, 3, 1),
         20,
         3,
         {QStringLiteral("Brak komunikacji.")},
         {}},
        {"last", data20, 20, 2, {}, ourAck(3)},
        {"more", regFrame(20, 0x0003, 'K', QByteArray(11, 'x')), 20, 1, {}, ourAck(0)},
        {"stopped", regFrame(20, 0x0003, 'K', QByteArray(11, 'x')), 20, 2, {}, ourAck(4), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.link.stopRequest = c.stop;
        f.script.reads << c.answer;
        EXPECT_EQ(answers::readAnswer(f.link, f.ui, c.length), c.result);
        EXPECT_EQ(f.ui.messages, c.messages);
        EXPECT_EQ(f.script.written, c.ackSent);
    }
}

TEST(Answers, ConfirmationWaitBranches)
{
    struct Case {
        const char* name;
        QList<QByteArray> reads;
        int result;
        bool report;
        QStringList messages;
    };
    const QByteArray error = regFrame(11, 1, 'A', bytes({0, 66}));
    const Case cases[] = {
        {"nothing", {}, 4, false, {}},
        {"too little", {ack(0).left(9)}, 4, false, {}},
        {"busy", {status(0x08)}, 6, false, {}},
        // Acknowledgements 0 and 3 are taken without their check byte, but only as whole
        // frames.
        {"ack 0 bad check", {ack(0, false)}, 0, false, {}},
        {"ack 3 bad check", {ack(3, false)}, 3, false, {}},
        {"ack 0 wrong start byte", {withByte(ack(0), 0, 0)}, 4, false, {}},
        {"ack 3 wrong end byte", {withByte(ack(3), 9, 0)}, 4, false, {}},
        {"report ack 0 wrong start byte", {withByte(ack(0), 0, 0)}, 4, true, {}},
        {"report completion malformed ack",
         {status(0x04), withByte(ack(0), 9, 0), {}, {}},
         4,
         true,
         {}},
        {"ack 1", {ack(1)}, 1, false, {}},
        {"ack 2", {ack(2)}, 2, false, {}},
        {"ack 1 bad check", {ack(1, false)}, 4, false, {}},
        {"ack 2 bad check", {ack(2, false)}, 4, false, {}},
        {"unexpected", {regFrame(10, 1, 'Q', bytes({0}))}, 4, false, {}},
        {"error frame", {error.left(10), error.mid(10)}, 5, false, {}},
        {"report error frame",
         {error.left(10)},
         5,
         true,
         {QStringLiteral("Błąd 66: Towar pod podanym numerem nie istnieje")}},
        {"report ack 0", {ack(0)}, 0, true, {}},
        {"report busy", {status(0x08)}, 6, true, {}},
        {"report completion done", {status(0x04), {}, status(0x04), ack(0)}, 3, true, {}},
        {"report completion not done", {status(0x04), {}, status(0x04), {}}, 4, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.script.reads = c.reads;
        const int r = c.report ? answers::reportConfirmationWait(f.link, f.ui)
                               : answers::confirmationWait(f.link, f.ui);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(f.ui.messages, c.messages);
        EXPECT_TRUE(f.script.reads.isEmpty());
    }
    Fixture f;
    f.script.reads = {error.left(10), error.mid(10)};
    EXPECT_EQ(answers::confirmationWait(f.link, f.ui), 5);
    EXPECT_EQ(f.link.at(8), 66);
    EXPECT_EQ(f.link.at(10), 3); // the eleventh byte was read
}

TEST(Answers, PaperOut)
{
    struct Case {
        const char* name;
        QList<TransferUi::Answer> answers;
        QByteArray then;
        bool report;
        int result;
    };
    using A = TransferUi::Answer;
    const Case cases[] = {
        {"yes ack 0", {A::Yes}, ack(0), false, 0},
        {"yes ack 3", {A::Yes}, ack(3), false, 3},
        {"yes other", {A::Yes}, ack(1), false, 4},
        {"report yes ack 0", {A::Yes}, ack(0), true, 4},
        {"report yes ack 3", {A::Yes}, ack(3), true, 3},
        {"asked again after cancel", {A::Cancel, A::Yes}, ack(0), false, 0},
        {"yes ack 0 wrong start byte", {A::Yes}, withByte(ack(0), 0, 0), false, 4},
        {"yes ack 3 wrong end byte", {A::Yes}, withByte(ack(3), 9, 0), false, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.ui.answers = c.answers;
        f.script.reads = {status(0x02), c.then};
        const int r = c.report ? answers::reportConfirmationWait(f.link, f.ui)
                               : answers::confirmationWait(f.link, f.ui);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(f.ui.questions.size(), c.answers.size());
        EXPECT_EQ(f.ui.questions.first(), QStringLiteral("Brak papieru! Kontynuować?"));
        EXPECT_EQ(f.ui.titles, QStringList(c.answers.size(), QStringLiteral("UWAGA!")));
        EXPECT_TRUE(f.script.written.isEmpty());
    }
    Fixture f;
    f.ui.answers = {TransferUi::Answer::No};
    f.script.reads = {status(0x02)};
    EXPECT_EQ(answers::confirmationWait(f.link, f.ui), 8);
    EXPECT_EQ(f.script.written, ourAck(4));
    EXPECT_EQ(f.ui.messages,
              QStringList{QStringLiteral("Komunikacja przerwana przez użytkownika.")});
}

TEST(Answers, CompletionWaitEndsOnSecondShortRead)
{
    Fixture f;
    f.script.reads = {status(0x04), {}, status(0x04), status(0x04), {}, ack(0)};
    EXPECT_FALSE(answers::completionWait(f.link, f.ui));
    EXPECT_EQ(f.ui.waits, (QList<int>{200, 200, 200, 200, 200}));
    EXPECT_EQ(f.script.reads.size(), 1);
}

TEST(Answers, CompletionWaitEndsOnAck)
{
    Fixture f;
    f.script.reads = {status(0x04), ack(3)};
    EXPECT_TRUE(answers::completionWait(f.link, f.ui));
}

TEST(Answers, ProbeAndTypeDetection)
{
    Fixture f;
    f.script.reads = {status(0x00)};
    EXPECT_TRUE(answers::probe(f.link, f.ui));
    EXPECT_EQ(f.script.written,
              bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x80, 0x51, 0x00, 0xDB, 0x03}));
    EXPECT_FALSE(answers::probe(f.link, f.ui));
    // Noise with "A" where a status frame has it is no register.
    for (const QByteArray& noise : {regFrame(10, 1, 'A', bytes({0}), false),
                                    withByte(status(0), 0, 0x55), withByte(status(0), 9, 0)}) {
        f.script.reads = {noise};
        EXPECT_FALSE(answers::probe(f.link, f.ui));
    }

    const QByteArray bis = regFrame(124, 0x8001, 'I', bytes({200}));
    const QByteArray duno = regFrame(115, 0x8001, 'I', bytes({100}));
    Fixture g;
    g.script.reads = {{}, bis.left(4), bis.mid(4)};
    EXPECT_EQ(answers::detectRegisterType(g.link, g.ui), 2);
    g.script.reads = {{}, duno.left(4), duno.mid(4)};
    EXPECT_EQ(answers::detectRegisterType(g.link, g.ui), 1);
    g.script.reads = {{}, status(0x08).left(4)};
    EXPECT_EQ(answers::detectRegisterType(g.link, g.ui), 0);
}
