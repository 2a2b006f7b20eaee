// Whole scripts parsed and run step by step against a sandbox: announced
// lines, results of built-ins and script functions, and the script files of
// the data folder with their expected output beside the code.
#include "sandbox_fixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

TEST(Scripts, LoopAnnouncesTheLinesItVisits)
{
    TCounterSandBox sandbox;
    TScriptRun script(sandbox);
    ASSERT_TRUE(
        script.parse({"int i = 0;", "while (i < 3)", "  i = i + 1;", "endwhile", "", "message(\"fertig \" + i);"}))
        << script.errorTexts().join('\n').toStdString();
    EXPECT_EQ(script.executable, QList<int>({0, 1, 2, 5}));
    ASSERT_TRUE(script.run());
    EXPECT_EQ(script.announced, QList<int>({0, 1, 2, 1, 2, 1, 2, 1, 5, -1}));
    EXPECT_EQ(script.messages, QStringList({"fertig 3"}));
    EXPECT_EQ(script.program->Return(), QStringLiteral("0"));
}

TEST(Scripts, BuiltInsActOnTheSandboxWithinOneStep)
{
    TCounterSandBox sandbox;
    TScriptRun script(sandbox);
    ASSERT_TRUE(
        script.parse({"int n = 4;", "count(n);", "twice(ref n);", "int c = count(n) + counter;", "message(\"\" + c);"}))
        << script.errorTexts().join('\n').toStdString();
    ASSERT_TRUE(script.run());
    EXPECT_EQ(sandbox.counter, 12);
    EXPECT_EQ(script.messages, QStringList({"24"}));
    EXPECT_EQ(script.announced, QList<int>({0, 1, 2, 3, 4, -1}));
}

TEST(Scripts, ScriptFunctionsRunTheirBodyOverSteps)
{
    TCounterSandBox sandbox;
    TScriptRun script(sandbox);
    ASSERT_TRUE(script.parse({"function add(int a, ref int b): int", "  b = b + a;", "  result = a * 10;",
                              "endfunction", "int total = 1;", "int r = add(2, ref total);",
                              "message(\"\" + r + \"/\" + total);", "exit();", "message(\"nie\");"}))
        << script.errorTexts().join('\n').toStdString();
    EXPECT_EQ(script.executable, QList<int>({1, 2, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(script.run());
    EXPECT_EQ(script.messages, QStringList({"20/3"}));
    EXPECT_EQ(script.announced, QList<int>({4, 5, 1, 2, 5, 6, 7, 7}));
    EXPECT_TRUE(script.program->Return().isEmpty()) << "exit ends without a return value";
}

TEST(Scripts, RunTimeErrorsEndTheRun)
{
    TCounterSandBox sandbox;
    TScriptRun script(sandbox);
    ASSERT_TRUE(script.parse({"if (false)", "  int never = 1;", "endif", "never = 2;", "message(\"nie\");"}));
    ASSERT_TRUE(script.run());
    EXPECT_EQ(script.runErrors, QStringList({"1: Zugriffsverletzung: Variable never wurde nicht instanziert"}));
    EXPECT_TRUE(script.messages.isEmpty());
}

TEST(Scripts, ParsingTheSameSandboxTwiceKeepsItsBuiltInsWorking)
{
    TCounterSandBox sandbox;
    TScriptRun first(sandbox);
    ASSERT_TRUE(first.parse({"count(1);"}));
    TScriptRun second(sandbox);
    ASSERT_TRUE(second.parse({"count(2);"}));
    ASSERT_TRUE(second.run());
    EXPECT_EQ(sandbox.counter, 2);
}

namespace {
// Expectations written beside the code of a script file.
struct TExpected
{
    QStringList output;
    QStringList errors;
    QStringList warnings;
    QStringList runErrors;
    QStringList faults;
    QStringList lines; // announced lines, checked only when given
};

TExpected expectationsOf(const QStringList &lines)
{
    static const QRegularExpression marker(
        QStringLiteral("//\\s*erwartet( Fehler| Warnung| Laufzeitfehler| Rechenfehler| Zeilen)?: ?(.*)$"));
    TExpected expected;
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = marker.match(line);
        if (!m.hasMatch())
            continue;
        const QString kind = m.captured(1).trimmed();
        QStringList &list = kind == u"Fehler"           ? expected.errors
                            : kind == u"Warnung"        ? expected.warnings
                            : kind == u"Laufzeitfehler" ? expected.runErrors
                            : kind == u"Rechenfehler"   ? expected.faults
                            : kind == u"Zeilen"         ? expected.lines
                                                        : expected.output;
        list.append(m.captured(2));
    }
    return expected;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.remove(u'\r');
    return text.split(u'\n');
}
} // namespace

TEST(Scripts, ScriptFilesProduceTheirExpectedOutput)
{
    const QDir data(QStringLiteral(GRAZLO_TEST_DATA));
    const QStringList files = data.entryList({QStringLiteral("*.klc")}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 5);
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QStringList source = readLines(data.filePath(name));
        const TExpected expected = expectationsOf(source);
        TCounterSandBox sandbox;
        TScriptRun script(sandbox);
        const bool parsed = script.parse(source);
        EXPECT_EQ(script.errorTexts(), expected.errors);
        QStringList warnings;
        if (script.warnings) {
            for (const TKeloMessage &m : *script.warnings)
                warnings.append(m.Text);
        }
        EXPECT_EQ(warnings, expected.warnings);
        if (!parsed)
            continue;
        EXPECT_TRUE(script.run()) << "did not finish";
        EXPECT_EQ(script.messages, expected.output);
        EXPECT_EQ(script.runErrors, expected.runErrors);
        EXPECT_EQ(script.faults, expected.faults);
        if (!expected.lines.isEmpty()) {
            QStringList announced;
            for (int line : script.announced)
                announced.append(QString::number(line));
            EXPECT_EQ(announced.join(u' '), expected.lines.join(u' '));
        }
    }
}

TEST(Scripts, ShuffledScriptLinesParseAndRunOnlyTheirExecutableLines)
{
    const QStringList vocabulary = {
        "x = x + 1;",
        "if (x > 2)",
        "elseif (x < 0)",
        "else",
        "endif",
        "while (x < 5)",
        "endwhile",
        "function f(int a): int",
        "result = a * 2;",
        "endfunction",
        "x = f(x);",
        "message(\"m\" + x);",
        "bool b = not (x == 3);",
        "exit;",
        "count(1);",
        "int y",
        "x = (x",
        ")",
        "function g(ref int a): void",
        "a = a - 1;",
        "g(ref x);",
        "x = count(x) % 7;",
        "while (count(0) < 3)",
    };
    QRandomGenerator random(99);
    int ran = 0;
    for (int round = 0; round < 2000; ++round) {
        QStringList source = {"int x = 1;"};
        for (int i = random.bounded(1, 16); i > 0; --i)
            source.append(vocabulary[random.bounded(int(vocabulary.size()))]);
        TCounterSandBox sandbox;
        TScriptRun script(sandbox);
        if (!script.parse(source))
            continue;
        ++ran;
        script.run(500);
        for (int line : script.announced) {
            if (line >= 0) {
                EXPECT_TRUE(script.executable.contains(line)) << "announced line " << line << " of\n"
                                                              << source.join('\n').toStdString();
            }
        }
    }
    EXPECT_GT(ran, 100) << "too few shuffled scripts parsed to say anything";
}
