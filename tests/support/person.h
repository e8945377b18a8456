#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// What a person does with the message boxes of the program under test: reads each one as it
// comes up (`seen`) and answers it, "OK" where it has one, otherwise the next answer of the
// script (No when the script has run out).
class Person : public QObject {
public:
    Person();

    QStringList seen;
    QList<QMessageBox::StandardButton> answers;

private:
    void look();
    QTimer m_timer;
};

// Progress windows still on the screen.
int progressWindowsShown();
