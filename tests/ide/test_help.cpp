// The language reference window: generated page text, run styles, alignment, closing keys.
#include "parser/uKeloParser.h"
#include "sandbox/fKeloHelp.h"
#include "sandbox/uKeloSandbox.h"
#include "script/uKeloCode.h"
#include "tests/support/Printers.h"

#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

struct TRunInfo
{
    QString text;
    bool bold, italic, underline;
};

// The formatted runs of one line (block) of a page.
QList<TRunInfo> runsOfLine(const QTextDocument &doc, int line)
{
    QList<TRunInfo> runs;
    const QTextBlock block = doc.findBlockByNumber(line);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat f = frag.charFormat();
        runs.append({frag.text(), f.fontWeight() == QFont::Bold, f.fontItalic(), f.fontUnderline()});
    }
    return runs;
}

QStringList linesOf(const QTextDocument &doc) { return doc.toPlainText().split('\n'); }

THelpFunction fn(const QString &name, const QString &params, int count, const QString &type, const QString &comment)
{
    THelpFunction f;
    f.name = name;
    f.parameters = params;
    f.parameterCount = count;
    f.returnType = type;
    f.comment = comment;
    return f;
}

QStringList writeFunctions(QTextDocument &doc, const QList<THelpFunction> &functions)
{
    QTextCursor cur(&doc);
    TFrmKeloHelp::WriteFunctionsPage(cur, functions);
    return linesOf(doc);
}

// A sandbox with built-ins of its own: two functions and two environment values.
class TTestSandbox : public TKeloSandBox
{
public:
    void RegisterFunctions(TProgram *prog) override
    {
        TKeloSandBox::RegisterFunctions(prog);
        DeclareFunction(prog, "walk", TType::void_, Params(NewParam("steps", TType::int_)), "Geht.");
        DeclareFunction(prog, "beep", TType::void_, "Piept.");
        DeclareFunction(prog, "zAge", TType::int_, "Alter");
        DeclareFunction(prog, "dLongHeading", TType::dir, "Richtung");
    }
    QString Debug() override { return {}; }
    void setStd() override {}
};

class TBareSandbox : public TKeloSandBox
{
public:
    QString Debug() override { return {}; }
    void setStd() override {}
};

} // namespace

TEST(HelpFunctionsPage, HelpTextsOfEachSectionStartInOneColumn)
{
    QTextDocument doc;
    const QStringList lines =
        writeFunctions(doc, {fn("exit", "", 0, "void", "Beendet."), fn("message", "(string msg)", 1, "void", "Sendet."),
                             fn("go", "(int a, b)", 2, "int", "Kurz."), fn("zSteps", "", 0, "int", "Schritte"),
                             fn("dSheep", "", 0, "dir", "Richtung")});
    ASSERT_GE(lines.size(), 10);
    EXPECT_EQ(lines[0], "Funktionen:");
    EXPECT_EQ(lines[1], "");
    // widest caption: "message(string msg): void" (25 characters)
    EXPECT_EQ(lines[2], " exit: void   " + QString(25 - 10, ' ') + "Beendet.");
    EXPECT_EQ(lines[3], " message(string msg): void   Sendet.");
    EXPECT_EQ(lines[4].indexOf("Kurz."), lines[3].indexOf("Sendet."));
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "Umgebungsvariablen:");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "int zSteps   Schritte");
    EXPECT_EQ(lines[9], "dir dSheep   Richtung");
}

TEST(HelpFunctionsPage, FunctionLineRunsAreBoldSignatureItalicTypePlainRest)
{
    QTextDocument doc;
    writeFunctions(doc, {fn("message", "(string msg)", 1, "void", "Sendet."), fn("zCut", "", 0, "int", "Cut")});
    const auto heading = runsOfLine(doc, 0);
    ASSERT_EQ(heading.size(), 1);
    EXPECT_TRUE(heading[0].bold && heading[0].underline && !heading[0].italic);

    const auto fnRuns = runsOfLine(doc, 2);
    ASSERT_EQ(fnRuns.size(), 3);
    EXPECT_EQ(fnRuns[0].text, " message(string msg): ");
    EXPECT_TRUE(fnRuns[0].bold && !fnRuns[0].italic && !fnRuns[0].underline);
    EXPECT_EQ(fnRuns[1].text, "void");
    EXPECT_TRUE(fnRuns[1].italic && !fnRuns[1].bold);
    EXPECT_EQ(fnRuns[2].text, "   Sendet.");
    EXPECT_FALSE(fnRuns[2].bold || fnRuns[2].italic || fnRuns[2].underline);

    const auto valueRuns = runsOfLine(doc, 6);
    ASSERT_EQ(valueRuns.size(), 3);
    EXPECT_EQ(valueRuns[0].text, "int");
    EXPECT_TRUE(valueRuns[0].italic && !valueRuns[0].bold);
    EXPECT_EQ(valueRuns[1].text, " zCut");
    EXPECT_TRUE(valueRuns[1].bold);
    EXPECT_FALSE(valueRuns[2].bold || valueRuns[2].italic);
}

TEST(HelpFunctionsPage, VoidWithoutParametersIsAFunctionNotAnEnvironmentValue)
{
    QTextDocument doc;
    const QStringList lines = writeFunctions(doc, {fn("beep", "", 0, "void", "Piept.")});
    EXPECT_EQ(lines[2], " beep: void   Piept.");
    EXPECT_EQ(lines.mid(3), QStringList({"", "Umgebungsvariablen:", "", ""}));
}

// Whether a one-line script parses.
bool parses(const QString &line)
{
    TProgram program;
    std::unique_ptr<TKeloMessageList> errors, warnings;
    return parseScript({line}, &program, errors, warnings);
}

// The table rows under a heading: the lines up to the next empty one, each
// split into its runs.
QList<QList<TRunInfo>> tableUnder(const QTextDocument &doc, const QString &heading)
{
    const QStringList lines = linesOf(doc);
    QList<QList<TRunInfo>> rows;
    for (qsizetype line = lines.indexOf(heading) + 2; line > 1 && line < lines.size() && !lines[line].isEmpty(); ++line)
        rows.append(runsOfLine(doc, int(line)));
    return rows;
}

// Every row of the syntax page's tables holds what the language accepts: an
// operator the parser takes with the type it names ("<>" once stood there and
// was refused), a type of the language; bold names, descriptions in one column.
TEST(HelpSyntaxPage, EveryOperatorListedParsesAndEveryTypeIsListedWithItsDomain)
{
    QTextDocument doc;
    QTextCursor cur(&doc);
    TFrmKeloHelp::WriteSyntaxPage(cur);
    const QList<QList<TRunInfo>> comparisons = tableUnder(doc, "Vergleichsoperatoren:"),
                                 operators = tableUnder(doc, "Operatoren:"), types = tableUnder(doc, "Typen:"),
                                 blocks = tableUnder(doc, "Blöcke:");
    ASSERT_FALSE(comparisons.isEmpty() || operators.isEmpty());
    for (const auto &table : {comparisons, operators, types, blocks}) {
        QSet<qsizetype> columns;
        for (const QList<TRunInfo> &row : table) {
            ASSERT_GE(row.size(), 2);
            EXPECT_TRUE(row[0].bold) << row[0].text.toStdString();
            QString line;
            for (const TRunInfo &run : row)
                line += run.text;
            if (!row.last().text.trimmed().isEmpty())
                columns.insert(line.lastIndexOf(row.last().text.trimmed()));
        }
        EXPECT_EQ(columns.size(), 1) << "descriptions start in one column";
    }
    for (const QList<TRunInfo> &row : comparisons)
        EXPECT_TRUE(parses("bool r = 1 " + row[0].text.trimmed() + " 2;")) << row[0].text.toStdString();
    for (const QList<TRunInfo> &row : operators) {
        ASSERT_EQ(row.size(), 3);
        EXPECT_TRUE(row[1].italic) << "the result type";
        const QString op = row[0].text.trimmed(), type = row[1].text.trimmed();
        const QString operand = type == "bool" ? "true" : "7";
        EXPECT_TRUE(parses(type + " r = " + operand + " " + op + " " + operand + ";") ||
                    parses(type + " r = " + op + " " + operand + ";"))
            << op.toStdString();
    }
    ASSERT_EQ(types.size(), TypeNames.size());
    for (int t = 0; t < TypeNames.size(); ++t) {
        EXPECT_EQ(types[t][0].text, TypeNames[t]);
        EXPECT_EQ(types[t][1].text.trimmed(), TypeDomains[t].trimmed());
    }
    // One line per block form, each naming how it ends.
    ASSERT_EQ(blocks.size(), 4);
    const QStringList ends = {"endif", "endwhile", "endfunction", "//"};
    for (int b = 0; b < ends.size(); ++b)
        EXPECT_TRUE(blocks[b][0].text.contains(ends[b])) << blocks[b][0].text.toStdString();
}

TEST(HelpWindow, LoadListsPredefinedMessageAndTheSandboxesOwnBuiltInsInOrder)
{
    TTestSandbox sb;
    TFrmKeloHelp help;
    help.Load(sb);
    const QStringList lines = linesOf(*help.rvFunctions->document());
    ASSERT_GE(lines.size(), 11);
    EXPECT_TRUE(lines[2].startsWith(" exit: void   "));
    EXPECT_TRUE(lines[3].startsWith(" message(string msg): void   "));
    EXPECT_TRUE(lines[3].endsWith("Sendet eine Nachricht an den Aufrufer."));
    EXPECT_TRUE(lines[4].startsWith(" walk(int steps): void   "));
    EXPECT_TRUE(lines[5].startsWith(" beep: void   "));
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "Umgebungsvariablen:");
    EXPECT_EQ(lines[9], "int zAge           Alter");
    EXPECT_EQ(lines[10], "dir dLongHeading   Richtung");
    EXPECT_EQ(help.windowTitle(), "Hilfe");
    EXPECT_EQ(help.pctrl->tabText(0), "Funktionen");
    EXPECT_EQ(help.pctrl->tabText(1), "Syntax");
    EXPECT_EQ(help.pctrl->currentIndex(), 0);
    EXPECT_TRUE(help.rvFunctions->isReadOnly());
}

TEST(HelpWindow, BareSandboxHasAnEmptyEnvironmentSection)
{
    TBareSandbox sb;
    TFrmKeloHelp help;
    help.Load(sb);
    const QStringList lines = linesOf(*help.rvFunctions->document());
    EXPECT_EQ(lines.mid(4), QStringList({"", "Umgebungsvariablen:", "", ""}));
}

TEST(HelpWindow, F1AndEscHideItAndShowingAgainKeepsTheContent)
{
    TBareSandbox sb;
    TFrmKeloHelp help;
    help.Load(sb);
    const QString before = help.rvFunctions->toPlainText();
    for (int key : {int(Qt::Key_F1), int(Qt::Key_Escape)}) {
        help.show();
        help.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
        QTest::keyClick(help.rvFunctions, Qt::Key(key));
        EXPECT_FALSE(help.isVisible()) << key;
    }
    help.show();
    EXPECT_EQ(help.rvFunctions->toPlainText(), before);
}
