#include "tustawieniatrans.h"

#include "app/appsession.h"
#include "app/connection.h"
#include "link/networkline.h"
#include "link/portmap.h"
#include "link/portscan.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char16_t* const BaudRates[] = {u"110",   u"300",    u"600",    u"1200",  u"2400",
                                     u"4800",  u"9600",   u"14400",  u"19200", u"38400",
                                     u"57600", u"115200", u"128000", u"256000"};
const QString NetworkChoice = portscan::NetworkEntry + QStringLiteral(" (TCP / RFC 2217)");
const QString BadNetworkAddress =
    QStringLiteral("Podaj adres sieciowy kasy w postaci tcp://HOST:PORT lub rfc2217://HOST:PORT "
                   "(w TLS: tls://HOST:PORT lub rfc2217+tls://HOST:PORT).");
const QString BadPin = QStringLiteral("Odcisk certyfikatu to 64 cyfry szesnastkowe skrótu "
                                      "SHA-256, pary rozdzielone dwukropkiem albo nie.");

const char16_t* const Parities[] = {u"Brak ", u"Nieparzyste", u"Parzyste", u"Znacznik", u"Odstęp"};

void addItems(QComboBox* box, std::initializer_list<const char16_t*> items)
{
    for (const char16_t* t : items)
        box->addItem(QString::fromUtf16(t));
}
} // namespace

TUstawieniaTrans::TUstawieniaTrans(AppSession& session, QWidget* parent)
    : TUstawieniaTrans(session, Link::instance(), parent)
{
}

TUstawieniaTrans::TUstawieniaTrans(AppSession& session, Link& link, QWidget* parent)
    : QDialog(parent), m_app(session), m_link(link)
{
    setWindowTitle(QStringLiteral("Parametry transmisji"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QFormLayout;
    CBNrPortu = new QComboBox(this);
    CBNrPortu->setMinimumWidth(220);
    top->addRow(QStringLiteral("Nr portu"), CBNrPortu);
    EAdresSieciowy = new QLineEdit(this);
    EAdresSieciowy->setPlaceholderText(QStringLiteral("tcp://HOST:PORT lub rfc2217://HOST:PORT"));
    EAdresSieciowy->setToolTip(
        QStringLiteral("Kasa za serwerem portu szeregowego (np. ser2net): tcp:// dla trybu "
                       "surowego TCP, rfc2217:// gdy serwer ustawia parametry linii zdalnie; "
                       "tls:// i rfc2217+tls:// to samo w szyfrowanym połączeniu TLS"));
    top->addRow(QStringLiteral("Adres sieciowy"), EAdresSieciowy);
    auto* certificate = new QHBoxLayout;
    ECertyfikat = new QLineEdit(this);
    ECertyfikat->setPlaceholderText(QStringLiteral("zaufane certyfikaty systemu"));
    ECertyfikat->setToolTip(QStringLiteral("Plik PEM z certyfikatem serwera TLS lub jego "
                                           "wystawcy; puste: zaufane certyfikaty systemu"));
    BWybierzCertyfikat = new QPushButton(QStringLiteral("…"), this);
    BWybierzCertyfikat->setAutoDefault(false);
    BWybierzCertyfikat->setFixedWidth(BWybierzCertyfikat->fontMetrics().height() * 2);
    certificate->addWidget(ECertyfikat, 1);
    certificate->addWidget(BWybierzCertyfikat);
    top->addRow(QStringLiteral("Certyfikat TLS"), certificate);
    EOdcisk = new QLineEdit(this);
    EOdcisk->setPlaceholderText(QStringLiteral("nieobowiązkowy, np. 7F:23:8A:…"));
    EOdcisk->setToolTip(QStringLiteral("Odcisk SHA-256 certyfikatu serwera TLS (openssl x509 "
                                       "-noout -fingerprint -sha256): przypięty certyfikat nie "
                                       "potrzebuje zaufanego wystawcy"));
    top->addRow(QStringLiteral("Odcisk certyfikatu"), EOdcisk);
    CBTylkoDostepne = new QCheckBox(QStringLiteral("Pokazuj tylko dostępne porty"), this);
    top->addRow(CBTylkoDostepne);
    layout->addLayout(top);

    GBUstawienia = new QGroupBox(QStringLiteral("Ustawienia portu szeregowego"), this);
    auto* form = new QFormLayout(GBUstawienia);
    CBPredkosc = new QComboBox(GBUstawienia);
    for (const char16_t* b : BaudRates)
        CBPredkosc->addItem(QString::fromUtf16(b));
    form->addRow(QStringLiteral("Liczba bitów na sekunde"), CBPredkosc);
    CBBityDanych = new QComboBox(GBUstawienia);
    addItems(CBBityDanych, {u"5", u"6", u"7", u"8"});
    form->addRow(QStringLiteral("Ilość bitów danych"), CBBityDanych);
    CBParzystosc = new QComboBox(GBUstawienia);
    for (const char16_t* p : Parities)
        CBParzystosc->addItem(QString::fromUtf16(p));
    form->addRow(QStringLiteral("Parzystość"), CBParzystosc);
    CBBityStopu = new QComboBox(GBUstawienia);
    addItems(CBBityStopu, {u"1", u"1.5", u"2"});
    form->addRow(QStringLiteral("Bity stopu"), CBBityStopu);
    auto* flow = new QHBoxLayout;
    CBXonXoff = new QCheckBox(QStringLiteral("Xon / Xoff"), GBUstawienia);
    CBRtsCts = new QCheckBox(QStringLiteral("RTS / CTS"), GBUstawienia);
    flow->addWidget(CBXonXoff);
    flow->addWidget(CBRtsCts);
    form->addRow(QStringLiteral("Sterowanie przepływem"), flow);
    layout->addWidget(GBUstawienia);

    auto* bottom = new QFormLayout;
    CBAdres = new QComboBox(this);
    addItems(CBAdres, {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"});
    bottom->addRow(QStringLiteral("Adres kasy"), CBAdres);
    CBSzybkie = new QCheckBox(QStringLiteral("Szybkie transmisje (odpowiedź kasy odczytywana "
                                             "zaraz po nadejściu)"),
                              this);
    bottom->addRow(CBSzybkie);
    layout->addLayout(bottom);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BZastosuj = new QPushButton(QStringLiteral("&Zastosuj"), this);
    BZamknij = new QPushButton(QStringLiteral("&Zamknij"), this);
    BZastosuj->setDefault(true);
    buttons->addWidget(BZastosuj);
    buttons->addWidget(BZamknij);
    layout->addLayout(buttons);

    // The values the dialog starts with; showing it loads the link state over them.
    CBPredkosc->setCurrentIndex(11); // 115200
    CBBityDanych->setCurrentIndex(3);
    CBParzystosc->setCurrentIndex(0);
    CBBityStopu->setCurrentIndex(0);
    // The dialog is built anew for every showing, so the address comes from the link (a
    // dialog kept between showings would still show the one last applied).
    CBAdres->setCurrentIndex(qBound(1, int(m_link.address), 9) - 1);
    fillAllPorts();

    connect(CBNrPortu, &QComboBox::currentIndexChanged, this, &TUstawieniaTrans::CBNrPortuChange);
    connect(CBTylkoDostepne, &QCheckBox::clicked, this, &TUstawieniaTrans::CBTylkoDostepneClick);
    connect(BZastosuj, &QPushButton::clicked, this, &TUstawieniaTrans::BZastosujClick);
    connect(BZamknij, &QPushButton::clicked, this, &QDialog::reject);
    connect(BWybierzCertyfikat, &QPushButton::clicked, this,
            &TUstawieniaTrans::BWybierzCertyfikatClick);
    connect(EAdresSieciowy, &QLineEdit::textChanged, this, &TUstawieniaTrans::enableSettings);
    chooseCertificate = [this](const QString& proposed) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Certyfikat serwera TLS"),
                                            proposed,
                                            QStringLiteral("Certyfikaty PEM (*.pem *.crt);;"
                                                           "Wszystkie pliki (*)"));
    };

    m_link.saveSettings();
    loadControls();
}

void TUstawieniaTrans::fillAllPorts()
{
    const QSignalBlocker block(CBNrPortu);
    CBNrPortu->clear();
    CBNrPortu->addItem(QStringLiteral("Brak"));
    for (int p = portscan::FirstPort; p <= portscan::LastPort; ++p)
        CBNrPortu->addItem(p == portscan::NetworkPort ? NetworkChoice : portscan::portLabel(p));
}

void TUstawieniaTrans::loadControls()
{
    {
        const QSignalBlocker block(CBNrPortu);
        // The entry of the port number; in the list of available ports it need not sit at the
        // position of its number.
        int position = 0;
        if (m_link.portChosen())
            for (int i = 1; i < CBNrPortu->count(); ++i)
                if (portscan::portFromEntry(CBNrPortu->itemText(i)) == m_link.port)
                    position = i;
        CBNrPortu->setCurrentIndex(position);
    }
    const int baud = CBPredkosc->findText(QString::number(m_link.line.baud), Qt::MatchExactly);
    if (baud >= 0)
        CBPredkosc->setCurrentIndex(baud);
    if (m_link.line.dataBits >= 5 && m_link.line.dataBits <= 8)
        CBBityDanych->setCurrentIndex(m_link.line.dataBits - 5);
    if (m_link.line.parity <= 4)
        CBParzystosc->setCurrentIndex(m_link.line.parity);
    if (m_link.line.stopBits <= 2)
        CBBityStopu->setCurrentIndex(m_link.line.stopBits);
    CBXonXoff->setChecked(m_link.line.xonXoff);
    CBRtsCts->setChecked(m_link.line.rtsCts);
    CBSzybkie->setChecked(m_app.fastTransfers());
    EAdresSieciowy->setText(portscan::networkAddress());
    ECertyfikat->setText(m_link.tls.caFile);
    EOdcisk->setText(m_link.tls.pin.isEmpty() ? QString() : tlsPinText(m_link.tls.pin));
    enableSettings();
}

void TUstawieniaTrans::enableSettings()
{
    const bool port = CBNrPortu->currentIndex() > 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{GBUstawienia, CBPredkosc, CBBityDanych, CBParzystosc,
                                         CBBityStopu, CBAdres, CBXonXoff, CBRtsCts})
        w->setEnabled(port);
    const bool network = portscan::portFromEntry(CBNrPortu->currentText()) == portscan::NetworkPort;
    EAdresSieciowy->setEnabled(network);
    const auto address = parseNetworkAddress(EAdresSieciowy->text().trimmed());
    const bool tls = network && address && address->tls;
    for (QWidget* w : std::initializer_list<QWidget*>{ECertyfikat, BWybierzCertyfikat, EOdcisk})
        w->setEnabled(tls);
}

void TUstawieniaTrans::BWybierzCertyfikatClick()
{
    const QString chosen = chooseCertificate(ECertyfikat->text().trimmed());
    if (!chosen.isEmpty())
        ECertyfikat->setText(chosen);
}

void TUstawieniaTrans::CBNrPortuChange()
{
    enableSettings();
}

void TUstawieniaTrans::CBTylkoDostepneClick()
{
    const QSignalBlocker block(CBNrPortu);
    if (CBTylkoDostepne->isChecked()) {
        const QList<int> ports = connection::listAvailablePorts(m_app, m_link);
        CBNrPortu->clear();
        CBNrPortu->addItem(QStringLiteral("Brak"));
        for (int p : ports)
            CBNrPortu->addItem(portscan::portLabel(p));
    } else {
        fillAllPorts();
    }
    CBNrPortu->setCurrentIndex(CBNrPortu->count() > 1 ? 1 : 0);
    enableSettings();
}

void TUstawieniaTrans::BZastosujClick()
{
    connection::setFastTransfers(m_app, m_link, CBSzybkie->isChecked());
    portscan::PortChoice choice;
    if (CBNrPortu->currentIndex() > 0)
        choice.port = portscan::portFromEntry(CBNrPortu->currentText());
    choice.line.baud = CBPredkosc->currentText().toUInt();
    choice.line.dataBits = quint8(CBBityDanych->currentIndex() + 5);
    choice.line.parity = quint8(CBParzystosc->currentIndex());
    choice.line.stopBits = quint8(CBBityStopu->currentIndex());
    choice.line.xonXoff = CBXonXoff->isChecked();
    choice.line.rtsCts = CBRtsCts->isChecked();
    choice.address = quint8(CBAdres->currentIndex() + 1);
    if (choice.port == portscan::NetworkPort) {
        choice.networkAddress = EAdresSieciowy->text().trimmed();
        if (!portmap::isNetworkAddress(choice.networkAddress)) {
            m_app.ui().showMessage(BadNetworkAddress, TransferUi::Icon::Warning);
            EAdresSieciowy->setFocus();
            return;
        }
        if (parseNetworkAddress(choice.networkAddress)->tls) {
            choice.tls.caFile = ECertyfikat->text().trimmed();
            if (!choice.tls.caFile.isEmpty() && !QFileInfo(choice.tls.caFile).isFile()) {
                m_app.ui().showMessage(QStringLiteral("Nie ma pliku certyfikatu ") +
                                           choice.tls.caFile + u'.',
                                       TransferUi::Icon::Warning);
                ECertyfikat->setFocus();
                return;
            }
            const QString pin = EOdcisk->text().trimmed();
            const std::optional<QByteArray> digest = parseTlsPin(pin);
            if (!pin.isEmpty() && !digest) {
                m_app.ui().showMessage(BadPin, TransferUi::Icon::Warning);
                EOdcisk->setFocus();
                return;
            }
            choice.tls.pin = digest.value_or(QByteArray());
        }
    }
    if (connection::applyPortSettings(m_app, m_link, choice) == portscan::ApplyOutcome::Failed) {
        loadControls();
        return;
    }
    accept();
}
