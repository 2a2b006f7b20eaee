// A string literal obeys the limit of computed strings: one over it is refused
// when the script is parsed, with the message a computed string ends the run
// with, in normal and in soft mode.
#include "parser/uKeloParser.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

TEST(LiteralLimit, AStringLiteralOverTheLimitIsRefusedAtParseTime)
{
    const QString tooLong = QStringLiteral("Fehler: Zeile 2 : Zeichenkette ist zu lang (mehr als 16777216 Zeichen)");
    // The limit counts the value text, quotes included.
    const QString fits = '"' + QString(MaxStringValueLength - 2, u'a') + '"';
    const struct
    {
        QString mode;
        QString value;
        bool refused;
    } cases[] = {
        {"//!soft=0", fits, false},
        {"//!soft=0", '"' + QString(MaxStringValueLength - 1, u'a') + '"', true},
        {"//!soft=1", QString(MaxStringValueLength - 1, u'a'), true},
    };
    for (const auto &c : cases) {
        TProgram program;
        TKeloParser parser;
        const bool parsed = parser.parse({c.mode, "string s = " + c.value + ";"}, &program);
        EXPECT_EQ(parsed, !c.refused) << c.mode.toStdString() << " " << c.value.size();
        bool reported = false;
        for (const TKeloMessage &m : parser.ErrorLog())
            reported = reported || m.Text == tooLong;
        EXPECT_EQ(reported, c.refused) << c.mode.toStdString() << " " << c.value.size();
    }
}
