#include "tpokazbuforodb.h"

#include "link/serialline.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TPokazBuforOdb::TPokazBuforOdb(AppSession& session, QWidget* parent)
    : TPokazBuforOdb(session, Link::instance(), parent)
{
}

TPokazBuforOdb::TPokazBuforOdb(AppSession&, Link& link, QWidget* parent)
    : QDialog(parent), m_link(link)
{
    setWindowTitle(QStringLiteral("Podgląd bufora odbiorczego"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Sposób wyświetlania danych"), this);
    auto* choice = new QHBoxLayout(group);
    RBSzesnastkowo = new QRadioButton(QStringLiteral("Szesnastkowo"), group);
    RBDziesietnie = new QRadioButton(QStringLiteral("Dziesiętnie"), group);
    RBChar = new QRadioButton(QStringLiteral("Char"), group);
    RBSzesnastkowo->setChecked(true);
    choice->addWidget(RBSzesnastkowo);
    choice->addWidget(RBDziesietnie);
    choice->addWidget(RBChar);
    layout->addWidget(group);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(Memo1, 1);

    auto* buttons = new QHBoxLayout;
    BBuforProgramu = new QPushButton(QStringLiteral("Bufor odbiorczy programu"), this);
    BBuforPC = new QPushButton(QStringLiteral("Bufor odbiorczy PC"), this);
    buttons->addWidget(BBuforProgramu);
    buttons->addWidget(BBuforPC);
    layout->addLayout(buttons);
    resize(560, 320);

    for (QRadioButton* b : {RBSzesnastkowo, RBDziesietnie, RBChar})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                redraw();
        });
    connect(BBuforProgramu, &QPushButton::clicked, this, &TPokazBuforOdb::BBuforProgramuClick);
    connect(BBuforPC, &QPushButton::clicked, this, &TPokazBuforOdb::BBuforPCClick);
    BBuforProgramuClick();
}

portscan::BufferView TPokazBuforOdb::view() const
{
    if (RBDziesietnie->isChecked())
        return portscan::BufferView::Decimal;
    if (RBChar->isChecked())
        return portscan::BufferView::Char;
    return portscan::BufferView::Hex;
}

void TPokazBuforOdb::BBuforProgramuClick()
{
    const QByteArrayView area = m_link.received(Link::ReceiveSize);
    const qsizetype zero = area.indexOf('\0');
    m_copy = (zero < 0 ? area : area.first(zero)).toByteArray();
    redraw();
}

void TPokazBuforOdb::redraw()
{
    Memo1->setPlainText(portscan::bufferText(m_copy, view()));
}

void TPokazBuforOdb::BBuforPCClick()
{
    char buffer[31] = {};
    qint64 n = 0;
    if (SerialLine* line = m_link.serialLine(); line && line->isOpen())
        n = line->read(buffer, 30);
    Memo1->setPlainText(portscan::bufferText(QByteArrayView(buffer, qMax<qint64>(n, 0)), view()));
}
