#pragma once

#include "printing/labels.h"

#include <QDialog>

#include <functional>

class AppSession;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPrinter;
class QPushButton;
class QSlider;

// "Drukowanie kodów kreskowych": a sheet of Code 128 labels for the checked articles.
class TDrukowanieKodowKreskowych : public QDialog {
    Q_OBJECT
public:
    explicit TDrukowanieKodowKreskowych(AppSession& session, QWidget* parent = nullptr);

    // The 2000 article records (136,000 bytes) of the open database, read on showing;
    // empty without a database. Replaceable for tests.
    std::function<QByteArray()> readArticleTable;
    // Replaceable for tests.
    std::function<void(const QString&)> showMessage;
    std::function<bool(QPrinter&)> runPrintDialog;

    QListWidget* ListBox1 = nullptr;
    QLabel* KodTowaru = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* Wysokosc = nullptr;
    QPushButton* Drukuj = nullptr;
    QPushButton* Podglad = nullptr;
    QPushButton* Anuluj = nullptr;

    void refill();
    labels::Settings settings() const { return m_settings; }
    std::vector<labels::Label> checkedLabels() const;
    // Prints the checked lines; false when nothing was printed.
    bool DrukujClick();
    bool printTo(QPrinter& printer) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ListBox1Click(QListWidgetItem* item);
    void ListBox1DblClick(QListWidgetItem* item);
    void TrackBar1Change(int position);
    void PodgladClick();

    labels::Settings m_settings;
    std::vector<labels::LabelArticle> m_articles;
};
