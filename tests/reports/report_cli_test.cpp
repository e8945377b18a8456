#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

Outcome vduno(const QStringList& args)
{
    QTemporaryDir temp;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TEMP"), temp.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VDUNO_BINARY), args);
    Outcome r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList args(std::initializer_list<const char*> list)
{
    QStringList l;
    for (const char* a : list)
        l << QString::fromLatin1(a);
    return l;
}

} // namespace

TEST(ReportCli, HelpListsEveryReport)
{
    const Outcome r = vduno(args({"report", "--help"}));
    EXPECT_EQ(r.exitCode, 0);
    for (const char* name :
         {"periodic", "sales", "inactive", "base-vat", "full-base", "cashier", "shift", "discounts",
          "packaging", "payment-forms", "groups", "fixed-texts", "vat-rates", "register-state",
          "quick-keys", "turnover"})
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(r.out.contains(QStringLiteral("Wykonywanie raportu obrotu grup towarowych")));
}

TEST(ReportCli, FramesOfTypicalOrders)
{
    struct Case {
        std::initializer_list<const char*> argv;
        const char* hex;
    };
    // Worked by hand: the check byte is the XOR of bytes 1..L-3.
    const Case cases[] = {
        // 2026 = ea 07; 01^13^00^01^80^6f^02^ff^ea^07^0b^ff^ff^ff^ff^ff = 0x18
        {{"report", "periodic", "--month", "2026-11", "--frame"},
         "02 01 13 00 01 80 6f 02 ff ea 07 0b ff ff ff ff ff 18 03"},
        // numbers 5-9, short: 01^13^00^01^00^6f^01^01^05^00^09^00^ff^ff^ff^ff = 0x70
        {{"report", "periodic", "--numbers", "5-9", "--short", "--frame"},
         "02 01 13 00 01 00 6f 01 01 05 00 09 00 ff ff ff ff 70 03"},
        // group 20: 01^10^00^01^00^73^02^14^ff^ff^ff^01^00 = 0x8b
        {{"report", "sales", "--group", "20", "--zeroing", "--frame"},
         "02 01 10 00 01 00 73 02 14 ff ff ff 01 00 8b 03"},
        // cashier 3 full: 01^0c^00^01^80^6b^03^00^01 = 0xe5
        {{"report", "cashier", "3", "--full", "--frame"}, "02 01 0c 00 01 80 6b 03 00 01 e5 03"},
        // 01^11^00^01^80^05^01^ea^07^06^ea^07^01^74 = 0xe6
        {{"report", "turnover", "--from", "2026-01", "--to", "2026-06", "--zero-records",
          "--frame"},
         "02 01 11 00 01 80 05 01 ea 07 06 ea 07 01 74 e6 03"},
    };
    for (const Case& c : cases) {
        QStringList a;
        for (const char* s : c.argv)
            a << QString::fromLatin1(s);
        const Outcome r = vduno(a);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), QString::fromLatin1(c.hex)) << a.join(u' ').toStdString();
    }
}

TEST(ReportCli, ChecksGiveTheFormsMessages)
{
    struct Case {
        std::initializer_list<const char*> argv;
        const char16_t* message;
    };
    const Case cases[] = {
        {{"report", "periodic", "--numbers", "6-5"},
         u"Raport końcowy musi mieć większy numer niż raport początkowy"},
        {{"report", "periodic", "--numbers", "0-5"},
         u"Numer raportu musi zawierać się w przedziale 1 - 2000"},
        {{"report", "periodic", "--month", "ab-2026"}, u"Błędna data"},
        {{"report", "sales", "--plu", "10-5"},
         u"Numer towaru początkowego nie może być większy niż numer towaru końcowego"},
        {{"report", "full-base", "--plu", "0-10"},
         u"Numery towarów muszą zawierać się w przedziale 1-2000"},
    };
    for (const Case& c : cases) {
        QStringList a;
        for (const char* s : c.argv)
            a << QString::fromLatin1(s);
        const Outcome r = vduno(a);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains(QString::fromUtf16(c.message))) << r.err.toStdString();
    }
}

TEST(ReportCli, OrderTakenByTheEmulator)
{
    const Outcome r = vduno(args({"--emulator", "report", "full-base", "--group", "3"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Wysłano: Wykonywanie pełnego raportu bazy PLU")));
    const Outcome s = vduno(args({"--emulator", "report", "quick-keys"}));
    EXPECT_EQ(s.exitCode, 0) << s.err.toStdString();
}
