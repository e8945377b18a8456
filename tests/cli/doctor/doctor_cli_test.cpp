#include "../../link/fakehosttree.h"
#include "app/portsettings.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
};

// The built vduno in a directory of its own (no ustaw.cfg there), as the user who owns the
// tree's device nodes, with a configuration directory of its own (`config`, else empty).
Outcome doctor(const QStringList& args, const QString& root, const QString& config = {})
{
    QTemporaryDir cwd;
    QProcess p;
    p.setWorkingDirectory(cwd.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.isEmpty() ? cwd.path() : config);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VDUNO_BINARY), QStringList{args} << QStringLiteral("--root") << root);
    Outcome r;
    if (!p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

struct Tree : FakeHostTree {
    Tree()
    {
        groupOfNodes(QStringLiteral("dialout"), QString());
        usbTty(QStringLiteral("ttyUSB0"), QStringLiteral("ch341-uart"), QStringLiteral("1a86"),
               QStringLiteral("7523"), QStringLiteral("USB Serial"),
               QStringLiteral("usb-1a86_USB_Serial-if00-port0"));
    }
    void brltty()
    {
        process(812, "brltty");
        file(QStringLiteral("usr/lib/udev/rules.d/85-brltty.rules"), "RUN+=\"brltty\"\n");
    }
};

} // namespace

TEST(VdunoDoctor, TextAndExitStatus)
{
    Tree tree;
    Outcome r = doctor({QStringLiteral("doctor")}, tree.dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("COM33   /dev/ttyUSB0  ch341-uart  1a86:7523 USB "
                                              "Serial  grupa dialout rw-rw----")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Nie znaleziono problemów z łączem.")));

    tree.brltty();
    r = doctor({QStringLiteral("doctor")}, tree.dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Znalezione problemy:\n1. Działa brltty")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n     sudo systemctl mask brltty-udev.service\n")));

    // Wrong usage.
    EXPECT_EQ(doctor({QStringLiteral("doctor"), QStringLiteral("extra")}, tree.dir.path()).exitCode,
              2);
}

TEST(VdunoDoctor, JsonWithTheChosenPort)
{
    Tree tree;
    tree.brltty();
    // COM34 is /dev/ttyUSB1, which this computer does not have.
    const Outcome r = doctor({QStringLiteral("--port"), QStringLiteral("34"),
                              QStringLiteral("doctor"), QStringLiteral("--json")},
                             tree.dir.path());
    EXPECT_EQ(r.exitCode, 1);
    const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonArray devices = doc[QStringLiteral("devices")].toArray();
    ASSERT_EQ(devices.size(), 1);
    const QJsonObject d = devices[0].toObject();
    EXPECT_EQ(d[QStringLiteral("path")].toString(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(d[QStringLiteral("com")].toInt(), 33);
    EXPECT_EQ(d[QStringLiteral("driver")].toString(), QStringLiteral("ch341-uart"));
    EXPECT_EQ(d[QStringLiteral("vendorId")].toString(), QStringLiteral("1a86"));
    EXPECT_EQ(d[QStringLiteral("mode")].toString(), QStringLiteral("0660"));
    QStringList problems;
    for (const QJsonValue& f : doc[QStringLiteral("findings")].toArray()) {
        problems << f[QStringLiteral("problem")].toString();
        EXPECT_FALSE(f[QStringLiteral("remedy")].toString().isEmpty());
    }
    EXPECT_EQ(problems, (QStringList{QStringLiteral("brltty"), QStringLiteral("no-device")}));
    EXPECT_TRUE(doc[QStringLiteral("findings")][1][QStringLiteral("text")].toString().contains(
        QStringLiteral("COM34 to /dev/ttyUSB1")));
}

// Without --port or --device the port checked is the one the window program keeps in its
// configuration directory, wherever vduno is started.
TEST(VdunoDoctor, StoredPortFromTheProgramsSettings)
{
    Tree tree;
    QTemporaryDir config;
    const QString place = config.filePath(QStringLiteral("Vorn Duno"));
    ASSERT_TRUE(QDir().mkpath(place));
    PortSettings stored;
    stored.port = 34; // /dev/ttyUSB1, which the pretend computer has not got
    ASSERT_TRUE(settingsfile::write(place, stored));
    const Outcome r = doctor({QStringLiteral("doctor"), QStringLiteral("--json")}, tree.dir.path(),
                             config.path());
    EXPECT_EQ(r.exitCode, 1);
    const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
    ASSERT_EQ(doc[QStringLiteral("findings")].toArray().size(), 1) << r.out.toStdString();
    EXPECT_EQ(doc[QStringLiteral("findings")][0][QStringLiteral("problem")].toString(),
              QStringLiteral("no-device"));
    EXPECT_TRUE(doc[QStringLiteral("findings")][0][QStringLiteral("text")].toString().contains(
        QStringLiteral("COM34 to /dev/ttyUSB1")));
}
