#pragma once

#include "common/transferrun.h"

#include <QDialog>

#include <memory>
#include <vector>

class AppSession;
class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class TransferPanel;
namespace articleprint {
struct Row;
}
namespace basesync {
class ArticleSync;
struct Details;
struct RunPanel;
} // namespace basesync

// "Podgląd bazy towarowej": the PC's article base beside the register's, with the runs that
// move checked articles between them.
class TSynchronizacjaBazyTowarowej : public QDialog {
    Q_OBJECT
public:
    explicit TSynchronizacjaBazyTowarowej(AppSession& session, QWidget* parent = nullptr);
    ~TSynchronizacjaBazyTowarowej() override;

    // The register's side: what this showing of the form read, with where and when; every
    // showing starts it empty.
    basesync::ArticleSync& buffer() { return *m_buffer; }
    // Lists the buffer again (after it was filled other than by the form's own runs).
    void rebuildRegisterList();

    QListWidget* pcList() const { return m_pcList; }
    QListWidget* registerList() const { return m_regList; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OdswiezClick();
    void DoKasyClick();
    void DoPcClick();
    void UsunZKasyClick();
    void UsunZPcClick();
    void ZaznaczWgNumerowClick();
    void ZaznaczNieuzywaneClick();
    void EdytujClick();
    void WeryfikujClick();
    void PcListClick(QListWidgetItem* item);
    void RegisterListClick(QListWidgetItem* item);

    void printArticles(bool byName);
    std::vector<articleprint::Row> printRows(bool byName);
    void rebuildPcList();
    void updateGauge(QLabel* text, QProgressBar* bar, int lines);
    void showDetails(const basesync::Details& details, const QString& symbol);
    // A run of this form: its panel counts, its "Anuluj" and Escape stop it.
    TransferRun::View runView();
    basesync::RunPanel panelNotices();
    // After a run over the register's base: the panel goes, the register list shows the buffer.
    void registerRunEnded();
    // The register type, asked of the register when unknown; false (and said) when none.
    bool typeKnown();
    int registerType() const;
    quint8 confirmByte() const;

    AppSession& m_session;
    std::unique_ptr<basesync::ArticleSync> m_buffer;
    QListWidget* m_pcList;
    QListWidget* m_regList;
    QLabel* m_pcGauge;
    QLabel* m_regGauge;
    QProgressBar* m_pcBar;
    QProgressBar* m_regBar;
    QPushButton* m_pcAll;
    QPushButton* m_regAll;
    QPushButton* m_refresh;
    QPushButton* m_toRegister;
    QPushButton* m_toPc;
    QPushButton* m_deleteRegister;
    QPushButton* m_deletePc;
    QPushButton* m_byNumbers;
    QPushButton* m_unused;
    QPushButton* m_edit;
    QPushButton* m_verify;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLineEdit* m_days;
    QCheckBox* m_confirm;
    QLabel* m_symbol;
    QLabel* m_name;
    QFormLayout* m_details;      // the detail lines: the first half
    QFormLayout* m_detailsRight; // and the rest beside them
    TransferPanel* m_panel;
    bool m_pcAllOn = true;
    bool m_regAllOn = true;
    bool m_registerRead = false; // the register gauge shows "?/2000" until a run this showing
};
