#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

// The panel shown while a run goes on: its title, the counter under its caption, the
// failures, the notice "Drukuję..." and "Anuluj", which asks the run to stop.
class TransferPanel : public QFrame {
    Q_OBJECT
public:
    explicit TransferPanel(QWidget* parent = nullptr);

    void start(const QString& title, const QString& counterCaption);
    void setCounter(int done, int total);
    void setFailures(int failures);
    void setPrinting(bool shown);
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QLabel* m_title;
    QLabel* m_counterCaption;
    QLabel* m_counter;
    QLabel* m_failures;
    QLabel* m_printing;
    QPushButton* m_cancel;
};
