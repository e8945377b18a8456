#include "linkform.h"

#include "link/link.h"

LinkForm::LinkForm(AppSession& session, const QString& caption, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setWindowTitle(caption);
}
