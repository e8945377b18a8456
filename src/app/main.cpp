#include "app/instancelock.h"
#include "forms/guitransferui.h"
#include "forms/tmenuglowne.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorn Duno"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vorn Duno"));

    InstanceLock lock;
    if (!lock.acquire()) {
        QMessageBox::critical(nullptr, QStringLiteral("Vorn Duno"),
                              InstanceLock::SecondCopyMessage);
        return 1;
    }

    QLabel splash(QStringLiteral("Trwa uruchamianie programu..."));
    splash.setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    splash.setAlignment(Qt::AlignCenter);
    splash.setMinimumSize(360, 120);
    splash.show();
    QApplication::processEvents();

    GuiTransferUi ui;
    TMenuGlowne window(ui, QDir::currentPath());
    ui.setParent(&window);
    splash.close();
    window.show();
    return QApplication::exec();
}
