#include "twydrukklawiatury.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "common/transferui.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

// The on-screen keyboard: 50-pixel keys, the wide key 23 two and a half keys wide.
class KeyboardPreview : public QWidget {
public:
    static constexpr int Key = 56;
    explicit KeyboardPreview(const keyboard::Design& design, QWidget* parent)
        : QWidget(parent), m_design(design)
    {
        setFixedSize(6 * Key + 8, 5 * Key + 8);
    }
    std::function<void(int)> clicked;
    int selected = -1;

    static QRect keyRect(int k)
    {
        const int col = k < 20 ? k % 5 : k - 20;
        const int row = k < 20 ? k / 5 : 4;
        return QRect(4 + col * Key, 4 + row * Key, k == keyboard::WideKey ? Key * 31 / 13 : Key,
                     Key);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int k = 0; k < keyboard::KeyCount; ++k) {
            const keyboard::KeyTemplate& key = m_design.keys[k];
            const QRect r = keyRect(k);
            p.setPen(QPen(k == selected ? Qt::blue : Qt::black, k == selected ? 3 : 1));
            p.setBrush(key.background);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            // Texts shrink one point at a time until narrower than 50 pixels.
            auto text = [&](const QString& t, const QColor& c, int size, bool bold, int y,
                            bool bottom) {
                QFont f(QStringLiteral("Arial"));
                f.setBold(bold);
                for (;; --size) {
                    f.setPointSize(size);
                    if (size <= 1 || QFontMetrics(f).horizontalAdvance(t) < 50)
                        break;
                }
                p.setFont(f);
                p.setPen(c);
                const QFontMetrics fm(f);
                const int x = r.left() + r.width() / 2 - fm.horizontalAdvance(t) / 2;
                p.drawText(x, (bottom ? y - fm.descent() : y + fm.ascent()), t);
                return fm.height();
            };
            text(key.upper, key.upperColor, 7, false, r.top() + 2, false);
            if (const int a = keyboard::arrowIndex(k); a >= 0) {
                QRectF box(0, 0, 18, 18);
                box.moveCenter(r.center());
                keyboard::paintArrow(p, box, keyboard::ArrowKeys[a].glyph, m_design.arrowColors[a]);
            } else {
                QFont f(QStringLiteral("Arial"));
                f.setPointSize(12);
                text(key.middle, key.middleColor, 12, true,
                     r.center().y() - QFontMetrics(f).height() / 2, false);
            }
            text(key.lower, key.lowerColor, 7, false, r.bottom() - 2, true);
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        for (int k = 0; k < keyboard::KeyCount; ++k)
            if (keyRect(k).contains(e->position().toPoint()) && clicked)
                clicked(k);
    }

private:
    const keyboard::Design& m_design;
};

namespace {

void setSwatch(QPushButton* b, const QColor& c)
{
    const QColor text = qGray(c.rgb()) < 128 ? Qt::white : Qt::black;
    b->setStyleSheet(QStringLiteral("background-color: %1; color: %2;").arg(c.name(), text.name()));
}

} // namespace

TWydrukKlawiatury::TWydrukKlawiatury(AppSession& session, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Wydruk klawiatury"));
    chooseColor = [this](const QColor& initial) { return QColorDialog::getColor(initial, this); };
    showMessage = [&session](const QString& t) { session.ui().showMessage(t); };

    auto* root = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Wydruk szablonu klawiatury"), this);
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSize(hf.pointSize() + 3);
    heading->setFont(hf);
    root->addWidget(heading);

    auto* body = new QHBoxLayout;
    root->addLayout(body);
    auto* left = new QVBoxLayout;
    body->addLayout(left);
    left->addWidget(new QLabel(QStringLiteral("Podgląd:"), this));
    left->addWidget(new QLabel(QStringLiteral("Kliknij na klawisz, który chcesz edytować:"), this));
    Podglad = new KeyboardPreview(m_design, this);
    Podglad->clicked = [this](int k) { selectKey(k); };
    left->addWidget(Podglad);
    left->addStretch();

    auto* right = new QVBoxLayout;
    body->addLayout(right);
    auto* texts = new QGridLayout;
    right->addLayout(texts);
    const QString names[3] = {QStringLiteral("Tekst górny:"), QStringLiteral("Tekst środkowy:"),
                              QStringLiteral("Tekst dolny:")};
    QPushButton** edits[3] = {&EdytujGorny, &EdytujSrodkowy, &EdytujDolny};
    for (int i = 0; i < 3; ++i) {
        texts->addWidget(new QLabel(names[i], this), i, 0);
        m_texts[i] = new QLabel(this);
        m_texts[i]->setMinimumWidth(100);
        m_texts[i]->setFrameShape(QFrame::StyledPanel);
        texts->addWidget(m_texts[i], i, 1);
        *edits[i] = new QPushButton(QStringLiteral("Edytuj"), this);
        texts->addWidget(*edits[i], i, 2);
        connect(*edits[i], &QPushButton::clicked, this, [this, i] { editText(i); });
    }
    EdycjaCaption = new QLabel(this);
    right->addWidget(EdycjaCaption);
    auto* editRow = new QHBoxLayout;
    right->addLayout(editRow);
    EdycjaTekstu = new QLineEdit(this);
    EdycjaTekstu->setMaxLength(keyboard::MaxTextLength);
    EdycjaTekstu->setEnabled(false);
    editRow->addWidget(EdycjaTekstu);
    Ok = new QPushButton(QStringLiteral("Ok"), this);
    Ok->setEnabled(false);
    editRow->addWidget(Ok);
    connect(Ok, &QPushButton::clicked, this, &TWydrukKlawiatury::OkClick);
    connect(EdycjaTekstu, &QLineEdit::returnPressed, this, &TWydrukKlawiatury::OkClick);

    auto* colours = new QGroupBox(QStringLiteral("Kolor tekstu:"), this);
    auto* cl = new QVBoxLayout(colours);
    KolorGorny = new QPushButton(QStringLiteral("Tekst górny"), colours);
    KolorSrodkowy = new QPushButton(QStringLiteral("Tekst środkowy"), colours);
    KolorDolny = new QPushButton(QStringLiteral("Tekst dolny"), colours);
    cl->addWidget(KolorGorny);
    cl->addWidget(KolorSrodkowy);
    cl->addWidget(KolorDolny);
    right->addWidget(colours);
    auto* bg = new QGroupBox(QStringLiteral("Kolor tła:"), this);
    auto* bl = new QVBoxLayout(bg);
    KolorTla = new QPushButton(QString(), bg);
    KolorTla->setMinimumHeight(24);
    bl->addWidget(KolorTla);
    right->addWidget(bg);
    QPushButton* swatches[4] = {KolorGorny, KolorSrodkowy, KolorDolny, KolorTla};
    for (int i = 0; i < 4; ++i)
        connect(swatches[i], &QPushButton::clicked, this, [this, i] { pickColor(i); });

    CheckBox1 = new QCheckBox(QStringLiteral("Zatwierdzaj automatycznie"), this);
    right->addWidget(CheckBox1);
    Zatwierdz = new QPushButton(QStringLiteral("<-- Zatwierdź"), this);
    right->addWidget(Zatwierdz);
    KopiujKolory = new QPushButton(QStringLiteral("Kopiuj kolory"), this);
    right->addWidget(KopiujKolory);
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this](bool on) { Zatwierdz->setEnabled(!on && m_selected >= 0); });
    connect(Zatwierdz, &QPushButton::clicked, this, &TWydrukKlawiatury::ZatwierdzClick);
    connect(KopiujKolory, &QPushButton::clicked, this, &TWydrukKlawiatury::KopiujKoloryClick);

    auto* buttons = new QHBoxLayout;
    root->addLayout(buttons);
    auto* zapisz = new QPushButton(QStringLiteral("Zapisz szablon do pliku..."), this);
    auto* wczytaj = new QPushButton(QStringLiteral("Wczytaj szablon z pliku..."), this);
    auto* podglad = new QPushButton(QStringLiteral("Podgląd wydruku"), this);
    Drukuj = new QPushButton(QStringLiteral("  &Drukuj szablon klawiatury"), this);
    buttons->addWidget(zapisz);
    buttons->addWidget(wczytaj);
    buttons->addStretch();
    buttons->addWidget(podglad);
    buttons->addWidget(Drukuj);
    connect(zapisz, &QPushButton::clicked, this, &TWydrukKlawiatury::ZapiszClick);
    connect(wczytaj, &QPushButton::clicked, this, &TWydrukKlawiatury::WczytajClick);
    connect(podglad, &QPushButton::clicked, this, &TWydrukKlawiatury::PodgladClick);
    connect(Drukuj, &QPushButton::clicked, this, &TWydrukKlawiatury::DrukujClick);
    // Enter in the edit box confirms the text only; it must not print as well.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    clearEditor();
}

void TWydrukKlawiatury::showEvent(QShowEvent* event)
{
    KopiujKolory->setText(QStringLiteral("Kopiuj kolory\nna wszystkie klawisze"));
    clearEditor();
    QDialog::showEvent(event);
}

void TWydrukKlawiatury::clearEditor()
{
    m_selected = -1;
    // Empty texts, black text colours, white background; every swatch shows white.
    m_editor = keyboard::KeyTemplate{};
    for (QColor& c : m_swatch)
        c = Qt::white;
    m_editing = -1;
    EdycjaTekstu->clear();
    EdycjaTekstu->setEnabled(false);
    Ok->setEnabled(false);
    EdycjaCaption->clear();
    Zatwierdz->setEnabled(false);
    refreshEditor();
}

void TWydrukKlawiatury::refreshEditor()
{
    m_texts[0]->setText(m_editor.upper);
    m_texts[1]->setText(m_editor.middle);
    m_texts[2]->setText(m_editor.lower);
    setSwatch(KolorGorny, m_swatch[0]);
    setSwatch(KolorSrodkowy, m_swatch[1]);
    setSwatch(KolorDolny, m_swatch[2]);
    setSwatch(KolorTla, m_swatch[3]);
    Podglad->selected = m_selected;
    Podglad->update();
}

QWidget* TWydrukKlawiatury::preview() const
{
    return Podglad;
}

void TWydrukKlawiatury::selectKey(int key)
{
    if (key < 0 || key >= keyboard::KeyCount)
        return;
    m_selected = key;
    m_editor = m_design.keys[key];
    if (const int a = keyboard::arrowIndex(key); a >= 0)
        m_editor.middleColor = m_design.arrowColors[a];
    m_swatch[0] = m_editor.upperColor;
    m_swatch[1] = m_editor.middleColor;
    m_swatch[2] = m_editor.lowerColor;
    m_swatch[3] = m_editor.background;
    Zatwierdz->setEnabled(!CheckBox1->isChecked());
    refreshEditor();
}

void TWydrukKlawiatury::editText(int which)
{
    static const QString captions[3] = {QStringLiteral("Edycja tekstu górnego:"),
                                        QStringLiteral("Edycja tekstu środkowego:"),
                                        QStringLiteral("Edycja tekstu dolnego:")};
    m_editing = which;
    EdycjaCaption->setText(captions[which]);
    const QString* texts[3] = {&m_editor.upper, &m_editor.middle, &m_editor.lower};
    EdycjaTekstu->setText(*texts[which]);
    EdycjaTekstu->setEnabled(true);
    Ok->setEnabled(true);
    EdycjaTekstu->setFocus();
}

void TWydrukKlawiatury::OkClick()
{
    if (m_editing < 0)
        return;
    QString* texts[3] = {&m_editor.upper, &m_editor.middle, &m_editor.lower};
    *texts[m_editing] = EdycjaTekstu->text().left(keyboard::MaxTextLength);
    m_editing = -1;
    EdycjaTekstu->clear();
    EdycjaTekstu->setEnabled(false);
    Ok->setEnabled(false);
    refreshEditor();
    ZatwierdzClick();
}

void TWydrukKlawiatury::pickColor(int which)
{
    QColor* colours[4] = {&m_editor.upperColor, &m_editor.middleColor, &m_editor.lowerColor,
                          &m_editor.background};
    const QColor chosen = chooseColor(*colours[which]);
    if (!chosen.isValid())
        return;
    *colours[which] = chosen;
    m_swatch[which] = chosen;
    refreshEditor();
    applyIfAuto();
}

void TWydrukKlawiatury::applyIfAuto()
{
    if (CheckBox1->isChecked())
        ZatwierdzClick();
}

void TWydrukKlawiatury::ZatwierdzClick()
{
    if (m_selected < 0)
        return; // nothing selected: nothing to apply
    m_design.apply(m_selected, m_editor);
    if (!CheckBox1->isChecked())
        clearEditor();
    else
        refreshEditor();
}

void TWydrukKlawiatury::KopiujKoloryClick()
{
    m_design.copyColors(m_editor, m_swatch[1]);
    Podglad->update();
}

void TWydrukKlawiatury::printTo(QPrinter& printer) const
{
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    keyboard::paint(painter, printer, m_design);
    painter.end();
}

void TWydrukKlawiatury::DrukujClick()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(printer);
}

void TWydrukKlawiatury::PodgladClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { printTo(*p); });
    preview.exec();
}

void TWydrukKlawiatury::ZapiszClick()
{
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz szablon klawiatury"), QString(),
                                     QStringLiteral("Szablon klawiatury (*.json)"));
    if (path.isEmpty())
        return;
    const QString error = keyboard::save(path, m_design);
    if (!error.isEmpty())
        showMessage(error);
}

void TWydrukKlawiatury::WczytajClick()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Wczytaj szablon klawiatury"), QString(),
                                     QStringLiteral("Szablon klawiatury (*.json)"));
    if (path.isEmpty())
        return;
    const QString error = keyboard::load(path, m_design);
    if (!error.isEmpty())
        showMessage(error);
    clearEditor();
}

VDUNO_REGISTER_FORM(TWydrukKlawiatury)
