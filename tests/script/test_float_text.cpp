// A float's text must not depend on what the stack held before.
#include "script/uKeloTypes.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

namespace {

// Leaves digits in the stack region the next call will use.
[[gnu::noinline]] void DirtyStack()
{
    volatile char junk[8192];
    for (volatile char &c : junk)
        c = '7';
}

[[gnu::noinline]] QString FloatTextAfterDirtyStack(double value)
{
    DirtyStack();
    return FloatToValue(value);
}

} // namespace

TEST(FloatText, ExponentIsReadFromTheFormattedTextOnly)
{
    EXPECT_EQ(FloatTextAfterDirtyStack(1e20), QStringLiteral("1E20"));
    EXPECT_EQ(FloatTextAfterDirtyStack(1e-5), QStringLiteral("1E-5"));
    EXPECT_EQ(FloatTextAfterDirtyStack(-1.5e-8), QStringLiteral("-1.5E-8"));
}
