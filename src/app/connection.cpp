#include "connection.h"

#include "link/answers.h"

namespace connection {

namespace {
void call(const std::function<void()>& f)
{
    if (f)
        f();
}
} // namespace

bool automaticSearch(AppSession& app, Link& link, const SearchHooks& hooks)
{
    return automaticSearch(app, link, app.ui(), hooks);
}

bool automaticSearch(AppSession& app, Link& link, TransferUi& run, const SearchHooks& hooks)
{
    call(hooks.showPanel);
    app.setState(opstate::portClosedByScan(app.state()));
    QList<portscan::HeldPort> held;
    const int port = portscan::quickSearch(link, run, hooks.trying, &held);
    if (port == 0) {
        QString message = portscan::NothingFound;
        for (const portscan::HeldPort& h : held)
            message += QLatin1Char('\n') + portscan::heldEntry(h);
        if (!run.stopRequested() && hooks.nothingFound)
            hooks.nothingFound(message);
        else if (!run.stopRequested())
            app.ui().showMessage(message, TransferUi::Icon::Warning);
        call(hooks.hidePanel);
        call(hooks.refresh);
        return false;
    }
    app.setState(opstate::portOpened(app.state()));
    call(hooks.refresh);
    call(hooks.hidePanel);
    detectRegisterType(app, link);
    call(hooks.refresh);
    return true;
}

void detectRegisterType(AppSession& app, Link& link)
{
    switch (answers::detectRegisterType(link, app.ui())) {
    case 1:
        app.setRegisterType(RegisterType::Duno);
        break;
    case 2:
        app.setRegisterType(RegisterType::DunoBis);
        break;
    default:
        app.setRegisterType(RegisterType::Unknown);
        break;
    }
}

RegisterType requireRegisterType(AppSession& app, Link& link)
{
    if (app.registerType() == RegisterType::Unknown && link.isOpen())
        detectRegisterType(app, link);
    if (app.registerType() == RegisterType::Unknown)
        app.ui().showMessage(UnknownRegisterType, TransferUi::Icon::Error);
    return app.registerType();
}

bool connectWithStoredSettings(AppSession& app, Link& link)
{
    if (!link.portChosen()) {
        app.ui().showMessage(NoPortChosen, TransferUi::Icon::Warning);
        return false;
    }
    if (link.isOpen())
        return true;
    if (link.openPort(app.ui(), true) != 0) {
        if (!link.isOpen())
            app.setState(opstate::portClosedByScan(app.state()));
        return false;
    }
    app.setState(opstate::portOpened(app.state()));
    detectRegisterType(app, link);
    return true;
}

portscan::ApplyOutcome applyPortSettings(AppSession& app, Link& link,
                                         const portscan::PortChoice& choice)
{
    const portscan::ApplyOutcome outcome = portscan::applySettings(link, app.ui(), choice);
    switch (outcome) {
    case portscan::ApplyOutcome::NoPortChosen:
        app.setState(opstate::portClosedByScan(app.state()));
        break;
    case portscan::ApplyOutcome::Opened:
        app.setState(opstate::portOpened(app.state()));
        detectRegisterType(app, link);
        break;
    case portscan::ApplyOutcome::Failed:
        // The previous port may have opened again; the state stays as it was, unless nothing
        // is open any more.
        if (!link.isOpen())
            app.setState(opstate::portClosedByScan(app.state()));
        break;
    }
    return outcome;
}

QList<int> listAvailablePorts(AppSession& app, Link& link)
{
    link.closePort();
    app.setState(opstate::portClosedByScan(app.state()));
    return portscan::availablePorts(link, app.ui());
}

portscan::ScanResult
scanRegisters(AppSession& app, Link& link,
              const std::function<void(int address, int port, int done, int total)>& showing)
{
    return scanRegisters(app, link, app.ui(), showing);
}

portscan::ScanResult
scanRegisters(AppSession& app, Link& link, TransferUi& run,
              const std::function<void(int address, int port, int done, int total)>& showing)
{
    const OperatingState held = app.state();
    app.setState(opstate::portClosedByScan(held));
    const portscan::ScanResult result = portscan::registerScan(link, run, showing);
    app.setState(result.previousPortReopened ? held : opstate::portClosedByScan(held));
    return result;
}

bool connectFoundRegister(AppSession& app, Link& link, const portscan::FoundRegister& found)
{
    if (!portscan::connectFound(link, app.ui(), found)) {
        app.setState(opstate::portClosedByScan(app.state()));
        return false;
    }
    app.setState(opstate::portOpened(app.state()));
    detectRegisterType(app, link);
    return true;
}

void setFastTransfers(AppSession& app, Link& link, bool fast)
{
    app.setFastTransfers(fast);
    link.fastTransfers = fast;
}

void loadSettings(const PortSettings& settings, AppSession& app, Link& link)
{
    link.closePort();
    link.port = settings.port == PortSettings::NoPort ? Link::NoPort : int(settings.port);
    link.line.baud = settings.baud;
    link.line.dataBits = settings.dataBits;
    link.line.parity = settings.parity;
    link.line.stopBits = settings.stopBits;
    link.line.xonXoff = settings.xonXoff != 0;
    link.line.rtsCts = settings.rtsCts != 0;
    link.address = 1;
    setFastTransfers(app, link, settings.fastTransfers());
    portscan::setNetworkAddress(settings.networkAddress);
    link.tls = settings.tls;
}

PortSettings currentSettings(const PortSettings& kept, const AppSession& app, const Link& link)
{
    PortSettings s = kept;
    s.port = link.portChosen() ? quint8(link.port) : PortSettings::NoPort;
    s.baud = link.line.baud;
    s.dataBits = link.line.dataBits;
    s.parity = link.line.parity;
    s.stopBits = link.line.stopBits;
    s.xonXoff = link.line.xonXoff ? 1 : 0;
    s.rtsCts = link.line.rtsCts ? 1 : 0;
    s.setFastTransfers(app.fastTransfers());
    s.networkAddress = portscan::networkAddress();
    s.tls = s.networkAddress.isEmpty() ? TlsTrust{} : link.tls;
    return s;
}

} // namespace connection
