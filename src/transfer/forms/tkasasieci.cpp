#include "tkasasieci.h"

#include "app/forms/formparts.h"
#include "common/transferui.h"
#include "transfer/chain/registerentry.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TKasaSieci::TKasaSieci(TransferUi& ui, QWidget* parent) : QDialog(parent), m_ui(ui)
{
    setObjectName(QStringLiteral("TKasaSieci"));
    setWindowTitle(QStringLiteral("Kasa sieci sklepów"));
    auto* top = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    Nazwa = new QLineEdit(this);
    Nazwa->setObjectName(QStringLiteral("Nazwa"));
    fields->addRow(QStringLiteral("Nazwa kasy:"), Nazwa);

    Port = new QComboBox(this);
    Port->setObjectName(QStringLiteral("Port"));
    Port->setEditable(true);
    // The usual ones to start from; a device path or a device server's address is typed.
    for (int n = 1; n <= 8; ++n)
        Port->addItem(QStringLiteral("COM") + QString::number(n));
    Port->addItem(QStringLiteral("tcp://"));
    Port->addItem(QStringLiteral("rfc2217://"));
    Port->addItem(QStringLiteral("tls://"));
    Port->addItem(QStringLiteral("rfc2217+tls://"));
    Port->setToolTip(QStringLiteral("COM3, /dev/ttyUSB0, tcp://HOST:PORT albo rfc2217://HOST:PORT, "
                                    "w TLS tls://HOST:PORT albo rfc2217+tls://HOST:PORT"));
    Port->setMinimumContentsLength(28);
    fields->addRow(QStringLiteral("Port:"), Port);

    Adres = formparts::numbers(this, QStringLiteral("Adres"), 9);
    fields->addRow(QStringLiteral("Adres kasy na linii:"), Adres);

    auto* database = new QHBoxLayout;
    Baza = new QLineEdit(this);
    Baza->setObjectName(QStringLiteral("Baza"));
    Baza->setPlaceholderText(QStringLiteral("plik .vkf tej kasy (nieobowiązkowy)"));
    Baza->setMinimumWidth(Baza->fontMetrics().averageCharWidth() * 40);
    WybierzBaze =
        formparts::button(this, QStringLiteral("WybierzBaze"), QStringLiteral("…"), false);
    database->addWidget(Baza, 1);
    database->addWidget(WybierzBaze);
    fields->addRow(QStringLiteral("Baza danych:"), database);
    PlikCA = new QLineEdit(this);
    PlikCA->setObjectName(QStringLiteral("PlikCA"));
    PlikCA->setPlaceholderText(QStringLiteral("plik PEM (puste: zaufane certyfikaty systemu)"));
    fields->addRow(QStringLiteral("Certyfikat TLS:"), PlikCA);
    Odcisk = new QLineEdit(this);
    Odcisk->setObjectName(QStringLiteral("Odcisk"));
    Odcisk->setPlaceholderText(QStringLiteral("odcisk SHA-256 certyfikatu (nieobowiązkowy)"));
    fields->addRow(QStringLiteral("Odcisk certyfikatu:"), Odcisk);
    top->addLayout(fields);

    auto* buttons = new QHBoxLayout;
    OK = formparts::button(this, QStringLiteral("OK"), QStringLiteral("OK"), true);
    auto* cancel =
        formparts::button(this, QStringLiteral("Anuluj"), QStringLiteral("Anuluj"), false);
    buttons->addStretch();
    buttons->addWidget(OK);
    buttons->addWidget(cancel);
    top->addLayout(buttons);

    chooseDatabase = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Baza danych kasy"), proposed,
                                            QStringLiteral("Baza danych (*.vkf)"), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    };
    connect(OK, &QPushButton::clicked, this, &TKasaSieci::OKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(WybierzBaze, &QPushButton::clicked, this, &TKasaSieci::WybierzBazeClick);
}

void TKasaSieci::setUp(const chain::ChainRegister* reg, const QList<chain::ChainRegister>& others,
                       const QString& baseDir)
{
    m_others = others;
    m_baseDir = baseDir;
    Nazwa->setText(reg ? reg->name : QString());
    Port->setCurrentText(reg ? reg->port : QStringLiteral("COM1"));
    Adres->setCurrentIndex(reg ? reg->address - 1 : 0);
    // As the list file writes it: beside the list by its name alone.
    QString database;
    if (reg && !reg->database.isEmpty()) {
        const QString relative = QDir(baseDir).relativeFilePath(reg->database);
        database = relative.startsWith(QLatin1String("..")) ? reg->database : relative;
    }
    Baza->setText(QDir::toNativeSeparators(database));
    QString caFile;
    if (reg && !reg->tls.caFile.isEmpty()) {
        const QString relative = QDir(baseDir).relativeFilePath(reg->tls.caFile);
        caFile = relative.startsWith(QLatin1String("..")) ? reg->tls.caFile : relative;
    }
    PlikCA->setText(QDir::toNativeSeparators(caFile));
    Odcisk->setText(reg && !reg->tls.pin.isEmpty() ? tlsPinText(reg->tls.pin) : QString());
    Nazwa->setFocus();
}

void TKasaSieci::OKClick()
{
    chain::RegisterEntry entry;
    entry.name = Nazwa->text();
    entry.port = Port->currentText();
    entry.address = Adres->currentIndex() + 1;
    entry.database = Baza->text();
    entry.caFile = PlikCA->text();
    entry.pin = Odcisk->text();
    QString error;
    const auto reg = chain::checkedRegister(entry, m_others, m_baseDir, &error);
    if (!reg) {
        m_ui.showMessage(error, TransferUi::Icon::Warning);
        return;
    }
    m_result = *reg;
    accept();
}

void TKasaSieci::WybierzBazeClick()
{
    const QString typed = Baza->text().trimmed();
    QString path =
        chooseDatabase(typed.isEmpty() ? m_baseDir : QDir(m_baseDir).absoluteFilePath(typed));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".vkf");
    Baza->setText(QDir::toNativeSeparators(path));
}
