#pragma once

#include "printing/keyboard.h"

#include <QDialog>

#include <functional>

class AppSession;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class KeyboardPreview;

// "Wydruk klawiatury": designs and prints the paper template for the 24-key keyboard.
class TWydrukKlawiatury : public QDialog {
    Q_OBJECT
public:
    explicit TWydrukKlawiatury(AppSession& session, QWidget* parent = nullptr);

    const keyboard::Design& design() const { return m_design; }
    int selectedKey() const { return m_selected; }
    const keyboard::KeyTemplate& editor() const { return m_editor; }
    QColor swatch(int which) const { return m_swatch[which]; }

    // Replaceable for tests: the colour dialog and the message box.
    std::function<QColor(const QColor& initial)> chooseColor;
    std::function<void(const QString&)> showMessage;

    // Controls, named as on the form.
    QCheckBox* CheckBox1 = nullptr;   // "Zatwierdzaj automatycznie"
    QPushButton* Zatwierdz = nullptr; // "<-- Zatwierdź"
    QPushButton* KopiujKolory = nullptr;
    QPushButton* Drukuj = nullptr;
    QPushButton* EdytujGorny = nullptr;
    QPushButton* EdytujSrodkowy = nullptr;
    QPushButton* EdytujDolny = nullptr;
    QPushButton* Ok = nullptr;
    QLineEdit* EdycjaTekstu = nullptr;
    QLabel* EdycjaCaption = nullptr;
    QPushButton* KolorGorny = nullptr;
    QPushButton* KolorSrodkowy = nullptr;
    QPushButton* KolorDolny = nullptr;
    QPushButton* KolorTla = nullptr;
    KeyboardPreview* Podglad = nullptr;

    QWidget* preview() const;
    void selectKey(int key);
    void ZatwierdzClick();
    void KopiujKoloryClick();
    void OkClick();
    void editText(int which);  // 0 upper, 1 middle, 2 lower
    void pickColor(int which); // 0..2 texts, 3 background
    void printTo(QPrinter& printer) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void clearEditor();
    void refreshEditor();
    void applyIfAuto();
    void DrukujClick();
    void PodgladClick();
    void ZapiszClick();
    void WczytajClick();

    keyboard::Design m_design = keyboard::defaultDesign();
    keyboard::KeyTemplate m_editor;
    int m_selected = -1;
    int m_editing = -1;
    QColor m_swatch[4]; // what the four swatches show: upper, middle, lower, background
    QLabel* m_texts[3] = {};
};
