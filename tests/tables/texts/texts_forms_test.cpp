// The text and key forms offscreen: what the user types, clicks and drops, and what reaches
// the database and the line.
#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/forms/texts/keyforms.h"
#include "tables/forms/texts/quickkeysform.h"
#include "tables/forms/texts/receipteditor.h"
#include "tables/forms/texts/smallforms.h"
#include "tables/quickkeys.h"

#include "../../link/fakeline.h"
#include "fakeui.h"
#include "wire.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include "filesizelimit.h"

#include <memory>

namespace {

struct Env {
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    FakeUi ui;
    std::unique_ptr<AppSession> app;
    FakeLineScript script;
    Link link{fakeFactory(script)};

    explicit Env(OperatingState state = OperatingState::OnlineWithDatabase)
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(DatabaseSession::WorkingCopyName));
        EXPECT_TRUE(session->createWorkingDatabase().ok);
        session->setModified(false);
        app = std::make_unique<AppSession>(*session, ui);
        app->setState(state);
        link.port = 1;
        link.openPort(ui, true);
    }
    RegisterDatabase& db() { return session->database(); }
    void addArticle(int n, const QString& name, qint32 price)
    {
        ArticleRecord a;
        a.number = n;
        a.name = name;
        a.price = price;
        a.barcode = QStringLiteral("0000000000000");
        ASSERT_TRUE(storeRecord(db(), layout::Articles, n, a));
    }
};

void pasteLines(QTextEdit* edit, int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("L") + QString::number(i));
    edit->setPlainText(lines.join(u'\n'));
}

} // namespace

TEST(TextsForms, AllRegistered)
{
    for (const char* name :
         {"TProgramowanieNaglowka", "TProgramowanieStopki", "TPobieranieNaglowka",
          "TProgramowanieNIP", "TProgramowanieZestawuRaportow", "TProgramowanieZegara",
          "TProgramowanieHaslaKierownika", "TProgramowanieKlawiszySzybkich2",
          "TProgramowanieKlawiszyFunkcyjnych", "TKlawiszeSzybkieSprzedazy",
          "TProgramowanieTablicyHalo", "TJednostkiTowarowe"})
        EXPECT_NE(FormRegistry::find(name), nullptr) << name;
}

TEST(ReceiptEditors, SevenLinesKeepSixOrThree)
{
    Env e;
    TProgramowanieNaglowka header(*e.app);
    header.show();
    EXPECT_EQ(header.windowTitle(), QStringLiteral("Edycja nagłówka"));
    pasteLines(header.RichEdit1, 7);
    EXPECT_EQ(header.RichEdit1->document()->blockCount(), 6);
    EXPECT_EQ(header.RichEdit1->toPlainText(), QStringLiteral("L1\nL2\nL3\nL4\nL5\nL6"));
    EXPECT_EQ(header.tallLines.size(), 6);

    TProgramowanieStopki footer(*e.app);
    footer.show();
    EXPECT_EQ(footer.windowTitle(), QStringLiteral("Programowane stopki"));
    pasteLines(footer.RichEdit1, 7);
    EXPECT_EQ(footer.RichEdit1->toPlainText(), QStringLiteral("L1\nL2\nL3"));
    EXPECT_TRUE(footer.tallLines.isEmpty());
}

TEST(ReceiptEditors, LargeTextAndHeaderSend)
{
    Env e;
    TProgramowanieNaglowka form(*e.app);
    form.setLink(&e.link);
    form.show();
    form.RichEdit1->setFocus();
    QTest::keyClicks(form.RichEdit1, QStringLiteral("ab"));
    form.boldAction->trigger(); // down
    QTest::keyClicks(form.RichEdit1, QStringLiteral("XYZ"));
    form.boldAction->trigger(); // up
    QTest::keyClicks(form.RichEdit1, QStringLiteral("c"));
    const auto ps = form.paragraphs();
    ASSERT_EQ(ps.size(), 1);
    ASSERT_EQ(ps[0].text.size(), 6);
    EXPECT_EQ(ps[0].align, receipt::Align::Center);
    QString mask;
    for (const auto& c : ps[0].text)
        mask += c.large ? u'L' : u'.';
    EXPECT_EQ(mask, QStringLiteral("..LLL."));

    form.tallLines[0]->setChecked(true);
    e.script.reads = {{}, registerAck(0)};
    form.sendButton->click();
    // "ab" + 3 x (01 letter) + "c" = 9 bytes: 17 spaces at the end, 16 in front.
    QByteArray block = QByteArray(16, ' ') + "ab\x01X\x01Y\x01Zc" + QByteArray(17, ' ');
    block += QByteArray(210, '\0');
    block += wireBytes({1, 1, 0, 0, 0, 0, 0});
    EXPECT_EQ(e.db().readBytes(144271, 259), block);
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'N', block));
    EXPECT_TRUE(e.session->isModified()); // the block written into the working copy is a change
}

// The header editor opens with the block stored in the database: large characters (0x01 before
// the character) and tall lines come back into the editor, the pad spaces do not. What is
// typed then stays across closing and reopening until another database is loaded.
TEST(ReceiptEditors, HeaderOpensWithTheStoredBlockAndKeepsWhatWasTyped)
{
    Env e(OperatingState::OfflineWithDatabase);
    QByteArray block = QByteArray(16, ' ') + "ab\x01X\x01Y\x01Zc" + QByteArray(17, ' ');
    block += QByteArray(18, ' ') + "Sklep" + QByteArray(19, ' ');
    block += QByteArray(168, '\0');
    block += wireBytes({2, 0, 1, 0, 0, 0, 0});
    ASSERT_TRUE(e.db().writeRecord(144271, block));

    TProgramowanieNaglowka form(*e.app);
    form.show();
    EXPECT_EQ(form.RichEdit1->toPlainText(), QStringLiteral("abXYZc\nSklep"));
    const auto ps = form.paragraphs();
    ASSERT_EQ(ps.size(), 2);
    QString mask;
    for (const auto& c : ps[0].text)
        mask += c.large ? u'L' : u'.';
    EXPECT_EQ(mask, QStringLiteral("..LLL."));
    EXPECT_EQ(ps[0].align, receipt::Align::Center);
    EXPECT_FALSE(form.tallLines[0]->isChecked());
    EXPECT_TRUE(form.tallLines[1]->isChecked());
    // Built again unchanged, the block is the one stored.
    EXPECT_EQ(receipt::buildBlock(ps, 6, {false, true, false, false, false, false}).encode(),
              block);

    QTextCursor end(form.RichEdit1->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("!"));
    form.tallLines[1]->setChecked(false);
    form.hide();
    form.show();
    EXPECT_EQ(form.RichEdit1->toPlainText(), QStringLiteral("abXYZc\nSklep!"));
    EXPECT_FALSE(form.tallLines[1]->isChecked());

    // Another database: the editor starts again from its (empty) header.
    form.hide();
    ASSERT_TRUE(e.session->createWorkingDatabase().ok);
    form.show();
    EXPECT_EQ(form.RichEdit1->toPlainText(), QString());
    EXPECT_FALSE(form.tallLines[1]->isChecked());
}

TEST(ReceiptEditors, FooterSendWithoutDatabaseStillCarriesTheText)
{
    Env e(OperatingState::OnlineWithoutDatabase);
    e.session->database().close();
    TProgramowanieStopki form(*e.app);
    form.setLink(&e.link);
    form.show();
    form.RichEdit1->setFocus();
    QTest::keyClicks(form.RichEdit1, QStringLiteral("OK"));
    form.confirm->setChecked(true);
    e.script.reads = {{}};
    form.sendButton->click();
    QByteArray block = QByteArray(20, ' ') + "OK" + QByteArray(20, ' ') + QByteArray(84, '\0');
    block += wireBytes({1, 0, 0, 0});
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'D', block + '\x01'));
}

TEST(ReceiptEditors, SaveAndLoadRoundTrip)
{
    Env e;
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("naglowek.rtf"));
    TProgramowanieNaglowka form(*e.app);
    form.show();
    QList<receipt::Paragraph> ps(3);
    const QString texts[] = {QStringLiteral("Sklep „Łąka”"), QStringLiteral("żółw €"),
                             QStringLiteral("{x}\\y")};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < texts[i].size(); ++k)
            ps[i].text.append({texts[i][k], (k + i) % 3 == 0});
    form.setParagraphs(ps);
    form.chooseSaveFile = [&] { return path; };
    form.saveAction->trigger();
    ASSERT_TRUE(QFile::exists(path));

    TProgramowanieNaglowka other(*e.app);
    other.show();
    other.chooseOpenFile = [&] { return path; };
    other.openAction->trigger();
    const auto back = other.paragraphs();
    ASSERT_EQ(back.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].align, receipt::Align::Center);
        ASSERT_EQ(back[i].text.size(), ps[i].text.size());
        for (int k = 0; k < ps[i].text.size(); ++k) {
            EXPECT_EQ(back[i].text[k].c, ps[i].text[k].c);
            EXPECT_EQ(back[i].text[k].large, ps[i].text[k].large);
        }
    }
    EXPECT_TRUE(e.ui.messages.isEmpty());

    // Saving over it asks; No keeps the file as it was.
    QFile::resize(path, 5);
    e.ui.answers = {TransferUi::Answer::No};
    form.saveAction->trigger();
    EXPECT_EQ(e.ui.questions, QStringList{QStringLiteral("Plik ") + path +
                                          QStringLiteral(" już istnieje.Kontynuować? ")});
    EXPECT_EQ(QFileInfo(path).size(), 5);
    e.ui.answers = {TransferUi::Answer::Yes};
    form.saveAction->trigger();
    EXPECT_GT(QFileInfo(path).size(), 5);

    // A save that cannot be written whole (a full disk) leaves the earlier file as it was.
    QFile::resize(path, 5);
    {
        FileSizeLimit full(64);
        e.ui.answers = {TransferUi::Answer::Yes};
        form.saveAction->trigger();
    }
    EXPECT_EQ(QFileInfo(path).size(), 5);
    EXPECT_EQ(e.ui.messages,
              QStringList{QStringLiteral("Nie mogę zapisać do pliku") + path + u'.'});
    e.ui.messages.clear();

    // A file that is not there, or not RTF.
    const QString missing = files.filePath(QStringLiteral("brak.rtf"));
    other.chooseOpenFile = [&] { return missing; };
    other.openAction->trigger();
    EXPECT_EQ(e.ui.messages.last(), QStringLiteral("Nie mogę otworzyc pliku") + missing + u'.');
    const QString unwritable = files.filePath(QStringLiteral("nie/ma/katalogu.rtf"));
    form.chooseSaveFile = [&] { return unwritable; };
    form.saveAction->trigger();
    EXPECT_EQ(e.ui.messages.last(),
              QStringLiteral("Nie mogę zapisać do pliku") + unwritable + u'.');
}

TEST(ReceiptEditors, LibreOfficeFileInTheFooterEditor)
{
    Env e;
    TProgramowanieStopki form(*e.app);
    form.show();
    EXPECT_TRUE(form.loadFile(QStringLiteral(TEXTS_DATA_DIR "/naglowek.rtf")));
    // Four lines in the file, three in the footer; alignment kept, "ŻABKA" large.
    const auto ps = form.paragraphs();
    ASSERT_EQ(ps.size(), 3);
    EXPECT_EQ(ps[0].align, receipt::Align::Center);
    EXPECT_EQ(ps[2].align, receipt::Align::Right);
    EXPECT_TRUE(ps[0].text[6].large);
    EXPECT_FALSE(ps[0].text[5].large);
    EXPECT_EQ(form.RichEdit1->toPlainText(),
              QStringLiteral("SKLEP ŻABKA s.c.\nul. Źródlana 5, 00-950 Łódź\nNIP 123-456-78-90"));
}

TEST(HeaderReadForm, ShowsTheSixLines)
{
    Env e;
    TPobieranieNaglowka form(*e.app);
    form.setLink(&e.link);
    form.show();
    QByteArray block = QByteArray(20, ' ') + "AB" + QByteArray(20, ' ') + QByteArray(217, '\0');
    e.script.reads = {{}, wireFrame(1, 0x8001, 'N', block)};
    form.readButton->click();
    EXPECT_EQ(form.RichEdit1->toPlainText(),
              QString(20, u' ') + QStringLiteral("AB") + QString(20, u' ') + QString(5, u'\n'));
}

TEST(SmallForms, NipClockPasswordUnits)
{
    Env e;
    TProgramowanieNIP nipForm(*e.app);
    nipForm.setLink(&e.link);
    nipForm.show();
    EXPECT_EQ(nipForm.Edit1->maxLength(), 16);
    QTest::keyClicks(nipForm.Edit1, QStringLiteral("12345678"));
    e.script.reads = {{}, registerAck(0)};
    nipForm.programButton->click();
    EXPECT_EQ(e.script.written,
              wireFrame(1, 0x8001, 'I', QByteArray("1234567800") + QByteArray(6, '\0')));
    EXPECT_TRUE(nipForm.isEnabled());

    e.script.written.clear();
    TProgramowanieZegara clock(*e.app);
    clock.setLink(&e.link);
    clock.show();
    EXPECT_EQ(clock.date->date(), QDate::currentDate());
    clock.date->setDate(QDate(2005, 3, 7));
    clock.time->setTime(QTime(14, 5, 9));
    e.script.reads = {{}, registerAck(0)};
    clock.sendButton->click();
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'C', wireBytes({0xD5, 7, 3, 7, 14, 5, 9, 0})));

    e.script.written.clear();
    TProgramowanieHaslaKierownika password(*e.app);
    password.setLink(&e.link);
    password.show();
    EXPECT_EQ(password.windowTitle(), QStringLiteral("Programowanie hasla kierownika"));
    QTest::keyClicks(password.oldPassword, QStringLiteral("12345678901")); // cut to 10
    QTest::keyClicks(password.newPassword, QStringLiteral("xy"));
    e.script.reads = {{}};
    QTest::keyClick(password.newPassword, Qt::Key_Return);
    EXPECT_EQ(e.script.written,
              wireFrame(1, 0x8001, 'H', QByteArray("1234567890x        y") + '\0'));

    e.script.written.clear();
    TJednostkiTowarowe unitsForm(*e.app);
    unitsForm.setLink(&e.link);
    unitsForm.show();
    e.script.reads = {{}, wireFrame(1, 0x8001, 'J', QByteArray("kg l  op "))};
    unitsForm.refreshButton->click();
    EXPECT_EQ(unitsForm.units[0]->text(), QStringLiteral("kg "));
    unitsForm.units[0]->setText(QStringLiteral("kg"));
    unitsForm.units[1]->setText(QString());
    e.script.reads = {{}};
    e.script.written.clear();
    unitsForm.sendButton->click();
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'q', QByteArray("kg    op ")));
    // A refresh without an answer keeps the fields.
    e.script.reads = {{}};
    unitsForm.refreshButton->click();
    EXPECT_EQ(unitsForm.units[0]->text(), QStringLiteral("kg"));
}

TEST(SmallForms, ReportSetAllFull)
{
    // With a database the stored set is shown and saved, online or not.
    for (const OperatingState state :
         {OperatingState::OfflineWithDatabase, OperatingState::OnlineWithDatabase}) {
        Env e(state);
        e.db().writeRecord(145013 + 3, QByteArray("\x02"));
        e.db().writeRecord(145013 + 17, QByteArray("\x01"));
        TProgramowanieZestawuRaportow form(*e.app);
        form.show();
        EXPECT_EQ(form.saveButton->text(), QStringLiteral("Zapisz"));
        EXPECT_EQ(form.rows[3]->checkedId(), 2);
        EXPECT_EQ(form.rows[17]->checkedId(), 1);
        EXPECT_EQ(form.rows[0]->checkedId(), 0);
        form.saveButton->click(); // saved unchanged: the stored set stays
        EXPECT_EQ(e.db().readBytes(145013 + 3, 1), QByteArray("\x02"));
        EXPECT_EQ(e.db().readBytes(145013 + 17, 1), QByteArray("\x01"));
        for (QButtonGroup* g : form.rows)
            g->button(1)->click();
        form.saveButton->click();
        EXPECT_EQ(e.db().readBytes(145013, 19), QByteArray(19, '\x01'));
        EXPECT_TRUE(e.session->isModified());
    }

    Env online(OperatingState::OnlineWithoutDatabase);
    TProgramowanieZestawuRaportow second(*online.app);
    second.show();
    EXPECT_EQ(second.saveButton->text(), QStringLiteral("Wyslij"));
}

TEST(SmallForms, HaloTwelveAndAHalfAndEmptyRefusal)
{
    Env e(OperatingState::OfflineWithDatabase);
    TProgramowanieTablicyHalo form(*e.app);
    form.setLink(&e.link);
    form.show();
    EXPECT_EQ(form.fields[0]->text(), QStringLiteral("1,00"));
    EXPECT_EQ(form.fields[8]->text(), QStringLiteral("500,00"));
    EXPECT_FALSE(form.sendButton->isEnabled());
    form.fields[0]->setText(QStringLiteral("12,5"));
    QTest::keyClick(form.fields[0], Qt::Key_Return);
    EXPECT_EQ(e.db().readBytes(149064, 4), wireBytes({0xE2, 0x04, 0, 0}));
    EXPECT_TRUE(e.session->isModified());

    e.session->setModified(false);
    form.fields[0]->setText(QStringLiteral("3"));
    form.fields[4]->setText(QString());
    form.saveButton->click();
    EXPECT_EQ(e.ui.messages, QStringList{QStringLiteral("Błędnie wypełnione pola!")});
    EXPECT_EQ(e.db().readBytes(149064, 4), wireBytes({0xE2, 0x04, 0, 0}));
    EXPECT_FALSE(e.session->isModified());

    Env on;
    TProgramowanieTablicyHalo sendForm(*on.app);
    sendForm.setLink(&on.link);
    sendForm.show();
    EXPECT_TRUE(sendForm.sendButton->isEnabled());
    sendForm.fields[8]->setText(QString());
    on.script.reads = {{}};
    sendForm.sendButton->click();
    EXPECT_TRUE(on.script.written.isEmpty()); // refused fields send nothing
    sendForm.fields[8]->setText(QStringLiteral("7"));
    on.script.reads = {{}, registerAck(0)};
    sendForm.sendButton->click();
    ASSERT_EQ(on.script.written.size(), 45);
    EXPECT_EQ(on.script.written.mid(7 + 32, 4), wireBytes({0xBC, 0x02, 0, 0}));
}

TEST(KeyForms, FunctionKeyCodes)
{
    Env e;
    TProgramowanieKlawiszyFunkcyjnych form(*e.app);
    form.setLink(&e.link);
    form.show();
    EXPECT_EQ(form.functions[0]->currentText(), QStringLiteral("Brak funkcji"));
    form.cashier->setCurrentIndex(2);
    form.functions[4]->setCurrentIndex(16);
    e.script.reads = {{}, registerAck(0)};
    form.sendButtons[4]->click();
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'O', wireBytes({3, 5, 25, 0})));

    e.script.written.clear();
    e.script.reads = {{}, registerAck(0), {}, registerAck(1)};
    form.sendAllButton->click();
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'O', wireBytes({3, 1, 16, 0})) +
                                    wireFrame(1, 0x8001, 'O', wireBytes({3, 2, 16, 0})));
    EXPECT_FALSE(form.waitLabel->isVisible());
}

TEST(KeyForms, SalesFunctionOnlyF1)
{
    Env e;
    TKlawiszeSzybkieSprzedazy form(*e.app);
    form.setLink(&e.link);
    form.show();
    form.functions[0]->setCurrentIndex(2); // "Szybkie storno"
    form.cashier->setCurrentIndex(9);
    form.kind->setCurrentIndex(1);
    form.number->setCurrentIndex(19);
    e.script.reads = {{}};
    form.sendButtons[0]->click();
    EXPECT_EQ(e.script.written, wireFrame(1, 0x8001, 'X', wireBytes({10, 1, 3, 1, 20})));
    e.script.written.clear();
    form.sendButtons[1]->click();
    form.sendAllButton->click();
    form.refreshButton->click();
    EXPECT_TRUE(e.script.written.isEmpty());
}

TEST(QuickKeysForm, ListsAndDrops)
{
    Env e(OperatingState::OfflineWithDatabase);
    for (int n = 1; n <= 6; ++n)
        e.addArticle(n, QStringLiteral("Towar") + QString::number(n), 100 * n);
    CashierRecord c;
    c.number = 2;
    c.name = QStringLiteral("Anna");
    ASSERT_TRUE(storeRecord(e.db(), layout::Cashiers, 2, c));
    TProgramowanieKlawiszySzybkich2 form(*e.app);
    form.show();
    ASSERT_EQ(form.articles->count(), 6);
    EXPECT_EQ(form.articles->item(0)->text(),
              QStringLiteral("   1. Towar1") + QString(21, u' ') + QStringLiteral("1,00 A"));
    ASSERT_EQ(form.cashier->count(), 10);
    EXPECT_EQ(form.cashier->itemText(2), QStringLiteral("3"));
    EXPECT_EQ(form.cashier->itemText(1), QStringLiteral("2 Anna"));
    EXPECT_FALSE(form.sendAllButton->isEnabled());

    form.cashier->setCurrentIndex(1);
    for (int n = 1; n <= 6; ++n)
        EXPECT_TRUE(form.addArticle(3, n));
    // The sixth replaced the fifth.
    QuickKeyRecord r = quickkeys::load(e.db(), 2, 3);
    EXPECT_EQ(r.cashier, 2);
    EXPECT_EQ(r.key, 3);
    EXPECT_EQ(r.nextEntry, 5);
    EXPECT_EQ(r.entries[4].article, 6);
    EXPECT_EQ(r.entries[3].article, 4);
    ASSERT_EQ(form.keys[2]->count(), 5);
    EXPECT_EQ(form.keys[2]->item(4)->text(), QStringLiteral("Towar6     1,0000"));
    EXPECT_TRUE(e.session->isModified());

    // Closed and opened again: the chosen cashier, the typed quantity and the keys stay.
    form.quantity->setText(QStringLiteral("3"));
    form.hide();
    form.show();
    EXPECT_EQ(form.cashier->currentIndex(), 1);
    EXPECT_EQ(form.quantity->text(), QStringLiteral("3"));
    EXPECT_EQ(form.keys[2]->count(), 5);

    // Quantities: 0,5 is 5000, 100 and text are refused.
    form.quantity->setText(QStringLiteral("0.5"));
    EXPECT_TRUE(form.addArticle(1, 2));
    EXPECT_EQ(quickkeys::load(e.db(), 2, 1).entries[0].quantity, 5000);
    EXPECT_EQ(form.keys[0]->item(0)->text(), QStringLiteral("Towar2     0,5000"));
    form.quantity->setText(QStringLiteral("100"));
    EXPECT_FALSE(form.addArticle(1, 3));
    form.quantity->setText(QStringLiteral("0"));
    EXPECT_FALSE(form.addArticle(1, 3));
    form.quantity->setText(QStringLiteral("abc"));
    EXPECT_FALSE(form.addArticle(1, 3));
    EXPECT_EQ(form.quantity->selectedText(), QStringLiteral("abc"));
    EXPECT_EQ(quickkeys::load(e.db(), 2, 1).nextEntry, 1);

    // The data a drag from the article list carries, dropped onto F2.
    form.quantity->setText(QStringLiteral("2"));
    form.articles->setCurrentRow(3);
    const std::unique_ptr<QMimeData> article(
        form.articles->model()->mimeData({form.articles->currentIndex()}));
    ASSERT_TRUE(article);
    EXPECT_EQ(article->data(quickkeydrag::ArticleMime), "4");
    EXPECT_FALSE(form.bin->takeDrop(article.get())); // the bin takes key lines only
    EXPECT_TRUE(form.keys[1]->takeDrop(article.get()));
    EXPECT_EQ(quickkeys::load(e.db(), 2, 2).entries[0], (QuickKeyRecord::Entry{4, 20000}));

    // The second line of F3 dropped on the bin: entry 1 emptied, next entry stays.
    form.keys[2]->setCurrentRow(1);
    const std::unique_ptr<QMimeData> line(
        form.keys[2]->model()->mimeData({form.keys[2]->currentIndex()}));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->data(quickkeydrag::EntryMime), "3:1");
    EXPECT_FALSE(form.keys[0]->takeDrop(line.get())); // a key takes articles only
    EXPECT_TRUE(form.bin->takeDrop(line.get()));
    r = quickkeys::load(e.db(), 2, 3);
    EXPECT_EQ(r.entries[1], (QuickKeyRecord::Entry{0, 0}));
    EXPECT_EQ(r.nextEntry, 5);
    EXPECT_EQ(form.keys[2]->count(), 4);

    // "Kończenie paragonu" goes straight into byte 33.
    form.endReceipt[6]->click();
    EXPECT_EQ(e.db().readByteAt(QuickKeyRecord::offsetOf(2, 7) + 33), 1);
}

TEST(QuickKeysForm, TableRepairOnArticle2001)
{
    Env e(OperatingState::OfflineWithDatabase);
    QByteArray bad(34, '\0');
    bad[0] = 1;
    bad[1] = 4;
    bad[2] = 1;
    bad[3] = char(2001 & 0xFF);
    bad[4] = char(2001 >> 8);
    e.db().writeRecord(QuickKeyRecord::offsetOf(1, 4), bad);
    e.db().writeRecord(QuickKeyRecord::offsetOf(9, 9), QByteArray("\x09\x09\x01\x05", 4));
    TProgramowanieKlawiszySzybkich2 form(*e.app);
    form.show();
    EXPECT_EQ(e.ui.messages,
              QStringList{QStringLiteral("Wykryto błąd bazy klawiszy szybkich! Klawisze szybkie "
                                         "zostały skasowane, a baza danych naprawiona.")});
    EXPECT_EQ(e.db().readBytes(145060, 3400), QByteArray(3400, '\0'));
    EXPECT_TRUE(e.session->isModified());
    EXPECT_EQ(form.keys[3]->count(), 0);
}

TEST(QuickKeysForm, SendOneAndAll)
{
    Env e;
    e.addArticle(1, QStringLiteral("A"), 100);
    TProgramowanieKlawiszySzybkich2 form(*e.app);
    form.setLink(&e.link);
    form.show();
    EXPECT_TRUE(form.sendAllButton->isEnabled());
    form.addArticle(5, 1);
    e.script.reads = {{}, registerAck(0)};
    form.sendKey(5);
    ASSERT_EQ(e.script.written.size(), 44);
    EXPECT_EQ(e.script.written.mid(7, 5), wireBytes({1, 5, 1, 1, 0}));
    e.script.written.clear();
    e.script.reads = {{}, registerAck(0), registerAck(0), registerAck(2)};
    form.sendAllKeys();
    EXPECT_EQ(e.script.written.size(), 3 * 44);
    EXPECT_TRUE(form.isEnabled());
}
