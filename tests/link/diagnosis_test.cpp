#include "link/diagnosis.h"

#include "fakehosttree.h"

#include <QStringList>

#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

using diagnosis::Problem;

namespace {

const QString Ch340Id = QStringLiteral("usb-1a86_USB_Serial-if00-port0");
const QString Ft232Id = QStringLiteral("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");

void ch340(FakeHostTree& t)
{
    t.usbTty(QStringLiteral("ttyUSB0"), QStringLiteral("ch341-uart"), QStringLiteral("1a86"),
             QStringLiteral("7523"), QStringLiteral("USB Serial"), Ch340Id);
}
void ft232(FakeHostTree& t)
{
    t.usbTty(QStringLiteral("ttyUSB0"), QStringLiteral("ftdi_sio"), QStringLiteral("0403"),
             QStringLiteral("6001"), QStringLiteral("FT232R USB UART"), Ft232Id);
}
void registerOnAcm(FakeHostTree& t)
{
    t.usbTty(QStringLiteral("ttyACM0"), QStringLiteral("cdc_acm"), QStringLiteral("2fe3"),
             QStringLiteral("0100"), QStringLiteral("Vorn Duno"));
}
void brltty(FakeHostTree& t)
{
    t.process(812, "brltty");
    t.file(QStringLiteral("usr/lib/udev/rules.d/85-brltty.rules"),
           "ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\", "
           "RUN+=\"/bin/systemctl start brltty-device@%p.service\"\n");
}
void modemManager(FakeHostTree& t)
{
    t.process(640, "ModemManager");
}
// The kernel's reserved on-board ports, present on every computer.
void reservedPorts(FakeHostTree& t)
{
    for (int n = 0; n < 4; ++n)
        t.onBoard(QStringLiteral("ttyS%1").arg(n), 0);
}

// One line per device with everything the listing tells of it.
QString summary(const diagnosis::Device& d)
{
    return QStringList{
        d.name,  QStringLiteral("COM%1").arg(d.com), d.driver, d.usbId(), d.product, d.byId,
        d.group, QString::number(d.mode, 8)}
        .join(QLatin1Char('|'));
}

// What every finding of a kind must tell, whatever the case.
QStringList mustTell(Problem p)
{
    switch (p) {
    case Problem::NotInGroup:
        return {QStringLiteral("dialout"), QStringLiteral("newgrp dialout")};
    case Problem::Brltty:
        return {QStringLiteral("  sudo systemctl stop brltty-udev.service brltty.service"),
                QStringLiteral("  sudo systemctl mask brltty-udev.service"),
                QStringLiteral("  sudo apt remove brltty"),
                QStringLiteral("/usr/lib/udev/rules.d/85-brltty.rules")};
    case Problem::ModemManager:
        return {QStringLiteral("  ATTRS{idVendor}==\"2fe3\", ATTRS{idProduct}==\"0100\", "
                               "ENV{ID_MM_DEVICE_IGNORE}=\"1\""),
                QStringLiteral("/etc/udev/rules.d/99-vorn-duno.rules"),
                QStringLiteral("  sudo udevadm control --reload"), QStringLiteral("/dev/ttyACM0")};
    case Problem::NoSerialPort:
        return {QStringLiteral("Nie znaleziono żadnego portu szeregowego."),
                QStringLiteral("dmesg")};
    case Problem::NoDevice:
        return {QStringLiteral("COM")};
    default:
        return {};
    }
}

struct Case {
    const char* name;
    std::function<void(FakeHostTree&)> build;
    bool inDialout;
    QList<Problem> problems;
    QStringList devices;       // summary() of each device listed
    QStringList mentions = {}; // further texts the findings must hold
    diagnosis::Configured configured = {};
};

const QString Ch340Line =
    QStringLiteral("ttyUSB0|COM33|ch341-uart|1a86:7523|USB Serial|%1|dialout|660").arg(Ch340Id);
const QString Ft232Line =
    QStringLiteral("ttyUSB0|COM33|ftdi_sio|0403:6001|FT232R USB UART|%1|dialout|660").arg(Ft232Id);
const QString AcmLine = QStringLiteral("ttyACM0|COM65|cdc_acm|2fe3:0100|Vorn Duno||dialout|660");

const Case Cases[] = {
    {"BrlttyWithCh340",
     [](FakeHostTree& t) {
         ch340(t);
         brltty(t);
     },
     true,
     {Problem::Brltty},
     {Ch340Line},
     {QStringLiteral("/dev/ttyUSB0 (USB Serial, 1a86:7523)"), QStringLiteral("proces 812")}},
    {"BrlttyTookTheAdapter",
     brltty,
     true,
     {Problem::Brltty, Problem::NoSerialPort},
     {},
     {QStringLiteral("mógł już zostać zabrany")}},
    {"ModemManagerWithAcm",
     [](FakeHostTree& t) {
         registerOnAcm(t);
         modemManager(t);
     },
     true,
     {Problem::ModemManager},
     {AcmLine},
     {QStringLiteral("proces 640")}},
    {"ModemManagerAlreadyTold",
     [](FakeHostTree& t) {
         registerOnAcm(t);
         modemManager(t);
         t.file(QStringLiteral("etc/udev/rules.d/99-vorn-duno.rules"),
                "ATTRS{idVendor}==\"2fe3\", ATTRS{idProduct}==\"0100\", "
                "ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n");
     },
     true,
     {},
     {AcmLine}},
    {"OutsideDialout",
     ft232,
     false,
     {Problem::NotInGroup},
     {Ft232Line},
     {QStringLiteral("  sudo usermod -aG dialout kasjer"), QStringLiteral("/dev/ttyUSB0")}},
    {"AddedToDialoutNotLoggedInAgain",
     [](FakeHostTree& t) {
         ft232(t);
         t.groupOfNodes(QStringLiteral("dialout"), QStringLiteral("anna,kasjer"));
     },
     false,
     {Problem::NotInGroup},
     {Ft232Line},
     {QStringLiteral("jest już w grupie dialout"), QStringLiteral("Wyloguj się")}},
    {"AllThreeAtOnce",
     [](FakeHostTree& t) {
         ch340(t);
         registerOnAcm(t);
         brltty(t);
         modemManager(t);
     },
     false,
     {Problem::NotInGroup, Problem::Brltty, Problem::ModemManager},
     {Ch340Line, AcmLine},
     {QStringLiteral("  sudo usermod -aG dialout kasjer"),
      QStringLiteral("/dev/ttyUSB0, /dev/ttyACM0")}},
    {"CleanFt232",
     [](FakeHostTree& t) {
         // A real UART on COM1 beside the reserved ports; brltty's rules without brltty
         // running, and ModemManager with no CDC device, take nothing.
         reservedPorts(t);
         t.onBoard(QStringLiteral("ttyS0"), 4);
         ft232(t);
         brltty(t);
         QFile::remove(t.path(QStringLiteral("proc/812/comm")));
         modemManager(t);
     },
     true,
     {},
     {QStringLiteral("ttyS0|COM1|serial8250||||dialout|660"), Ft232Line}},
    {"NoDeviceAtAll", reservedPorts, true, {Problem::NoSerialPort}, {}},
    {"NoDeviceAndOutsideDialout",
     reservedPorts,
     false,
     // The reserved ports' nodes tell the group a plugged device would get.
     {Problem::NotInGroup, Problem::NoSerialPort},
     {},
     {QStringLiteral("/dev/ttyS0, /dev/ttyS1, /dev/ttyS2, /dev/ttyS3")}},
    {"PortHeldByAnotherProgram",
     [](FakeHostTree& t) {
         ft232(t);
         // Process numbers above the kernel's highest, so that none is the test's own.
         t.holder(4194400, "minicom", QStringLiteral("ttyUSB0"));
     },
     true,
     {Problem::PortHeld},
     {Ft232Line},
     {QStringLiteral("Port /dev/ttyUSB0 jest otwarty przez inny program: minicom (PID 4194400)."),
      QStringLiteral("  kill 4194400")}},
    {"ConfiguredPortHasNoDevice",
     ft232,
     true,
     {Problem::NoDevice},
     {Ft232Line},
     {QStringLiteral("Wybrany port COM34 to /dev/ttyUSB1")},
     {34, {}}},
};

class Diagnosis : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(Diagnosis, NamesEveryProblemWithItsRemedy)
{
    const Case& c = GetParam();
    FakeHostTree tree;
    ASSERT_TRUE(tree.dir.isValid());
    tree.groupOfNodes(QStringLiteral("dialout"), QStringLiteral("anna"));
    c.build(tree);
    // Someone else than the owner of the nodes, in their group or not.
    diagnosis::User user;
    user.uid = tree.nodeUid() + 1000;
    user.gid = tree.nodeGid() + 1;
    user.name = QStringLiteral("kasjer");
    if (c.inDialout)
        user.groups = {tree.nodeGid()};

    const diagnosis::Report report =
        diagnosis::run(diagnosis::Roots::under(tree.dir.path()), user, c.configured);

    QStringList devices;
    for (const diagnosis::Device& d : report.devices)
        devices << summary(d);
    EXPECT_EQ(devices, c.devices);
    QList<Problem> problems;
    QString all;
    for (const diagnosis::Finding& f : report.findings) {
        problems << f.problem;
        all += f.text + QLatin1Char('\n') + f.remedy + QLatin1Char('\n');
        EXPECT_FALSE(f.text.isEmpty());
        EXPECT_FALSE(f.remedy.isEmpty());
        for (const QString& t : mustTell(f.problem))
            EXPECT_TRUE(QString(f.text + f.remedy).contains(t)) << t.toStdString();
    }
    EXPECT_EQ(problems, c.problems);
    for (const QString& m : c.mentions)
        EXPECT_TRUE(all.contains(m)) << m.toStdString() << "\n" << all.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Trees, Diagnosis, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

// A register behind a serial device server: a server that refuses is named, one that
// answers is not, and no serial port of this computer is missed.
TEST(DiagnosisNetwork, ServerThatRefusesIsNamed)
{
    FakeHostTree tree;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), size), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size), 0);
    const QString address = QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(a.sin_port));
    const diagnosis::Roots roots = diagnosis::Roots::under(tree.dir.path());
    const diagnosis::User root; // uid 0 may open anything

    // Bound but not listening: the connection is refused at once.
    diagnosis::Report r = diagnosis::run(roots, root, {99, address});
    ASSERT_EQ(r.findings.size(), 1);
    EXPECT_EQ(r.findings[0].problem, Problem::NoServer);
    EXPECT_TRUE(r.findings[0].text.contains(address + QStringLiteral(", wybrany jako port COM99, "
                                                                     "odmówił")));

    ASSERT_EQ(::listen(fd, 1), 0);
    r = diagnosis::run(roots, root, {99, address});
    EXPECT_TRUE(r.findings.isEmpty());
    ::close(fd);
}
