#pragma once

#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"
#include "tables/paymentformrecord.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A new database in a private working copy, with helpers that put records into it.
struct TestDb {
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;

    TestDb()
    {
        session = std::make_unique<DatabaseSession>(dir.filePath(QStringLiteral("BDTemp.bdt")));
        EXPECT_TRUE(session->createWorkingDatabase().ok);
    }
    RegisterDatabase& db() { return session->database(); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    template <class Record> void put(const TableLayout& table, int slot, const Record& r)
    {
        ASSERT_TRUE(storeRecord(db(), table, slot, r));
    }
    QByteArray table(const TableLayout& t) { return readTable(db(), t); }
};

inline ArticleRecord article(int number, const QString& name, char vat, qint32 price,
                             const QString& barcode, int group, int tandem, bool fixed, bool whole,
                             int halo, int unit)
{
    ArticleRecord r;
    r.number = number;
    r.name = name;
    r.vat = vat;
    r.price = price;
    r.barcode = barcode;
    r.group = group;
    r.tandem = tandem;
    r.fixedPrice = fixed;
    r.wholeQuantity = whole;
    r.halo = halo;
    r.unit = unit;
    return r;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The known records the export tests spell out byte by byte.
inline const QString FullArticleName = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop");
inline const QString FullShortName = QStringLiteral("Zażółć gęślą jaźń 123"); // 21 characters

inline void fillKnown(TestDb& t)
{
    t.put(layout::Articles, 1,
          article(1, QStringLiteral("Mleko"), 'A', 250, QStringLiteral("5900000000001"), 1, 0,
                  false, true, 0, 3));
    t.put(layout::Articles, 7,
          article(7, QStringLiteral("Chleb żytni"), 'B', 0, QStringLiteral("123"), 2, 3, true,
                  false, 9, 0));
    t.put(layout::Articles, 2000,
          article(2000, FullArticleName, 'G', 99999999, QString(), 20, 20, true, true, 1, 9));

    t.put(layout::Packaging, 1, PackagingRecord{1, QStringLiteral("Butelka 0,5 l"), 50, false});
    t.put(layout::Packaging, 20, PackagingRecord{20, QStringLiteral("Skrzynka"), 1250, true});

    t.put(layout::Cashiers, 3,
          CashierRecord{3,
                        QStringLiteral("Anna Łąka"),
                        QStringLiteral("12"),
                        {true, false, true, false, true, false, true}});
    // Slot 11 lies beyond the ten cashiers that take part.
    t.put(layout::Cashiers, 11, CashierRecord{11, QStringLiteral("Nikt"), QString(), {}});

    t.put(layout::Groups, 5, GroupRecord{5, QStringLiteral("Nabiał")});
    t.put(layout::Groups, 20, GroupRecord{20, FullShortName});

    t.put(layout::Discounts, 1, DiscountRecord{1, QStringLiteral("Rabat stały"), 0, 0, 500});
    t.put(layout::Discounts, 2, DiscountRecord{2, QStringLiteral("Opłata"), 1, 1, 5});

    t.put(layout::PaymentForms, 1, PaymentFormRecord{1, QStringLiteral("Karta"), 1});
    t.put(layout::PaymentForms, 10, PaymentFormRecord{10, QStringLiteral("Bon towarowy"), 3});

    t.put(layout::Currencies, 1,
          CurrencyRecord{1, QStringLiteral("Euro"), 45678000, 7, QStringLiteral("EUR")});
    t.put(layout::Currencies, 2,
          CurrencyRecord{2, QStringLiteral("Jen"), 5, 2, QStringLiteral("JPY")});
    t.put(layout::Currencies, 3,
          CurrencyRecord{3, QStringLiteral("Korona"), 12345678, 0, QStringLiteral("CZ")});
}
