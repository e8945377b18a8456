// vduno doctor: why no register answers. Lists the serial devices and names what keeps the
// program from them (group membership, brltty, ModemManager, a port held, a configured port
// with nothing behind it), each with what to do about it.
#include "command.h"

#include "app/portsettings.h"
#include "app/settingsplace.h"
#include "link/diagnosis.h"
#include "link/portmap.h"
#include "link/portscan.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QStringList details()
{
    return {
        QStringLiteral("Sprawdzany port to --port / --device, bez nich port zapisany w "
                       "ustawieniach programu (ustaw.cfg w ~/.config/Vorn Duno, a gdy go tam nie "
                       "ma, w bieżącym katalogu).")};
}

// The port to check: the link options, else what the program keeps in ustaw.cfg.
diagnosis::Configured configuredPort(const CliContext& context)
{
    if (!context.device.isEmpty())
        return {context.port >= 1 && context.port <= 99 ? context.port : portscan::NetworkPort,
                context.device};
    if (context.port >= 1 && context.port <= 99)
        return {context.port, portmap::devicePath(context.port)};
    // Where the window program keeps it, else where its earlier versions left it.
    QString directory = settingsplace::programDirectory();
    if (directory.isEmpty() || !QFileInfo::exists(QDir(directory).filePath(settingsfile::FileName)))
        directory = QDir::currentPath();
    const PortSettings stored = settingsfile::read(directory);
    if (stored.port == PortSettings::NoPort)
        return {};
    const bool network = stored.port == portscan::NetworkPort && !stored.networkAddress.isEmpty();
    return {stored.port, network ? stored.networkAddress : portmap::devicePath(stored.port)};
}

QJsonObject deviceJson(const diagnosis::Device& d)
{
    return QJsonObject{
        {QStringLiteral("name"), d.name},
        {QStringLiteral("path"), d.path},
        {QStringLiteral("byId"), d.byId},
        {QStringLiteral("driver"), d.driver},
        {QStringLiteral("vendorId"), d.vendorId},
        {QStringLiteral("productId"), d.productId},
        {QStringLiteral("product"), d.product},
        {QStringLiteral("group"), d.group},
        {QStringLiteral("mode"), QStringLiteral("0%1").arg(d.mode, 3, 8, QLatin1Char('0'))},
        {QStringLiteral("com"), d.com},
    };
}

void printJson(const diagnosis::Report& report)
{
    QJsonArray devices;
    for (const diagnosis::Device& d : report.devices)
        devices.append(deviceJson(d));
    QJsonArray findings;
    for (const diagnosis::Finding& f : report.findings)
        findings.append(QJsonObject{{QStringLiteral("problem"), diagnosis::problemName(f.problem)},
                                    {QStringLiteral("text"), f.text},
                                    {QStringLiteral("remedy"), f.remedy}});
    cli::outJson(QJsonDocument(
        QJsonObject{{QStringLiteral("devices"), devices}, {QStringLiteral("findings"), findings}}));
}

void printText(const diagnosis::Report& report)
{
    cli::out(QStringLiteral("Porty szeregowe:"));
    if (report.devices.isEmpty())
        cli::out(QStringLiteral("  (brak)"));
    for (const diagnosis::Device& d : report.devices) {
        const QString com = d.com ? QStringLiteral("COM%1").arg(d.com) : QStringLiteral("-");
        QStringList line{QStringLiteral("  ") + com.leftJustified(6), d.path, d.driver};
        if (!d.usbId().isEmpty())
            line << d.usbId() + (d.product.isEmpty() ? QString() : QLatin1Char(' ') + d.product);
        line << QStringLiteral("grupa ") + d.group + QLatin1Char(' ') +
                    serialdevices::modeText(d.mode);
        cli::out(line.join(QStringLiteral("  ")));
        if (!d.byId.isEmpty())
            cli::out(QStringLiteral("          /dev/serial/by-id/") + d.byId);
    }
    cli::out(QString());
    if (report.findings.isEmpty()) {
        cli::out(diagnosis::NothingWrong);
        return;
    }
    cli::out(QStringLiteral("Znalezione problemy:"));
    for (qsizetype i = 0; i < report.findings.size(); ++i) {
        const diagnosis::Finding& f = report.findings[i];
        cli::out(QStringLiteral("%1. ").arg(i + 1) + f.text);
        for (const QString& line : f.remedy.split(QLatin1Char('\n')))
            cli::out(QStringLiteral("   ") + line);
    }
}

int runDoctor(const CliArgs& parsed, CliContext& context)
{
    const QString root = parsed.value(QStringLiteral("root"));
    // On a chain every register would get the same answer about this computer.
    if (!parsed.positional.isEmpty() || context.link)
        return cli::usage(context);
    const diagnosis::Roots roots =
        root.isNull() ? diagnosis::Roots{} : diagnosis::Roots::under(root);
    const diagnosis::Report report =
        diagnosis::run(roots, diagnosis::User::ofProcess(), configuredPort(context));
    if (context.json)
        printJson(report);
    else
        printText(report);
    return report.findings.isEmpty() ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(doctor, {"doctor",
                       CommandGroup::Register,
                       "",
                       "diagnostyka łącza, gdy kasa nie odpowiada (porty, uprawnienia, brltty, "
                       "ModemManager)",
                       {{"root", "KATALOG",
                         "(do testów) czyta KATALOG/sys, /proc, /dev i /etc zamiast systemowych"}},
                       {"doctor", "--device /dev/ttyUSB0 doctor --json"},
                       runDoctor,
                       details})
