// Bad input: deep nesting is refused with one message, and any text parses to
// messages without crashing or hanging.
#include "parser_fixture.h"

#include <QRandomGenerator>

namespace {
const QString tooDeep = QStringLiteral("Ausdruck ist zu tief verschachtelt");

QString nested(const QString &open, const QString &inner, const QString &close, int depth)
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

QString chain(int terms) { return QStringLiteral("1+").repeated(terms - 1) + QStringLiteral("1"); }

struct Outcome
{
    bool ok = false;
    TKeloMessageList errors;
};

Outcome parseLines(const QStringList &source)
{
    TProgram program;
    addBuiltIn(program, "f", TType::int_, {{"n", TType::int_}});
    TKeloParser parser;
    Outcome outcome;
    outcome.ok = parser.parse(source, &program);
    outcome.errors = parser.ErrorLog();
    return outcome;
}

// Every message must lead back to a line of the source.
void expectLinesInRange(const Outcome &outcome, qsizetype lineCount)
{
    for (const TKeloMessage &m : outcome.errors) {
        EXPECT_GE(m.Line, 1);
        EXPECT_LE(m.Line, lineCount);
        EXPECT_TRUE(m.Text.startsWith(QStringLiteral("Fehler: Zeile %1 : ").arg(m.Line)));
    }
}

QString randomText(QRandomGenerator &random, int length, const QString &alphabet)
{
    QString text(length, Qt::Uninitialized);
    for (QChar &c : text)
        c = alphabet[random.bounded(int(alphabet.size()))];
    return text;
}
} // namespace

using Limits = ParserFixture;

TEST_F(Limits, NestingUpToTheLimitIsAccepted)
{
    builtIn("f", TType::int_, {{"n", TType::int_}});
    EXPECT_EQ(evaluate(nested("(", "5", ")", TKeloParser::MaxNesting - 1)), QStringLiteral("5"));
    EXPECT_EQ(evaluate(chain(TKeloParser::MaxNesting / 2)), QString::number(TKeloParser::MaxNesting / 2));
    EXPECT_TRUE(parser.parseExpression(nested("f(", "1", ")", TKeloParser::MaxNesting - 1)));
    EXPECT_TRUE(errors().isEmpty()) << errors().join('\n').toStdString();
}

TEST_F(Limits, DeeperExpressionsAreRefusedWithOneMessage)
{
    builtIn("f", TType::int_, {{"n", TType::int_}});
    declare("b", TType::bool_);
    const QStringList deep = {
        nested("(", "1", ")", TKeloParser::MaxNesting + 1),
        chain(TKeloParser::MaxNesting + 2),
        nested("f(", "1", ")", TKeloParser::MaxNesting + 1),
        nested("f(1, ", "1", ")", 2000),
        QStringLiteral("not ").repeated(TKeloParser::MaxNesting + 1) + "b",
    };
    for (const QString &text : deep) {
        TKeloParser fresh;
        fresh.curCode = &program;
        fresh.checkDirective(QStringLiteral("//!soft=1"));
        EXPECT_FALSE(fresh.parseExpression(text)) << "even soft mode does not turn it into text";
        ASSERT_EQ(fresh.ErrorLog().size(), 1) << text.left(40).toStdString();
        EXPECT_EQ(fresh.ErrorLog()[0].Text, QStringLiteral("Fehler: Zeile 1 : ") + tooDeep);
    }

    // The next expression starts counting afresh.
    EXPECT_FALSE(parser.parseExpression(deep[0]));
    EXPECT_EQ(evaluate(QStringLiteral("(1 + 2)")), QStringLiteral("3"));
}

TEST(ParserLimits, LongExpressionLineIsRejected)
{
    const QString line = QStringLiteral("int x = ") + chain(50000) + QStringLiteral(";");
    ASSERT_GE(line.size(), 100000);
    const Outcome outcome = parseLines({line});
    EXPECT_FALSE(outcome.ok);
    ASSERT_FALSE(outcome.errors.isEmpty());
    EXPECT_EQ(outcome.errors[0].Text, QStringLiteral("Fehler: Zeile 1 : ") + tooDeep);
}

TEST(ParserLimits, GarbageParsesToMessages)
{
    QRandomGenerator random(20261209);
    QString everyCode;
    for (char16_t c = 0; c < 0x300; ++c)
        everyCode.append(QChar(c));
    QStringList binary;
    for (int i = 0; i < 300; ++i)
        binary.append(randomText(random, random.bounded(80), everyCode));
    expectLinesInRange(parseLines(binary), binary.size());

    const QString syntax = QStringLiteral("()\"\\,;:=+-*/%<>! abcfnotdivref01if\tendwhile");
    QStringList tokens;
    for (int i = 0; i < 500; ++i)
        tokens.append(randomText(random, random.bounded(60), syntax));
    expectLinesInRange(parseLines(tokens), tokens.size());
}

TEST(ParserLimits, HugeSourcesFinish)
{
    QRandomGenerator random(7);
    const QString megabyteLine =
        QStringLiteral("x = ") + randomText(random, 1 << 20, QStringLiteral("((()\"\\,+-*<=ab 1")) + ";";
    Outcome outcome = parseLines({megabyteLine});
    EXPECT_FALSE(outcome.ok);
    expectLinesInRange(outcome, 1);

    QStringList manyLines(100000, QStringLiteral("x = (1"));
    outcome = parseLines(manyLines);
    EXPECT_FALSE(outcome.ok);
    expectLinesInRange(outcome, manyLines.size());

    for (const QString &header : {QStringLiteral("if (a and"), QStringLiteral("function f(int a")}) {
        manyLines.first() = header;
        outcome = parseLines(manyLines);
        ASSERT_EQ(outcome.errors.size(), 1) << header.toStdString();
        EXPECT_EQ(outcome.errors[0].Line, 1) << "the header took every line";
    }
}
