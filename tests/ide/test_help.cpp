// The language reference window: generated page text, run styles, alignment, closing keys.
#include "sandbox/fKeloHelp.h"
#include "sandbox/uKeloSandbox.h"
#include "script/uKeloCode.h"
#include "tests/support/Printers.h"

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

// Inequality is listed as "!=", the operator the parser accepts ("<>" is an unknown expression).
TEST(HelpSyntaxPage, OperatorAndTypeTables)
{
    QTextDocument doc;
    QTextCursor cur(&doc);
    TFrmKeloHelp::WriteSyntaxPage(cur);
    const QStringList lines = linesOf(doc);
    const QStringList expected = {
        "Vergleichsoperatoren:",
        "",
        "<=  kleiner gleich",
        ">=  grösser gleich",
        "==  gleich",
        "!=  ungleich",
        "<   kleiner",
        ">   grösser",
        "",
        "Operatoren:",
        "",
        "+   int   Addition / Stringkonkat",
        "-   int   Substraktion",
        "*   int   Multiplikation",
        "/   float Division",
        "div int   ganzzahlige Division",
        "%   int   Restdivision",
        "or  bool  oder",
        "and bool  und",
        "not bool  unäreres nicht",
        "",
        "Operatoren sind nach Bindung aufsteigend sortiert",
        "",
        "Typen:",
        "",
        "void   ",
        "bool   TRUE, FALSE",
        "int    -2.147.483.648 .. 2.147.483.647",
        "float  5.0 x 10^-324 .. 1.7 x 10^308",
        "string Zeichenkette mit \" geklammert",
        "tile   tDirt, tGreen, tShortGreen, tTree, tMark",
        "dir    dNorth, dEast, dSouth, dWest",
        "",
        "Blöcke:",
        "",
        "if (b) ... elseif (b) ... else ... endif    Verzweigung, elseif und else nach Bedarf",
        "while (b) ... endwhile                      Schleife, solange b wahr ist",
        "function f(ref int c): int ... endfunction  result: Rückgabewert, ref: Variable des "
        "Aufrufers",
        "// Text                                     Kommentar bis zum Zeilenende",
        ""};
    EXPECT_EQ(lines, expected);

    const auto op = runsOfLine(doc, 15); // "div int   ganzzahlige Division"
    ASSERT_EQ(op.size(), 3);
    EXPECT_TRUE(op[0].bold);
    EXPECT_TRUE(op[1].italic && !op[1].bold);
    EXPECT_FALSE(op[2].bold || op[2].italic);
    const auto note = runsOfLine(doc, 21);
    ASSERT_EQ(note.size(), 1);
    EXPECT_TRUE(note[0].italic && !note[0].bold && !note[0].underline);
    const auto type = runsOfLine(doc, 29); // "string ..."
    ASSERT_EQ(type.size(), 2);
    EXPECT_EQ(type[0].text, "string");
    EXPECT_TRUE(type[0].bold);
    EXPECT_FALSE(type[1].bold || type[1].italic);
    const auto block = runsOfLine(doc, 36); // "while ..."
    ASSERT_EQ(block.size(), 2);
    EXPECT_TRUE(block[0].bold && block[0].text.startsWith("while (b) ... endwhile"));
    EXPECT_FALSE(block[1].bold || block[1].italic);
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
