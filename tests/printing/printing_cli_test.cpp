#include "printing/keyboard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out, err;
};

CliRun vduno(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VDUNO_EXE), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// A saved version-2 database with articles 1..count, each with a 13-digit barcode.
QString writeDatabase(const QTemporaryDir& dir, int count)
{
    QByteArray db(205000, '\0');
    db.replace(0, 16, "VORN_DUNO_V_2_00");
    for (int n = 1; n <= count; ++n) {
        const int at = 5000 + 68 * (n - 1);
        db[at] = char(n & 0xFF);
        db[at + 1] = char(n >> 8);
        const QByteArray name = "Towar " + QByteArray::number(n);
        db.replace(at + 2, name.size(), name);
        db[at + 44] = 'A';
        const QByteArray code = QByteArray::number(5900000000000LL + n);
        db.replace(at + 49, 13, code);
    }
    const QString path = dir.filePath(QStringLiteral("baza.vkf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(db);
    return path;
}

int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    if (!pdf.startsWith("%PDF"))
        return -1;
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
               pdf.count("/Type /Page "));
}

} // namespace

TEST(PrintingCli, LabelsPageCount)
{
    QTemporaryDir dir;
    const QString db = writeDatabase(dir, 12);
    const QString pdf = dir.filePath(QStringLiteral("etykiety.pdf"));
    struct Case {
        QStringList extra;
        QString numbers;
        int labels, pages;
    };
    // A4 at 600 dpi: 20 mm bars take eight labels a page, 70 mm bars three.
    const Case cases[] = {
        {{}, QStringLiteral("1-9"), 9, 2},
        {{}, QStringLiteral("1-8"), 8, 1},
        {{QStringLiteral("--height"), QStringLiteral("70")}, QStringLiteral("1-9"), 9, 3},
        {{QStringLiteral("--height"), QStringLiteral("70")}, QStringLiteral("2,4,100"), 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.numbers.toStdString());
        QFile::remove(pdf);
        const CliRun r =
            vduno(QStringList{QStringLiteral("labels"), db, QStringLiteral("--numbers"), c.numbers,
                              QStringLiteral("--pdf"), pdf} +
                  c.extra);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(pdfPages(pdf), c.pages);
        EXPECT_TRUE(
            r.out.contains(QStringLiteral("Etykiety: %1, strony: %2").arg(c.labels).arg(c.pages)))
            << r.out.toStdString();
    }
}

TEST(PrintingCli, LabelsFailures)
{
    QTemporaryDir dir;
    const QString db = writeDatabase(dir, 3);
    const QString pdf = dir.filePath(QStringLiteral("x.pdf"));
    const QString usage = QStringLiteral(
        "Użycie: vduno labels PLIK.vkf --numbers LISTA --pdf WYJŚCIE.pdf [--height MM]");
    struct Case {
        QStringList args;
        int exitCode;
        QString message;
    };
    const QString bad = dir.filePath(QStringLiteral("zla.vkf"));
    {
        QFile f(bad);
        f.open(QIODevice::WriteOnly);
        f.write("nie baza");
    }
    const Case cases[] = {
        {{db, QStringLiteral("--pdf"), pdf}, 2, usage},
        {{db, QStringLiteral("--numbers"), QStringLiteral("1")}, 2, usage},
        {{db, QStringLiteral("--numbers"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf,
          QStringLiteral("--height"), QStringLiteral("4")},
         2,
         QStringLiteral("Wysokość kodu musi być liczbą z przedziału 5-70 mm.")},
        {{db, QStringLiteral("--numbers"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf,
          QStringLiteral("--height"), QStringLiteral("71")},
         2,
         QStringLiteral("Wysokość kodu musi być liczbą z przedziału 5-70 mm.")},
        {{db, QStringLiteral("--numbers"), QStringLiteral("0-3"), QStringLiteral("--pdf"), pdf},
         2,
         QStringLiteral("Błędna lista numerów towarów (np. 1,5,10-20, numery 1-2000).")},
        {{db, QStringLiteral("--numbers"), QStringLiteral("abc"), QStringLiteral("--pdf"), pdf},
         2,
         QStringLiteral("Błędna lista numerów towarów (np. 1,5,10-20, numery 1-2000).")},
        {{db, QStringLiteral("--numbers"), QStringLiteral("50-60"), QStringLiteral("--pdf"), pdf},
         1,
         QStringLiteral("Brak zaznaczonych towarów do wydrukowania")},
        {{bad, QStringLiteral("--numbers"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf},
         1,
         QStringLiteral("Plik nie jest bazą danych kasy w bieżącym formacie: ") + bad},
        {{dir.filePath(QStringLiteral("brak.vkf")), QStringLiteral("--numbers"),
          QStringLiteral("1"), QStringLiteral("--pdf"), pdf},
         1,
         QStringLiteral("Nie można otworzyć pliku ") + dir.filePath(QStringLiteral("brak.vkf"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = vduno(QStringList{QStringLiteral("labels")} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

TEST(PrintingCli, KeyboardTemplate)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("klawiatura.pdf"));
    CliRun r = vduno({QStringLiteral("keyboard"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(pdf), 1);

    keyboard::Design d = keyboard::defaultDesign();
    d.keys[0].middle = QStringLiteral("KAWA");
    const QString design = dir.filePath(QStringLiteral("sklep.json"));
    ASSERT_EQ(keyboard::save(design, d), QString());
    QFile::remove(pdf);
    r = vduno({QStringLiteral("keyboard"), QStringLiteral("--pdf"), pdf, QStringLiteral("--design"),
               design});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(pdf), 1);

    QFile::remove(pdf);
    QFile f(design);
    f.open(QIODevice::WriteOnly);
    f.write("{}");
    f.close();
    r = vduno({QStringLiteral("keyboard"), QStringLiteral("--pdf"), pdf, QStringLiteral("--design"),
               design});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Plik nie zawiera szablonu klawiatury.")));
    EXPECT_FALSE(QFile::exists(pdf));

    r = vduno({QStringLiteral("keyboard")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("Użycie: vduno keyboard --pdf WYJŚCIE.pdf [--design PLIK]")));
}

// A PDF that cannot be written whole (the disk full at 4 KiB) leaves the earlier file of that
// name as it was, and nothing beside it.
TEST(PrintingCli, FailedPdfWriteKeepsTheEarlierFile)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("klawiatura.pdf"));
    {
        QFile earlier(pdf);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit full{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &full);
    });
    p.start(QStringLiteral(VDUNO_EXE), {QStringLiteral("keyboard"), QStringLiteral("--pdf"), pdf});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError())
                    .contains(QStringLiteral("Błąd zapisu pliku ") + pdf));
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("klawiatura.pdf")});
}
