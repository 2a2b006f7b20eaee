// Comma text: reading, writing and reading back.
#include "base/uCommaText.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

TEST(CommaText, ReadsItemsAsDescribed)
{
    EXPECT_EQ(ReadCommaText("1,,2"), (QStringList{"1", "", "2"}));
    EXPECT_EQ(ReadCommaText("1, 2"), (QStringList{"1", "2"}));
    EXPECT_EQ(ReadCommaText("1 2"), (QStringList{"1", "2"}));
    EXPECT_EQ(ReadCommaText("  \t "), QStringList{});
    EXPECT_EQ(ReadCommaText(""), QStringList{});
    EXPECT_EQ(ReadCommaText("1,"), (QStringList{"1", ""}));
    EXPECT_EQ(ReadCommaText("1, "), QStringList{"1"});
    EXPECT_EQ(ReadCommaText(",1"), (QStringList{"", "1"}));
    EXPECT_EQ(ReadCommaText(R"("a ""b"", c",d)"), (QStringList{R"(a "b", c)", "d"}));
    EXPECT_EQ(ReadCommaText(R"("open, never closed)"), QStringList{"open, never closed"});
    EXPECT_EQ(ReadCommaText(R"("""")"), QStringList{"\""});
    EXPECT_EQ(ReadCommaText(QString("1,2") + QChar(0) + "3,4"), (QStringList{"1", "2"}));
}

TEST(CommaText, WritesAndReadsBack)
{
    EXPECT_EQ(WriteCommaText({}), "");
    EXPECT_EQ(WriteCommaText({""}), "\"\"");
    EXPECT_EQ(WriteCommaText({"1", "", "3"}), "1,,3");
    EXPECT_EQ(WriteCommaText({"a b", "c,d", "e\"f", "1,2"}), R"("a b","c,d","e""f","1,2")");
    const QStringList tricky{"x", "", "\"", " lead", "tab\there", "1,1,3"};
    EXPECT_EQ(ReadCommaText(WriteCommaText(tricky)), tricky);
}

// The parameter hint's entries are comma text too: every element quoted,
// because each holds a blank.
TEST(CommaText, ReadsParameterHintEntries)
{
    EXPECT_EQ(ReadCommaText("\"int a\",\"string s\""), (QStringList{"int a", "string s"}));
    EXPECT_EQ(ReadCommaText("\"say \"\"hi\"\", you\",x"), (QStringList{"say \"hi\", you", "x"}));
    EXPECT_EQ(ReadCommaText("\"<ohne Parameter>\""), QStringList{"<ohne Parameter>"});
}
