#include "tables/articlerecord.h"
#include "tables/packagingrecord.h"

#include <gtest/gtest.h>

namespace {

TEST(PackagingRecord, Prices)
{
    const struct {
        const char* typed;
        qint32 stored; // 0: refused
        const char* message;
    } cases[] = {
        {"0,50", 50, nullptr},
        {"0.29", 29, nullptr},
        {"1,999", 199, nullptr},
        {"12", 1200, nullptr},
        {"0", 0, "     Cena musi mieć wartość niezerową     "},
        {"0,001", 0, "     Cena musi mieć wartość niezerową     "},
        {"-1", 0, "     Błędna wartość w polu Cena     "},
        {"abc", 0, "     Błędna wartość w polu Cena     "},
        {"99999999999", 0, "     Błędna wartość w polu Cena     "},
    };
    for (const auto& c : cases) {
        const auto v =
            validatePackaging({4, QStringLiteral("Skrzynka"), QString::fromUtf8(c.typed)});
        if (c.stored) {
            ASSERT_TRUE(v.ok()) << c.typed;
            EXPECT_EQ(v.record->price, c.stored) << c.typed;
            EXPECT_EQ(v.record->number, 4);
        } else {
            ASSERT_FALSE(v.ok()) << c.typed;
            EXPECT_EQ(v.failure->message, QString::fromUtf8(c.message)) << c.typed;
        }
    }
}

TEST(PackagingRecord, Hints)
{
    const auto v = validatePackaging({1, QString(), QString()});
    ASSERT_EQ(v.hints.size(), 2);
    EXPECT_EQ(v.hints[0].message, QStringLiteral(" Wprowadź nazwę!"));
    EXPECT_EQ(v.hints[1].message, QStringLiteral(" Wprowadź cenę!"));
    EXPECT_TRUE(validatePackaging({1, QStringLiteral("   "), QStringLiteral("1")}).ok());
}

TEST(PackagingRecord, LinkedArticles)
{
    QByteArray articles(layout::Articles.bytes(), '\0');
    for (int n : {2, 5, 9}) {
        ArticleRecord a;
        a.number = n;
        a.name = QStringLiteral("x");
        a.tandem = n == 9 ? 4 : 3;
        articles.replace((n - 1) * 68, 68, a.encode());
    }
    EXPECT_EQ(articlesWithTandem(articles, 3), (QList<int>{2, 5}));
    EXPECT_EQ(articlesWithTandem(articles, 0), QList<int>{});
    QByteArray table(layout::Packaging.bytes(), '\0');
    table[0] = 1;
    EXPECT_EQ(lowestFree(table, layout::Packaging, layout::Packaging.count), 2);
}

} // namespace
