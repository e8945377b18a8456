// A register behind a serial device server, set up as a person does it: "Parametry
// transmisji" from the main window's menu, the network entry with its address, "&Zastosuj";
// then the program closed and started again, connecting with the stored settings. The
// register is the emulator's TCP host speaking RFC 2217, reached through the real network
// line; the program's own user interface shows the messages.

#include "app/forms/guitransferui.h"
#include "app/forms/tmenuglowne.h"
#include "emulator/registermodel.h"
#include "emulator/tcphost.h"
#include "emulator/tlsfront.h"
#include "link/forms/tustawieniatrans.h"
#include "link/link.h"
#include "link/portmap.h"
#include "person.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

namespace {

// COM-PORT option command codes the program sends (the server answers with code + 100).
constexpr int SetBaudRate = 1;

// The ports of this machine are out of the way, as if it had none.
void noSerialPorts()
{
    portmap::clearPortOverrides();
    for (int n = 1; n <= 98; ++n)
        portmap::setPortOverride(n, QStringLiteral("/nonexistent/vduno-test-port"));
}

QAction* menuAction(TMenuGlowne& window, const QString& text)
{
    const auto actions = window.menuBar()->findChildren<QAction*>();
    for (QAction* a : actions)
        if (a->text() == text)
            return a;
    return nullptr;
}

std::unique_ptr<TMenuGlowne> startProgram(GuiTransferUi& ui, const QTemporaryDir& dir)
{
    auto window =
        std::make_unique<TMenuGlowne>(ui, dir.path(), dir.filePath(QStringLiteral("BDTemp.bdt")));
    ui.setParent(window.get());
    window->show();
    return window;
}

} // namespace

TEST(NetworkPortInTheProgram, ChosenInThePortDialogKeptAndConnectedAgainAfterARestart)
{
    emu::RegisterModel reg(emu::Model::Duno, 1);
    emu::TcpHost host(reg, {}, true);
    ASSERT_TRUE(host.start());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    noSerialPorts();
    Person person;
    {
        GuiTransferUi ui;
        auto window = startProgram(ui, dir);
        QAction* settings = menuAction(*window, QStringLiteral("Parametry transmisji"));
        ASSERT_NE(settings, nullptr);
        bool shown = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* dialog = qobject_cast<TUstawieniaTrans*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shown = true;
            const int network =
                dialog->CBNrPortu->findText(QStringLiteral("Sieć (TCP / RFC 2217)"));
            ASSERT_GT(network, 0);
            EXPECT_FALSE(dialog->EAdresSieciowy->isEnabled());
            dialog->CBNrPortu->setCurrentIndex(network);
            EXPECT_TRUE(dialog->EAdresSieciowy->isEnabled());
            dialog->EAdresSieciowy->setText(host.address());
            dialog->BZastosuj->click();
        });
        settings->trigger();
        ASSERT_TRUE(shown);
        EXPECT_TRUE(person.seen.isEmpty()) << person.seen.join(u'\n').toStdString();
        EXPECT_EQ(window->operatingState(), OperatingState::OnlineWithDatabase);
        EXPECT_EQ(window->registerType(), RegisterType::Duno);
        window->close();
    }
    // Closing keeps the 14 bytes as they always were, with the network port's number, and
    // the address beside them.
    QFile cfg(QDir(dir.path()).filePath(QStringLiteral("ustaw.cfg")));
    ASSERT_TRUE(cfg.open(QIODevice::ReadOnly));
    const QByteArray bytes = cfg.readAll();
    ASSERT_EQ(bytes.size(), 14);
    EXPECT_EQ(quint8(bytes[1]), 99);
    QFile side(QDir(dir.path()).filePath(QStringLiteral("ustaw.net")));
    ASSERT_TRUE(side.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(side.readAll()).trimmed(), host.address());

    // Started again: "Połącz z kasą używając ostatnich ustawień" reaches the same register.
    noSerialPorts();
    {
        GuiTransferUi ui;
        auto window = startProgram(ui, dir);
        EXPECT_EQ(window->operatingState(), OperatingState::OfflineWithDatabase);
        QAction* connect =
            menuAction(*window, QStringLiteral("Połącz z kasą używając ostatnich ustawień"));
        ASSERT_NE(connect, nullptr);
        connect->trigger();
        EXPECT_TRUE(person.seen.isEmpty()) << person.seen.join(u'\n').toStdString();
        EXPECT_EQ(window->operatingState(), OperatingState::OnlineWithDatabase);
        EXPECT_EQ(window->registerType(), RegisterType::Duno);
        window->close();
    }
    EXPECT_EQ(host.connections(), 2);
    // The host keeps the commands of its latest client: the program started again set the
    // line remotely too.
    int baudRequests = 0;
    for (const auto& request : host.comPortRequests())
        baudRequests += request.first == SetBaudRate;
    EXPECT_EQ(baudRequests, 1);
    Link::instance().closePort();
    portmap::clearPortOverrides();
}

// The same behind TLS: the dialog's certificate file trusts the server's certificate. Without
// it the system's store does not, and the person is told so before anything reaches the
// register; with it the register answers, and after a restart the stored settings reach it
// again through TLS.
TEST(NetworkPortInTheProgram, TlsPortTrustedByTheCertificateFileOfTheDialog)
{
    emu::RegisterModel reg(emu::Model::Duno, 1);
    emu::TcpHost host(reg, {}, true);
    ASSERT_TRUE(host.start());
    emu::TlsFront front(host.port());
    const QString tls = QStringLiteral(VDUNO_TLS_DATA);
    ASSERT_TRUE(
        front.load(tls + QStringLiteral("/server.pem"), tls + QStringLiteral("/server.key")));
    ASSERT_TRUE(front.start());
    const QString ca = tls + QStringLiteral("/ca.pem");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    noSerialPorts();
    Person person;
    auto applyInDialog = [&](TMenuGlowne& window, const QString& certificate) {
        QAction* settings = menuAction(window, QStringLiteral("Parametry transmisji"));
        ASSERT_NE(settings, nullptr);
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<TUstawieniaTrans*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->CBNrPortu->setCurrentIndex(
                dialog->CBNrPortu->findText(QStringLiteral("Sieć (TCP / RFC 2217)")));
            dialog->EAdresSieciowy->setText(QStringLiteral("tcp://127.0.0.1:1"));
            EXPECT_FALSE(dialog->ECertyfikat->isEnabled()) << "a plain address has no certificate";
            dialog->EAdresSieciowy->setText(front.address(true));
            EXPECT_TRUE(dialog->ECertyfikat->isEnabled());
            dialog->ECertyfikat->setText(certificate);
            dialog->BZastosuj->click();
            if (auto* still = qobject_cast<TUstawieniaTrans*>(QApplication::activeModalWidget()))
                still->BZamknij->click();
        });
        settings->trigger();
    };
    {
        GuiTransferUi ui;
        auto window = startProgram(ui, dir);
        applyInDialog(*window, QString());
        ASSERT_EQ(person.seen.size(), 1) << person.seen.join(u'\n').toStdString();
        EXPECT_TRUE(person.seen.first().contains(QStringLiteral(
            "Certyfikat serwera nie jest zaufany: jego wystawcy („Vorn Duno test CA”) nie ma")))
            << person.seen.first().toStdString();
        EXPECT_EQ(host.connections(), 0) << "the register heard from the program";
        person.seen.clear();
        applyInDialog(*window, ca);
        EXPECT_TRUE(person.seen.isEmpty()) << person.seen.join(u'\n').toStdString();
        EXPECT_EQ(window->operatingState(), OperatingState::OnlineWithDatabase);
        EXPECT_EQ(window->registerType(), RegisterType::Duno);
        window->close();
    }
    QFile side(QDir(dir.path()).filePath(QStringLiteral("ustaw.net")));
    ASSERT_TRUE(side.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(side.readAll()),
              front.address(true) + QStringLiteral("\nca=") + ca + u'\n');

    noSerialPorts();
    Link::instance().tls = {};
    {
        GuiTransferUi ui;
        auto window = startProgram(ui, dir);
        QAction* connect =
            menuAction(*window, QStringLiteral("Połącz z kasą używając ostatnich ustawień"));
        ASSERT_NE(connect, nullptr);
        connect->trigger();
        EXPECT_TRUE(person.seen.isEmpty()) << person.seen.join(u'\n').toStdString();
        EXPECT_EQ(window->operatingState(), OperatingState::OnlineWithDatabase);
        window->close();
    }
    EXPECT_EQ(host.connections(), 2);
    Link::instance().closePort();
    Link::instance().tls = {};
    portmap::clearPortOverrides();
}
