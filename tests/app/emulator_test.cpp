#include "app/forms/tmenuglowne.h"
#include "app/instancelock.h"
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#include "fakeui.h"
#include "link/portmap.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every port number points at a path that does not exist, except the emulator's.
struct EmulatedPorts {
    explicit EmulatedPorts(emu::Model model, int port) : reg(model, 1), host(reg)
    {
        reg.fillDemo(20);
        started = host.start();
        for (int n = 1; n <= 99; ++n)
            portmap::setPortOverride(n, QStringLiteral("/nonexistent/vduno-test-port"));
        portmap::setPortOverride(port, host.devicePath());
    }
    ~EmulatedPorts() { portmap::clearPortOverrides(); }
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    bool started = false;
};

QProcessEnvironment childEnvironment(const QString& runtimeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    // A working copy of its own: unsaved changes left in the shared temporary directory by
    // another copy would make the program ask about them before anything else.
    env.insert(QStringLiteral("TEMP"), runtimeDir);
    // Its settings of its own too, never the user's.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtimeDir);
    return env;
}

} // namespace

TEST(MainWindowAgainstEmulator, QuickSearchFindsAndDetectsBothModels)
{
    for (auto [model, label] :
         {std::pair{emu::Model::DunoBis, "DUNO BIS"}, std::pair{emu::Model::Duno, "DUNO"}}) {
        EmulatedPorts ports(model, 7);
        ASSERT_TRUE(ports.started);
        QTemporaryDir dir;
        FakeUi ui;
        Link link;
        TMenuGlowne w(ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")), nullptr, &link);
        w.show();
        ASSERT_TRUE(w.automaticSearch()) << ui.messages.join(u'\n').toStdString();
        EXPECT_EQ(link.port, 7);
        EXPECT_EQ(w.operatingState(), OperatingState::OnlineWithDatabase);
        EXPECT_EQ(w.typeLabel()->text(), QString::fromLatin1(label));
        EXPECT_TRUE(w.statusOnline()->isVisible());
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u'\n').toStdString();
        link.closePort();
    }
}

TEST(Program, SecondCopyIsRefused)
{
    QTemporaryDir runtime;
    QTemporaryDir work;
    // The first copy, as far as the second can tell: the lock in the user's runtime directory.
    InstanceLock first(runtime.path());
    ASSERT_TRUE(first.acquire());
    QProcess second;
    second.setProcessEnvironment(childEnvironment(runtime.path()));
    second.setWorkingDirectory(work.path());
    second.start(QStringLiteral(VORN_DUNO_PATH), {QStringLiteral("--emulator")});
    ASSERT_TRUE(second.waitForStarted(10000));
    // It says so and shows its message box; it never gets as far as the emulator or the window.
    QByteArray err;
    for (int i = 0; i < 100 && !err.contains("już działa"); ++i) {
        second.waitForReadyRead(100);
        err += second.readAllStandardError();
    }
    EXPECT_TRUE(err.contains("Błąd! Próbujesz uruchomić program, który już działa. "))
        << err.constData();
    EXPECT_FALSE(second.readAllStandardOutput().contains("Emulator kasy"));
    second.kill();
    second.waitForFinished(5000);
    EXPECT_FALSE(QFile::exists(QDir(work.path()).filePath(QStringLiteral("ustaw.cfg"))));
}

TEST(Program, EmulatorOptionConnectsAndSavesAPicture)
{
    QTemporaryDir runtime;
    QTemporaryDir work;
    const QString picture = QDir(work.path()).filePath(QStringLiteral("okno.png"));
    // Settings an earlier version left in the start directory: taken over once into the
    // user's configuration directory, and the start directory left as it was.
    const QByteArray settings("\x03\x00\x07\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 14);
    {
        QFile cfg(QDir(work.path()).filePath(QStringLiteral("ustaw.cfg")));
        ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
        cfg.write(settings);
        QFile recent(QDir(work.path()).filePath(QStringLiteral("ostatnie.txt")));
        ASSERT_TRUE(recent.open(QIODevice::WriteOnly));
        recent.write("/sklep/baza.vkf\n");
    }
    QProcess program;
    program.setProcessEnvironment(childEnvironment(runtime.path()));
    program.setWorkingDirectory(work.path());
    program.start(QStringLiteral(VORN_DUNO_PATH),
                  {QStringLiteral("--emulator"), QStringLiteral("--emulator-model"),
                   QStringLiteral("duno"), QStringLiteral("--screenshot"), picture});
    ASSERT_TRUE(program.waitForFinished(120000));
    const QByteArray out = program.readAllStandardOutput();
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().constData();
    EXPECT_TRUE(out.contains("Emulator kasy DUNO: COM ")) << out.constData();
    QFile png(picture);
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.read(8).startsWith("\x89PNG"));
    const QDir config(QDir(runtime.path()).filePath(QStringLiteral("Vorn Duno")));
    for (const auto& [name, bytes] : {std::pair{"ustaw.cfg", settings},
                                      std::pair{"ostatnie.txt", QByteArray("/sklep/baza.vkf\n")}}) {
        QFile taken(config.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(taken.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(taken.readAll(), bytes) << name;
        QFile left(QDir(work.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(left.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(left.readAll(), bytes) << name;
    }
}

TEST(Program, WrongOptionIsRefused)
{
    QProcess program;
    program.start(QStringLiteral(VORN_DUNO_PATH),
                  {QStringLiteral("--emulator-model"), QStringLiteral("duno-ter")});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("duno-ter"));
}
