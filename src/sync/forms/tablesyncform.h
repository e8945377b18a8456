#pragma once

#include "common/transferrun.h"

#include <QDialog>

#include <memory>

class AppSession;
class QCheckBox;
class QFormLayout;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TransferPanel;
namespace basesync {
class TableSync;
struct Details;
struct ReadOutcome;
struct TableMember;
} // namespace basesync

// One form of the family that shows a smaller base of the PC beside the register's (groups,
// packaging, cashiers, discounts, payment forms, currencies); the member entry says what
// differs. Each member's class is this form with its entry.
class TableSyncForm : public QDialog {
    Q_OBJECT
public:
    TableSyncForm(const basesync::TableMember& member, AppSession& session,
                  QWidget* parent = nullptr);

    ~TableSyncForm() override;

    // The register's side: what this showing of the form read, with where and when; every
    // showing starts it empty.
    basesync::TableSync& buffer() { return *m_buffer; }
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
    void UsunClick();
    void PcListClick(QListWidgetItem* item);
    void RegisterListClick(QListWidgetItem* item);
    void PokazHasloClick();

    void rebuildPcList();
    void showDetails(const basesync::Details& details);
    // A run of this form: "Czekaj..." counts, its "Anuluj" and Escape stop it.
    TransferRun::View runView();
    // After a read: says so when the table did not come whole.
    void sayIfShort(const basesync::ReadOutcome& outcome);
    void setPasswordShown(bool shown);
    quint8 confirmByte() const;

    const basesync::TableMember& m_member;
    AppSession& m_session;
    std::unique_ptr<basesync::TableSync> m_buffer;
    QListWidget* m_pcList;
    QListWidget* m_regList;
    QPushButton* m_refresh;
    QPushButton* m_toRegister;
    QPushButton* m_toPc;
    QPushButton* m_delete;
    QPushButton* m_pcAll;
    QPushButton* m_regAll;
    QCheckBox* m_confirm;
    TransferPanel* m_panel;
    QLabel* m_name;
    QFormLayout* m_details;
    QLabel* m_notice;
    QPushButton* m_showPassword = nullptr;
    QLabel* m_password = nullptr;
    QString m_passwordText;
};
