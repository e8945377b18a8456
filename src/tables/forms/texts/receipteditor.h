#pragma once

#include "linkform.h"

#include "tables/receipttext.h"

#include <QList>

#include <functional>

class QAction;
class QCheckBox;
class QPushButton;
class QTextEdit;
class QToolBar;

// The receipt header and footer editors: a small rich-text editor of at most 6 (header) or 3
// (footer) lines in which characters of size 20 are large ("Tekst pogrubiony"), loading and
// saving RTF files, building the print lines into the database and sending them.
class ReceiptEditor : public LinkForm {
    Q_OBJECT
public:
    ReceiptEditor(AppSession& session, receipt::Kind kind, QWidget* parent);

    QToolBar* toolBar = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* boldAction = nullptr; // "Tekst pogrubiony"
    QTextEdit* RichEdit1 = nullptr;
    QList<QCheckBox*> tallLines;       // "Linia 1".."Linia 6" (header only)
    QCheckBox* confirm = nullptr;      // "Potwiedzenie z klawiatury kasy"
    QPushButton* sendButton = nullptr; // "Wyślij do kasy"

    // Replaceable for tests: the file dialogs (empty name: cancelled).
    std::function<QString()> chooseOpenFile;
    std::function<QString()> chooseSaveFile;

    // The editor's text as print paragraphs, and the editor filled from paragraphs.
    QList<receipt::Paragraph> paragraphs() const;
    void setParagraphs(const QList<receipt::Paragraph>& paragraphs);
    // Reads an RTF file into the editor / writes the editor to one; false after the message.
    bool loadFile(const QString& path);
    bool saveFile(const QString& path);

    void openClicked();
    void saveClicked();
    void boldToggled(bool down);
    void sendClicked();
    // The editor and the tall-line options filled from the block stored in the database.
    void loadStored();

protected:
    // Fills the editor from the database the first time and after another database was
    // loaded; otherwise what was typed stays as it was left.
    void showEvent(QShowEvent* event) override;

private:
    void textChanged();

    receipt::Kind m_kind;
    bool m_adjusting = false;
    int m_loadedGeneration = -1;
};

class TProgramowanieNaglowka : public ReceiptEditor {
    Q_OBJECT
public:
    explicit TProgramowanieNaglowka(AppSession& session, QWidget* parent = nullptr);
};

class TProgramowanieStopki : public ReceiptEditor {
    Q_OBJECT
public:
    explicit TProgramowanieStopki(AppSession& session, QWidget* parent = nullptr);
};
