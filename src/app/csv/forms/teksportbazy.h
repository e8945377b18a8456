#pragma once

#include <QDialog>

#include <functional>

class AppSession;
class QComboBox;
class QLabel;
class QPushButton;

// "Eksport bazy danych": one table of the working database to a CSV file, and a CSV file back
// into the table its title names. The file work is in csvexport / csvimport.
class TEksportBazy : public QDialog {
    Q_OBJECT
public:
    explicit TEksportBazy(AppSession& session, QWidget* parent = nullptr);

    // The file dialogs; the tests replace them. An empty result means cancelled.
    std::function<QString(const QString& proposed)> chooseSavePath;
    std::function<QString()> chooseOpenPath;

    QComboBox* tableList() const { return m_list; }
    // How the imported file is read: automatically, UTF-8 or cp1250 (csv::Encoding's order).
    QComboBox* encodingList() const { return m_encoding; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* importButton() const { return m_import; }
    QLabel* exportResult() const { return m_exportResult; }
    QLabel* importResult() const { return m_importResult; }

    void ExportClick();
    void ImportClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void clearResults();

    AppSession& m_session;
    QComboBox* m_list;
    QComboBox* m_encoding;
    QPushButton* m_export;
    QPushButton* m_import;
    QLabel* m_exportResult;
    QLabel* m_importResult;
};
