#pragma once

#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// A new register database in a private working copy, with helpers to put articles in.
struct TestDb {
    TestDb() : session(dir.filePath(QStringLiteral("BDTemp.bdt")))
    {
        const DbResult r = session.startUp();
        EXPECT_TRUE(r.ok) << r.message.toStdString();
    }
    RegisterDatabase& db() { return session.database(); }

    static ArticleRecord article(int number, const QString& name, qint32 price = 100)
    {
        ArticleRecord r;
        r.number = number;
        r.name = name;
        r.price = price;
        r.barcode = QStringLiteral("0000000000000");
        return r;
    }
    void put(const ArticleRecord& r)
    {
        ASSERT_TRUE(storeRecord(db(), layout::Articles, r.number, r));
    }
    QByteArray articleBytes(int number)
    {
        return db().readBytes(layout::Articles.offsetOf(number), layout::Articles.recordSize);
    }
    QByteArray table() { return readTable(db(), layout::Articles); }

    QTemporaryDir dir;
    DatabaseSession session;
};
