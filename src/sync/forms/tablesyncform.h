#pragma once

#include "common/transferrun.h"

#include <QDialog>

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

    // The member's register buffer: kept between showings until the next read.
    static basesync::TableSync& buffer(const basesync::TableMember& member);

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
    void rebuildRegisterList();
    void showDetails(const basesync::Details& details);
    // A run of this form: "Czekaj..." counts, its "Anuluj" and Escape stop it.
    TransferRun::View runView();
    // After a read: says so when the table did not come whole.
    void sayIfShort(const basesync::ReadOutcome& outcome);
    void setPasswordShown(bool shown);
    quint8 confirmByte() const;

    const basesync::TableMember& m_member;
    AppSession& m_session;
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
