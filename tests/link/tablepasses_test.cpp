#include "link/tablepasses.h"

#include <QList>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// A frame of a pass: the record it carried (0: it failed its check) and which copy of the
// record's bytes ('b': a copy the check byte did not catch as damaged).
struct F {
    int record;
    char copy = 'a';
};
struct P {
    QList<F> frames; // numbered 1, 2, 3... as the register numbers them
    bool end;        // the last one carried the end marker
};

tableread::Passes passesOf(const QList<P>& list)
{
    tableread::Passes passes;
    for (const P& p : list) {
        tableread::Pass pass;
        for (int i = 0; i < p.frames.size(); ++i) {
            const F& f = p.frames[i];
            if (f.record == 0)
                pass.skip();
            else
                pass.take(i + 1, f.record, QByteArray(1, f.copy) + QByteArray::number(f.record),
                          p.end && i + 1 == p.frames.size());
        }
        passes.add(pass);
    }
    return passes;
}

// What is still missing after the passes, as the read names it ("" when the table is whole).
TEST(TablePasses, MissingRecordsAreNamedByNumberOrByPlace)
{
    struct Case {
        const char* name;
        QList<P> passes;
        const char* missing; // the places after "Nie odczytano rekordów: "
    };
    const Case cases[] = {
        {"one whole pass", {{{{1}, {2}, {3}}, true}}, ""},
        {"a damaged frame read again", {{{{1}, {0}, {3}}, true}, {{{1}, {2}, {3}}, true}}, ""},
        {"a damaged frame between neighbours", {{{{1}, {0}, {3}}, true}}, "nr 2"},
        {"two damaged frames, free slots around",
         {{{{2}, {0}, {0}, {9}}, true}},
         "2 po rekordzie 2"},
        {"the first frame damaged", {{{{0}, {2}, {3}}, true}}, "nr 1"},
        {"the first frame damaged, free slots before",
         {{{{0}, {5}, {7}}, true}},
         "1 przed rekordem 5"},
        {"a pass broken off", {{{{1}, {2}}, false}}, "po rekordzie 2"},
        {"the rest of a broken pass came in the next",
         {{{{1}, {2}}, false}, {{{1}, {0}, {3}, {4}}, true}},
         ""},
        {"the gap one pass left filled in by another",
         {{{{10}, {0}, {20}}, true}, {{{0}, {15}}, false}},
         ""},
        {"two passes disagree on a record",
         {{{{1}, {2}, {3}}, true}, {{{1}, {2, 'b'}, {3}}, true}},
         "nr 2"},
        {"a third pass settles it",
         {{{{1}, {2}, {3}}, true}, {{{1}, {2, 'b'}, {3}}, true}, {{{1}, {2}, {3}}, true}},
         ""},
        {"many places", {{{{1}, {0}, {0}, {4}, {0}, {6}}, true}}, "nr 2-3, 5"},
        {"nothing good came", {{{{0}, {0}}, false}}, "żadnego"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const tableread::Passes passes = passesOf(c.passes);
        const QString text = tableread::missingText(passes.missing());
        EXPECT_EQ(passes.whole(), text.isEmpty()) << text.toStdString();
        const QString want = QString::fromUtf8(c.missing);
        if (want.isEmpty())
            EXPECT_EQ(text, QString());
        else if (want == QStringLiteral("żadnego"))
            EXPECT_EQ(text, QStringLiteral("Nie odczytano żadnego rekordu."));
        else
            EXPECT_EQ(text, QStringLiteral("Nie odczytano rekordów: ") + want + u'.');
    }
    // The copy most passes agree on is the one kept.
    const auto records = passesOf(cases[10].passes).records();
    EXPECT_EQ(records.at(2), QByteArray("a2"));
}

TEST(TablePasses, RereadLineCountsFramesInPolish)
{
    EXPECT_EQ(tableread::rereadText(0), QString());
    EXPECT_EQ(tableread::rereadText(1), QStringLiteral("Odczytano ponownie 1 ramkę."));
    EXPECT_EQ(tableread::rereadText(3), QStringLiteral("Odczytano ponownie 3 ramki."));
    EXPECT_EQ(tableread::rereadText(5), QStringLiteral("Odczytano ponownie 5 ramek."));
    EXPECT_EQ(tableread::rereadText(12), QStringLiteral("Odczytano ponownie 12 ramek."));
    EXPECT_EQ(tableread::rereadText(22), QStringLiteral("Odczytano ponownie 22 ramki."));
}

// A frame whose place and record number cannot both be right is not kept.
TEST(TablePasses, FramesThatDoNotFitTheOrderCountAsDamaged)
{
    tableread::Pass pass;
    EXPECT_TRUE(pass.take(1, 4, "a", false));
    EXPECT_FALSE(pass.take(2, 4, "b", false)); // a number already behind
    EXPECT_FALSE(pass.take(4, 5, "c", false)); // no room for frame 3 between 4 and 5
    EXPECT_TRUE(pass.take(3, 7, "d", true));
    EXPECT_FALSE(pass.take(5, 9, "e", false)); // after the end marker
    EXPECT_EQ(pass.damaged(), 3);
    EXPECT_TRUE(pass.reachedEnd());
    EXPECT_EQ(pass.frames().size(), 2u);
}

} // namespace
