#pragma once

#include <QDialog>

class AppSession;
class Link;

// What the text and key forms share: the session and the link their sends go through (the
// program's own unless a test gives another).
class LinkForm : public QDialog {
    Q_OBJECT
public:
    LinkForm(AppSession& session, const QString& caption, QWidget* parent);
    void setLink(Link* link) { m_link = link; }

protected:
    AppSession& m_session;
    Link* m_link;
};
