#include "app/instancelock.h"
#include "app/polishui.h"
#include "app/settingsplace.h"
#include "common/cp1250.h"
#include "forms/guitransferui.h"
#include "forms/tmenuglowne.h"
#include "link/link.h"
#include "link/portmap.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#ifndef VDUNO_VERSION
#define VDUNO_VERSION "0"
#endif

#include <cstdio>
#include <memory>

#ifdef VDUNO_HAS_EMULATOR
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#endif

namespace {

struct Options {
    bool emulator = false;
    bool dunoModel = false;
    QString screenshot; // developer option: connect, save a picture of the window, end
};

void printLine(FILE* to, const QString& text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), to);
    std::fflush(to);
}

enum class Parsed { Run, Done, Wrong };

// Done after --help or --version, Wrong on wrong usage (the message is printed).
Parsed parseOptions(const QStringList& args, Options& options)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool takesValue =
            a == QLatin1String("--emulator-model") || a == QLatin1String("--screenshot");
        if (takesValue && i + 1 == args.size()) {
            printLine(stderr, QStringLiteral("Brak wartości opcji ") + a);
            return Parsed::Wrong;
        }
        if (a == QLatin1String("--emulator")) {
            options.emulator = true;
        } else if (a == QLatin1String("--emulator-model") && i + 1 < args.size()) {
            const QString model = args[++i];
            if (model != QLatin1String("duno") && model != QLatin1String("duno-bis")) {
                printLine(stderr, QStringLiteral("Nieznany model kasy: ") + model);
                return Parsed::Wrong;
            }
            options.dunoModel = model == QLatin1String("duno");
        } else if (a == QLatin1String("--screenshot") && i + 1 < args.size()) {
            options.screenshot = args[++i];
        } else if (a == QLatin1String("--help")) {
            printLine(stdout, QStringLiteral(
                                  "Użycie: vorn-duno [--emulator [--emulator-model duno|duno-bis]] "
                                  "[--screenshot PLIK]\n"
                                  "       vorn-duno --version | --help\n"
                                  "  --emulator          wbudowany emulator kasy z przykładową "
                                  "zawartością\n"
                                  "  --emulator-model M  duno | duno-bis (domyślnie duno-bis)\n"
                                  "  --screenshot PLIK   łączy się z kasą, zapisuje obraz okna i "
                                  "kończy\n"
                                  "  --version           wersja programu\n"
                                  "  --help              ta pomoc"));
            return Parsed::Done;
        } else if (a == QLatin1String("--version")) {
            printLine(stdout, QStringLiteral("vorn-duno " VDUNO_VERSION));
            return Parsed::Done;
        } else {
            printLine(stderr, QStringLiteral("Nieznana opcja: ") + a +
                                  QStringLiteral("\nWięcej: vorn-duno --help"));
            return Parsed::Wrong;
        }
    }
    return Parsed::Run;
}

// The lowest COM number without a device of its own, for the emulator.
int freePortNumber()
{
    for (int n = 1; n <= 99; ++n) {
        const QString path = portmap::devicePath(n);
        if (path.isEmpty() || !QFileInfo::exists(path))
            return n;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Before the application object, so that --help and --version need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    if (const Parsed parsed = parseOptions(arguments, options); parsed != Parsed::Run)
        return parsed == Parsed::Done ? 0 : 2;

    // Before the application object, whose platform start-up would warn without it.
    InstanceLock::prepareRuntimeDirectory();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorn Duno"));
    // No application display name: the platform would append it to every window title,
    // and the main window's title already begins with it.
    installPolishTranslations(app);
    if (!cp1250::available()) {
        printLine(stderr, cp1250::missingMessage());
        QMessageBox::critical(nullptr, QStringLiteral("Vorn Duno"), cp1250::missingMessage());
        return 1;
    }

    InstanceLock lock;
    if (!lock.acquire()) {
        printLine(stderr, InstanceLock::SecondCopyMessage);
        QMessageBox::critical(nullptr, QStringLiteral("Vorn Duno"),
                              InstanceLock::SecondCopyMessage);
        return 1;
    }

#ifdef VDUNO_HAS_EMULATOR
    // A register with demo content on a pseudo-terminal. Its host answers from a thread of
    // its own, so it keeps talking while the window blocks in a serial read.
    std::unique_ptr<emu::RegisterModel> emulatedRegister;
    std::unique_ptr<emu::EmulatorHost> emulatorHost;
    if (options.emulator) {
        emulatedRegister = std::make_unique<emu::RegisterModel>(
            options.dunoModel ? emu::Model::Duno : emu::Model::DunoBis, 1);
        emulatedRegister->fillDemo();
        emulatorHost = std::make_unique<emu::EmulatorHost>(*emulatedRegister);
        QString error;
        const int port = freePortNumber();
        if (port == 0 || !emulatorHost->start(&error)) {
            printLine(stderr, QStringLiteral("Nie mogę uruchomić emulatora kasy: ") + error);
            return 1;
        }
        portmap::setPortOverride(port, emulatorHost->devicePath());
        printLine(stdout,
                  QStringLiteral("Emulator kasy %1: COM %2 (%3)")
                      .arg(options.dunoModel ? QStringLiteral("DUNO") : QStringLiteral("DUNO BIS"))
                      .arg(port)
                      .arg(emulatorHost->devicePath()));
    }
#else
    if (options.emulator) {
        printLine(stderr, QStringLiteral("Ta wersja programu nie zawiera emulatora kasy."));
        return 2;
    }
#endif

    QLabel splash(QStringLiteral("Trwa uruchamianie programu..."));
    splash.setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    splash.setAlignment(Qt::AlignCenter);
    splash.setMinimumSize(360, 120);
    splash.show();
    QApplication::processEvents();

    GuiTransferUi ui;
    const settingsplace::Place settings = settingsplace::prepare(QDir::currentPath());
    TMenuGlowne window(ui, QDir::currentPath(), QString(), nullptr, nullptr, settings.directory);
    ui.setParent(&window);
    // A read from a silent register lets the window repaint and take a stop meanwhile.
    Link::instance().idle = [&ui] { ui.whileLineWaits(); };
    splash.close();
    window.show();
    if (!settings.problem.isEmpty())
        ui.showMessage(settings.problem, TransferUi::Icon::Warning);

    if (options.emulator && options.screenshot.isEmpty()) {
        // With the built-in register the program connects at once, as the connect button does.
        QTimer::singleShot(200, &window, [&window] { window.automaticSearch(); });
    }
    if (!options.screenshot.isEmpty()) {
        QTimer::singleShot(200, &window, [&] {
            window.automaticSearch();
            QApplication::processEvents();
            const bool saved = window.grab().save(options.screenshot);
            printLine(saved ? stdout : stderr,
                      (saved ? QStringLiteral("Zapisano ") : QStringLiteral("Nie zapisano ")) +
                          options.screenshot);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    const int code = QApplication::exec();
    Link::instance().idle = {};
    return code;
}
