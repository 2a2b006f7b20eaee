// Scopes with many names, where declarations and variables are found through
// an index instead of a scan: the innermost declaration wins, and a function's
// variables are found again by name on every call.
#include "sheep/uSheepRun.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

namespace {

// count lines made from pattern, with %1 standing for 0, 1, ...
QStringList numbered(const QString &pattern, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(pattern.arg(i));
    return lines;
}

} // namespace

TEST(NameLookup, ManyNamesInAScopeAreFoundAndTheInnermostWins)
{
    const QStringList script = numbered("int v%1 = %1;", 40) + QStringList{"function sum(int p): int"} +
                               numbered("  int a%1 = p + %1;", 30) +
                               QStringList{"  int v5 = 500;",    "  result = a0 + a29 + v5 + v6;",
                                           "endfunction",        "message(sum(1));",
                                           "message(sum(100));", "message(v5 + v39);"};
    QStringList output;
    TSheepRun runner([&output](const QString &line) { output.append(line); });
    ASSERT_EQ(runner.Execute(script, TRunOptions()), TRunResult::Finished);
    EXPECT_EQ(output.mid(0, 3), (QStringList{"537", "735", "44"}));
}
