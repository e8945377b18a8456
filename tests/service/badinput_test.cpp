// Bad input in the settings form: every number field given empty, non-numeric, negative,
// overflowing and foreign text. A refused block sends nothing at all.
#include "app/appsession.h"
#include "database/databasesession.h"
#include "fakeline.h"
#include "fakeui.h"
#include "link/link.h"
#include "service/forms/tdodatkoweustawienia.h"

#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

struct Bench {
    Bench()
    {
        link.port = 1;
        link.openPort(ui, true);
        script.written.clear();
        form.setLink(link);
        // Values the register takes in every field; each case spoils one of them.
        for (int i : {3, 4, 7, 15, 16})
            form.number(i)->setText(QStringLiteral("30"));
    }
    QTemporaryDir dir;
    DatabaseSession db{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    FakeUi ui;
    AppSession app{db, ui};
    FakeLineScript script;
    Link link{fakeFactory(script)};
    TDodatkoweUstawienia form{app};
};

QString notInteger(const QString& typed)
{
    return u8("'") + typed + u8("' nie jest poprawną liczbą całkowitą.");
}

QString outOfRange(const QString& typed, const char* caption, const char* max)
{
    return u8("Wartość '") + typed + u8("' w polu „") + u8(caption) +
           u8("” jest poza zakresem 0-") + u8(max) + u8(".");
}

struct Field {
    int index;
    const char* caption;
    const char* max;
};

const Field Fields[] = {
    {3, "Czas wyłączenia bez zasilacza (5-60min)", "255"},
    {4, "Długość impulsu ster. szuflady (0-255ms)", "255"},
    {7, "Maksymalna wartość paragonu (0-brak ograniczenia)", "2147483647"},
    {15, "Podświetlenie panelu operatora (5-100)%", "255"},
    {16, "Podświetlenie panelu klienta (5-100)%", "255"},
};

TEST(BadInputSettings, EveryNumberFieldRefusesWhatItCannotCarry)
{
    const char* const typed[] = {
        "", "ab", "-5", "256", "😀", "Привет", "1.5", "99999999999999999999", "-1", "2147483648"};
    for (const Field& f : Fields)
        for (const char* t : typed) {
            Bench b;
            QLineEdit* edit = b.form.number(f.index);
            edit->setText(u8(t));
            const QString shown = edit->text(); // cut to the field's length
            SCOPED_TRACE(QString(QString::number(f.index) + u' ' + shown).toStdString());
            bool isInt = false;
            const qint64 v = shown.trimmed().toLongLong(&isInt);
            const bool fitsInt = isInt && v >= std::numeric_limits<qint32>::min() &&
                                 v <= std::numeric_limits<qint32>::max();
            const qint64 max = QByteArray(f.max).toLongLong();
            b.form.Button1Click();
            if (!fitsInt) {
                EXPECT_EQ(b.ui.messages, QStringList{notInteger(shown)});
                EXPECT_TRUE(b.script.written.isEmpty());
            } else if (v < 0 || v > max) {
                EXPECT_EQ(b.ui.messages, QStringList{outOfRange(shown, f.caption, f.max)});
                EXPECT_TRUE(b.script.written.isEmpty());
            } else {
                // In range (e.g. "25" cut from "256" in the two-character field): the block
                // goes out, 31 bytes with the value in its place.
                ASSERT_GE(b.script.written.size(), 31);
            }
        }
}

TEST(BadInputSettings, TheLimitsThemselvesAreSent)
{
    Bench b;
    b.form.number(4)->setText(QStringLiteral("255"));
    b.form.number(15)->setText(QStringLiteral("0"));
    b.form.number(7)->setText(QStringLiteral("2147483647"));
    b.form.Button1Click();
    ASSERT_GE(b.script.written.size(), 31);
    const QByteArray frame = b.script.written.left(31);
    EXPECT_EQ(quint8(frame[7 + 4]), 255);
    EXPECT_EQ(quint8(frame[7 + 18]), 0);
    EXPECT_EQ(frame.mid(14, 4), QByteArray("\xFF\xFF\xFF\x7F"));
}

} // namespace
