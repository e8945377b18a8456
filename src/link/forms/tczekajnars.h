#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// "Oczekiwanie na odpowiedź": shown while the register holds the line. Every 200 ms the bar
// moves and the line is checked; a free line closes the dialog with Accepted, "&Przerwij"
// (or Escape and Yes) with Rejected.
class TCzekajNaRS : public QDialog {
    Q_OBJECT
public:
    explicit TCzekajNaRS(std::function<bool()> lineClear, QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;
    QPushButton* Przerwij;
    QTimer* Timer1;

    void Timer1Timer();
    void PrzerwijClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool()> m_lineClear;
    bool m_up = true;
};

// Shows TCzekajNaRS modally; true when the line was released.
bool waitForLineDialog(const std::function<bool()>& lineClear, QWidget* parent = nullptr);
