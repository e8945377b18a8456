#include "runlock.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
// The controls a person could use to change what the run works on or to start something.
bool isControl(QWidget* w)
{
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
           qobject_cast<QAbstractItemView*>(w) || qobject_cast<QTextEdit*>(w) ||
           qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QMenuBar*>(w);
}
} // namespace

RunLock::RunLock(QWidget* form, QObject* cancel, std::function<void()> stop)
    : m_form(form), m_stop(std::move(stop))
{
    if (!form)
        return;
    const auto children = form->findChildren<QWidget*>();
    for (QWidget* w : children) {
        // Windows of their own over the form (the progress window, a message) stay usable.
        if (w == cancel || w->window() != form || !w->isEnabled() || !isControl(w))
            continue;
        // Controls inside another control (a spin box's line edit) follow their owner.
        if (w->parentWidget() && w->parentWidget() != form && isControl(w->parentWidget()))
            continue;
        w->setEnabled(false);
        m_disabled.emplace_back(w);
    }
    qApp->installEventFilter(this);
}

RunLock::~RunLock()
{
    qApp->removeEventFilter(this);
    for (const QPointer<QWidget>& w : m_disabled)
        if (w)
            w->setEnabled(true);
}

bool RunLock::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_form || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_form)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Escape:
            if (m_stop)
                m_stop();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Forms run their main button on Enter, past its disabled state.
            return true;
        default:
            return false;
        }
    case QEvent::Close:
        if (widget == m_form) {
            event->ignore();
            return true;
        }
        return false;
    default:
        return false;
    }
}
