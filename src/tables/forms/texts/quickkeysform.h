#pragma once

#include "linkform.h"

#include <QLabel>
#include <QListWidget>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quickkeydrag {
// Dragged from the article list: the article number as text.
inline const QString ArticleMime = QStringLiteral("application/x-vduno-article");
// Dragged from a key list: "key:entry" (key 1..10, entry 0..4).
inline const QString EntryMime = QStringLiteral("application/x-vduno-quickkey-entry");
} // namespace quickkeydrag

// The used articles, dragged onto the keys.
class ArticleDragList : public QListWidget {
    Q_OBJECT
public:
    explicit ArticleDragList(QWidget* parent);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
};

// One key's entries: takes articles dropped on it, gives its lines to the bin.
class QuickKeyList : public QListWidget {
    Q_OBJECT
public:
    QuickKeyList(int key, QWidget* parent);
    int key() const { return m_key; }
    std::function<void(int article)> articleDropped;
    // What a drop of these data does; false when they are not an article.
    bool takeDrop(const QMimeData* data);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int m_key;
};

// The bin: a key line dropped here empties its entry.
class QuickKeyBin : public QLabel {
    Q_OBJECT
public:
    explicit QuickKeyBin(QWidget* parent);
    std::function<void(int key, int entry)> entryDropped;
    // What a drop of these data does; false when they are not a key line.
    bool takeDrop(const QMimeData* data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// "Programowanie klawiszy szybkich": per cashier, keys F1..F10 selling up to five articles each.
class TProgramowanieKlawiszySzybkich2 : public LinkForm {
    Q_OBJECT
public:
    explicit TProgramowanieKlawiszySzybkich2(AppSession& session, QWidget* parent = nullptr);

    ArticleDragList* articles = nullptr;
    QComboBox* cashier = nullptr; // "Kasjer:"
    std::array<QuickKeyList*, 10> keys{};
    std::array<QCheckBox*, 10> endReceipt{}; // "Kończenie paragonu"
    QLineEdit* quantity = nullptr;           // "Dodawana ilość:"
    QuickKeyBin* bin = nullptr;
    QPushButton* sendAllButton = nullptr; // "Wyślij do kasy wszystkie klawisze"
    QLabel* waitLabel = nullptr;          // "Czekaj..."

    int selectedCashier() const;
    // What a drop does: an article onto key 1..10; a key line (its row) onto the bin.
    bool addArticle(int key, int article);
    void removeLine(int key, int row);
    void endReceiptClicked(int key, bool checked);
    void refreshKeys();
    // "Wyślij do kasy" of a key's menu, and "Wyślij do kasy wszystkie klawisze".
    void sendKey(int key);
    void sendAllKeys();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillArticles();
    void fillCashiers();
    // Which entry each line of a key list shows.
    std::array<QList<int>, 10> m_entryOfLine;
    // The database the cashier list was filled from: the chosen cashier stays chosen on
    // showing again, and the first is chosen for another database.
    int m_filledGeneration = -1;
};
