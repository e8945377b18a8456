#pragma once

#include <QDialog>

class AppSession;
class QCheckBox;
class QFormLayout;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
namespace basesync {
class TableSync;
struct Details;
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
    void keyPressEvent(QKeyEvent* event) override;

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
    void setWaiting(bool waiting);
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
    QLabel* m_wait;
    QLabel* m_name;
    QFormLayout* m_details;
    QLabel* m_notice;
    QPushButton* m_showPassword = nullptr;
    QLabel* m_password = nullptr;
    QString m_passwordText;
};
