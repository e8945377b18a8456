#include "receipteditor.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/link.h"
#include "tables/recordsend.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

Qt::Alignment qtAlign(receipt::Align a)
{
    switch (a) {
    case receipt::Align::Left:
        return Qt::AlignLeft;
    case receipt::Align::Right:
        return Qt::AlignRight;
    case receipt::Align::Center:
        break;
    }
    return Qt::AlignHCenter;
}

receipt::Align receiptAlign(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return receipt::Align::Center;
    if (a & Qt::AlignRight)
        return receipt::Align::Right;
    return receipt::Align::Left;
}

const QString RtfFilter = QStringLiteral("Pliki tekstowe (*.rtf *.RTF)");

} // namespace

ReceiptEditor::ReceiptEditor(AppSession& session, receipt::Kind kind, QWidget* parent)
    : LinkForm(session,
               kind == receipt::Kind::Header ? QStringLiteral("Edycja nagłówka")
                                             : QStringLiteral("Programowane stopki"),
               parent),
      m_kind(kind)
{
    const bool header = kind == receipt::Kind::Header;
    auto* main = new QVBoxLayout(this);
    toolBar = new QToolBar(this);
    openAction = toolBar->addAction(QStringLiteral("Otwórz"));
    openAction->setObjectName(QStringLiteral("Otworz"));
    saveAction = toolBar->addAction(QStringLiteral("Zapisz"));
    saveAction->setObjectName(QStringLiteral("Zapisz"));
    boldAction = toolBar->addAction(QStringLiteral("Tekst pogrubiony"));
    boldAction->setObjectName(QStringLiteral("Pogrubiony"));
    boldAction->setCheckable(true);
    main->addWidget(toolBar);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAcceptRichText(false);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(receipt::NormalSize);
    RichEdit1->document()->setDefaultFont(font);
    RichEdit1->setAlignment(Qt::AlignHCenter);
    main->addWidget(RichEdit1, 1);

    if (header) {
        auto* tall = new QGroupBox(QStringLiteral("LINIE WYSOKIE"), this);
        auto* row = new QHBoxLayout(tall);
        for (int i = 1; i <= receipt::HeaderLines; ++i) {
            auto* box = new QCheckBox(QStringLiteral("Linia ") + QString::number(i), tall);
            box->setObjectName(QStringLiteral("Linia") + QString::number(i));
            row->addWidget(box);
            tallLines.append(box);
        }
        main->addWidget(tall);
    }
    confirm = new QCheckBox(QStringLiteral("Potwiedzenie z klawiatury kasy"), this);
    confirm->setObjectName(QStringLiteral("Potwierdzenie"));
    main->addWidget(confirm);
    sendButton = new QPushButton(QStringLiteral("Wyślij do kasy"), this);
    sendButton->setObjectName(QStringLiteral("Wyslij"));
    sendButton->setAutoDefault(false);
    main->addWidget(sendButton);

    chooseOpenFile = [this, header] {
        return QFileDialog::getOpenFileName(this,
                                            header ? QStringLiteral("Otwórz plik z nagłowkiem.")
                                                   : QStringLiteral("Otwórz plik ze stopką."),
                                            QString(), RtfFilter);
    };
    chooseSaveFile = [this, header] {
        QFileDialog dialog(this,
                           header ? QStringLiteral("Zapisz nagłówek do pliku.")
                                  : QStringLiteral("Zapisz stopkę do pliku."),
                           QString(), RtfFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("rtf"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // the form asks itself
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };

    connect(openAction, &QAction::triggered, this, [this] { openClicked(); });
    connect(saveAction, &QAction::triggered, this, [this] { saveClicked(); });
    connect(boldAction, &QAction::toggled, this, [this](bool down) { boldToggled(down); });
    connect(sendButton, &QPushButton::clicked, this, [this] { sendClicked(); });
    connect(RichEdit1, &QTextEdit::textChanged, this, [this] { textChanged(); });
}

void ReceiptEditor::textChanged()
{
    if (m_adjusting)
        return;
    m_adjusting = true;
    QTextDocument* doc = RichEdit1->document();
    const int limit = receipt::lineLimit(m_kind);
    if (doc->blockCount() > limit) {
        // The lines from the limit on are deleted, with the line break before them.
        QTextCursor c(doc);
        c.setPosition(doc->findBlockByNumber(limit).position() - 1);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    if (m_kind == receipt::Kind::Header) {
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (b.blockFormat().alignment() & Qt::AlignHCenter)
                continue;
            QTextCursor c(b);
            QTextBlockFormat f;
            f.setAlignment(Qt::AlignHCenter);
            c.mergeBlockFormat(f);
        }
    }
    m_adjusting = false;
}

QList<receipt::Paragraph> ReceiptEditor::paragraphs() const
{
    QList<receipt::Paragraph> out;
    const QTextDocument* doc = RichEdit1->document();
    if (doc->isEmpty())
        return out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        receipt::Paragraph p;
        p.align = receiptAlign(b.blockFormat().alignment());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid())
                continue;
            const QTextCharFormat f = frag.charFormat();
            const double size =
                f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : receipt::NormalSize;
            const bool large = receipt::isLargeSize(size);
            for (const QChar ch : frag.text())
                p.text.append({ch, large});
        }
        out.append(p);
    }
    return out;
}

void ReceiptEditor::setParagraphs(const QList<receipt::Paragraph>& paragraphs)
{
    m_adjusting = true;
    RichEdit1->clear();
    QTextCursor c(RichEdit1->document());
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const receipt::Paragraph& p = paragraphs[i];
        QTextBlockFormat bf;
        bf.setAlignment(qtAlign(p.align));
        if (i == 0)
            c.setBlockFormat(bf);
        else
            c.insertBlock(bf);
        qsizetype k = 0;
        while (k < p.text.size()) {
            const bool large = p.text[k].large;
            QString run;
            while (k < p.text.size() && p.text[k].large == large)
                run += p.text[k++].c;
            QTextCharFormat cf;
            cf.setFontPointSize(large ? receipt::LargeSize : receipt::NormalSize);
            c.insertText(run, cf);
        }
    }
    m_adjusting = false;
    textChanged(); // the line limit and the header's centring
}

void ReceiptEditor::showEvent(QShowEvent* event)
{
    if (m_session.hasDatabase() && m_loadedGeneration != m_session.session().generation())
        loadStored();
    LinkForm::showEvent(event);
}

void ReceiptEditor::loadStored()
{
    const receipt::Block block = receipt::loadBlock(m_session.database(), m_kind);
    setParagraphs(receipt::paragraphsFromBlock(block));
    for (qsizetype i = 0; i < tallLines.size(); ++i)
        tallLines[i]->setChecked(block.tall.value(i));
    m_loadedGeneration = m_session.session().generation();
}

bool ReceiptEditor::loadFile(const QString& path)
{
    TransferUi& ui = m_session.ui();
    QFile file(path);
    std::optional<rtf::Document> doc;
    if (file.open(QIODevice::ReadOnly))
        doc = rtf::read(file.readAll());
    if (!doc) {
        ui.showMessage(QStringLiteral("Nie mogę otworzyc pliku") + path + u'.',
                       TransferUi::Icon::Error);
        return false;
    }
    setParagraphs(receipt::paragraphsFromRtf(*doc));
    return true;
}

bool ReceiptEditor::saveFile(const QString& path)
{
    TransferUi& ui = m_session.ui();
    if (QFileInfo::exists(path) &&
        ui.ask(QStringLiteral("Plik ") + path + QStringLiteral(" już istnieje.Kontynuować? "),
               TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return false;
    const QByteArray bytes = rtf::write(receipt::rtfFromParagraphs(paragraphs()));
    // Written beside the old file and put in its place only when whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        ui.showMessage(QStringLiteral("Nie mogę zapisać do pliku") + path + u'.',
                       TransferUi::Icon::Error);
        return false;
    }
    return true;
}

void ReceiptEditor::openClicked()
{
    const QString path = chooseOpenFile ? chooseOpenFile() : QString();
    if (!path.isEmpty())
        loadFile(path);
}

void ReceiptEditor::saveClicked()
{
    const QString path = chooseSaveFile ? chooseSaveFile() : QString();
    if (!path.isEmpty())
        saveFile(path);
}

void ReceiptEditor::boldToggled(bool down)
{
    QTextCharFormat f;
    f.setFontPointSize(down ? receipt::LargeSize : receipt::NormalSize);
    RichEdit1->mergeCurrentCharFormat(f);
    if (boldAction->isChecked() != down)
        boldAction->setChecked(down);
}

void ReceiptEditor::sendClicked()
{
    QList<bool> tall;
    for (QCheckBox* box : tallLines)
        tall.append(box->isChecked());
    const int limit = receipt::lineLimit(m_kind);
    const QList<receipt::Paragraph> typed = paragraphs();
    const QString refused = receipt::textRefusal(
        typed, limit,
        m_kind == receipt::Kind::Header ? QStringLiteral("Nagłówek") : QStringLiteral("Stopka"));
    if (!refused.isEmpty()) {
        m_session.ui().showMessage(refused, TransferUi::Icon::Warning);
        return;
    }
    const receipt::Block block = receipt::buildBlock(typed, limit, tall);
    // Stored when a database is open; the frame carries the block just built either way, so
    // that a register programmed without a database never gets an empty header.
    if (m_session.hasDatabase() && receipt::storeBlock(m_session.database(), m_kind, block))
        m_session.markModified();
    const QByteArray bytes = block.encode();
    setEnabled(false);
    if (m_kind == receipt::Kind::Header) {
        const int result = receipt::sendHeader(*m_link, m_session.ui(), bytes);
        // A refusal was shown with the register's own words.
        if (result != answers::DeviceError)
            recordsend::reportOutcome(
                m_session.ui(), result, m_link->at(8),
                {QStringLiteral("Nagłówek zapisano w kasie"),
                 QStringLiteral("Błąd! Kasa nie potwierdziła zapisu nagłówka!")});
    } else {
        const int result =
            receipt::sendFooter(*m_link, m_session.ui(), bytes, confirm->isChecked(), true);
        recordsend::reportOutcome(m_session.ui(), result, m_link->at(8), receipt::footerSendTexts(),
                                  confirm->isChecked());
    }
    setEnabled(true);
}

TProgramowanieNaglowka::TProgramowanieNaglowka(AppSession& session, QWidget* parent)
    : ReceiptEditor(session, receipt::Kind::Header, parent)
{
}

TProgramowanieStopki::TProgramowanieStopki(AppSession& session, QWidget* parent)
    : ReceiptEditor(session, receipt::Kind::Footer, parent)
{
}

VDUNO_REGISTER_FORM(TProgramowanieNaglowka)
VDUNO_REGISTER_FORM(TProgramowanieStopki)
