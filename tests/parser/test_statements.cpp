// Statement and block parser through the single parse entry: messages with
// their lines, executable lines, block structure, joined lines and headers.
#include "parser_fixture.h"

namespace {
struct Parsed
{
    std::unique_ptr<TProgram> program = std::make_unique<TProgram>();
    bool ok = false;
    std::unique_ptr<TKeloMessageList> errors;
    std::unique_ptr<TKeloMessageList> warnings;
    QList<int> lines;

    QStringList errorTexts() const { return texts(errors.get()); }
    QStringList warningTexts() const { return texts(warnings.get()); }
    TCodeBlock *main() const { return program->CodeBlock(); }
    TFunction *function(const QString &name) const
    {
        for (const std::unique_ptr<TFunction> &f : program->FunctionList()) {
            if (f->Name() == name)
                return f.get();
        }
        return nullptr;
    }

private:
    static QStringList texts(const TKeloMessageList *list)
    {
        QStringList result;
        if (list) {
            for (const TKeloMessage &m : *list)
                result.append(m.Text);
        }
        return result;
    }
};

Parsed parse(const QStringList &source)
{
    Parsed p;
    addBuiltIn(*p.program, "move", TType::void_, {{"n", TType::int_}});
    p.ok = parseScript(source, p.program.get(), p.errors, p.warnings, nullptr, &p.lines);
    return p;
}

QString error(int line, const QString &text) { return QStringLiteral("Fehler: Zeile %1 : ").arg(line) + text; }

QString warning(int line, const QString &text) { return QStringLiteral("Warnung: Zeile %1 : ").arg(line) + text; }
} // namespace

TEST(Statements, EmptySourceAndSkippedLines)
{
    Parsed p = parse({});
    EXPECT_TRUE(p.ok);
    EXPECT_FALSE(p.errors);
    EXPECT_FALSE(p.warnings);
    EXPECT_TRUE(p.lines.isEmpty());

    p = parse({"   ", "// int x = 1;", "\t", "int y = 2; //! note", "int z = 3; // comment"});
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.main()->Count(), 1);
    EXPECT_EQ(p.lines, QList<int>({4}));
    EXPECT_EQ(p.program->StateCount, 1);
}

TEST(Statements, ExecutableLinesAndListsComeBackAsDocumented)
{
    QList<int> lines = {99};
    auto program = std::make_unique<TProgram>();
    std::unique_ptr<TKeloMessageList> errors, warnings;
    const bool ok = parseScript(
        {"int x;", "", "x = 2;", "if (x > 1)", "x = 3;", "endif", "while (x < 5)", "x = x + 1;", "endwhile"},
        program.get(), errors, warnings, nullptr, &lines);
    EXPECT_TRUE(ok);
    EXPECT_EQ(lines, QList<int>({99, 0, 2, 3, 4, 6, 7})) << "appended, keywords other than headers excluded";
    EXPECT_FALSE(errors);
    EXPECT_FALSE(warnings);
    EXPECT_EQ(program->StateCount, 8);
}

TEST(Statements, SemicolonJoinsLinesUntilABlockKeyword)
{
    Parsed p = parse({"int x = 5"});
    EXPECT_TRUE(p.ok) << p.errorTexts().join('\n').toStdString();

    p = parse({"int x;", "int y;", "x = 1", "y = 2;"});
    EXPECT_FALSE(p.ok);
    EXPECT_TRUE(p.errorTexts().contains(error(3, "ungültige Anweisung")));
    EXPECT_TRUE(p.errorTexts().contains(error(3, "unbekannter Ausdruck: 1 y = 2")));

    p = parse({"int x;", "if (true)", "x = 1", "", "EndIf", "x = 2;"});
    EXPECT_TRUE(p.ok) << p.errorTexts().join('\n').toStdString();
    EXPECT_EQ(p.warningTexts(), QStringList({warning(3, "; erwartet, aber EndIf gefunden")}));
    ASSERT_EQ(p.main()->Count(), 3) << "the endif closed the conditional";
    auto *conditional = dynamic_cast<TConditional *>(p.main()->Statement(1));
    ASSERT_TRUE(conditional);
    EXPECT_EQ(conditional->IfCodeBlock()->Count(), 1);

    // A statement over lines 4 to 6 is numbered by its first line.
    p = parse({"int x;", "", "", "x =", "1 +", "zz;"});
    EXPECT_EQ(p.errorTexts(), QStringList({error(4, "unbekannter Ausdruck: zz"), error(4, "ungültige Anweisung")}));
    ASSERT_EQ(p.errors->size(), 2);
    EXPECT_EQ(p.errors->at(0).Line, 4);
    p = parse({"int x;", "", "", "x =", "1 +", "2;"});
    EXPECT_EQ(p.lines, QList<int>({0, 3}));
    EXPECT_EQ(p.main()->Statement(1)->LineNumber(), 3);
}

TEST(Statements, DeclarationsAndAssignments)
{
    Parsed p = parse({"int x;", "float x;", "function f(): void", "int x;", "endfunction", "int move;"});
    EXPECT_EQ(p.errorTexts(),
              QStringList({error(2, "Bezeichner wird schon verwendet: x"), error(2, "ungültige Anweisung"),
                           error(6, "Bezeichner wird schon verwendet: move"), error(6, "ungültige Anweisung")}));

    p = parse({"int a b;", "int 5;", "bool if;", "int x = ;", "x = 1;", "y = 2;", "x == 1;", "x = true;",
               "string s = 5;", "FLOAT f = 1;"});
    const QStringList expected = {
        error(1, "Fehler in Variablendeklaration: ref erwartet int gefunden"),
        error(1, "ungültiger Variablentyp: a"),
        error(1, "ungültige Anweisung"),
        error(2, "Variablenname ungültig: 5"),
        error(2, "ungültige Anweisung"),
        error(3, "Variablenname ungültig: if"),
        error(3, "ungültige Anweisung"),
        error(4, "leerer Ausdruck"),
        error(4, "Fehler in Initialisierung"),
        error(6, "Variable nicht definiert: y"),
        error(6, "ungültige Anweisung"),
        error(7, "ungültige Anweisung"),
        error(8, "Typen von Zuweisung stimmen nicht überein"),
    };
    EXPECT_EQ(p.errorTexts(), expected);
    // The declaration without its failed initialiser still exists.
    EXPECT_EQ(p.lines, QList<int>({3, 4, 7, 8, 9}));

    p = parse({"int x = x + 1;"});
    EXPECT_TRUE(p.errorTexts().contains(error(1, "unbekannter Ausdruck: x"))) << "declared only after its initialiser";
}

TEST(Statements, ConditionalsAndTheirChains)
{
    Parsed p = parse({"int x;", "if (x > 0)", "x = 1;", "elseif (x < 0)", "x = 2;", "ELSEIF (x == 0)", "x = 3;", "else",
                      "x = 4;", "endif", "x = 5;"});
    ASSERT_TRUE(p.ok) << p.errorTexts().join('\n').toStdString();
    ASSERT_EQ(p.main()->Count(), 3) << "one endif closes the whole chain";
    auto *first = dynamic_cast<TConditional *>(p.main()->Statement(1));
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->IsElseif());
    auto *second = dynamic_cast<TConditional *>(first->ElseCodeBlock()->Statement(0));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->LineNumber(), 3);
    auto *third = dynamic_cast<TConditional *>(second->ElseCodeBlock()->Statement(0));
    ASSERT_TRUE(third);
    EXPECT_FALSE(third->IsElseif());
    EXPECT_EQ(third->ElseCodeBlock()->Count(), 1);
    EXPECT_EQ(p.lines, QList<int>({0, 1, 2, 3, 4, 5, 6, 8, 10}));

    p = parse({"if (true)", "else", "else", "elseif (true)", "endif", "endif", "elseif (true)"});
    EXPECT_EQ(p.errorTexts(), QStringList({error(3, "unerwarteter Else-Block"), error(4, "unerwarteter ElseIf-Block"),
                                           error(6, "unerwartetes Ende von bedingter Anweisung"),
                                           error(7, "unerwarteter ElseIf-Block")}));
}

TEST(Statements, ConditionHeaders)
{
    Parsed p = parse({"bool a;", "bool b;", "if (a and", "b)", "endif", "IF (a)", "endif"});
    EXPECT_TRUE(p.ok) << p.errorTexts().join('\n').toStdString();
    EXPECT_EQ(p.lines, QList<int>({0, 1, 2, 5}));

    p = parse({"int x;", "if x > 0", "if (x > 0) x = 1;", "endif", "if (5)", "if ()", "while (1)", "while x", "if(x)",
               "endif x", "endwhile", "while (true) (x)", "endwhile;"});
    const QStringList expected = {
        error(2, "leere Bedingung"),
        error(2, "Fehler in bedingter Anweisung"),
        error(5, "Typ von bedingter Anweisung muss bool sein"),
        error(5, "Fehler in bedingter Anweisung"),
        error(6, "leere Bedingung"),
        error(6, "Fehler in bedingter Anweisung"),
        error(7, "Typ von Schleifenbedingung muss bool sein"),
        error(7, "Fehler in Schleifendeklaration"),
        error(8, "leere Schleifenbedingung"),
        error(8, "Fehler in Schleifendeklaration"),
        error(9, "ungültige Anweisung"),
        error(10, "unerwartetes Ende von bedingter Anweisung"),
        error(11, "unerwartetes Ende von Schleife"),
        error(13, "ungültige Anweisung"),
    };
    EXPECT_EQ(p.errorTexts(), expected);
    EXPECT_EQ(p.warningTexts(),
              QStringList({warning(3, "code nach den Klammern der Bedingung wird ignoriert"),
                           warning(9, "; erwartet, aber endif gefunden"),
                           warning(12, "code nach den Klammern der Schleifenbedingung wird ignoriert")}));
}

TEST(Statements, CodeAfterClosingKeywordsIsWarnedAbout)
{
    Parsed p = parse({"if (true)", "else // fine", "endif x", "while (false)", "endwhile ;", "function f: int",
                      "endfunction f", "if (true)", "else x", "endif"});
    EXPECT_TRUE(p.ok) << p.errorTexts().join('\n').toStdString();
    EXPECT_EQ(p.warningTexts(), QStringList({warning(3, "code nach endif Schlüsselwort wird ignoriert"),
                                             warning(5, "code nach endwhile Schlüsselwort wird ignoriert"),
                                             warning(7, "code nach endfunction Schlüsselwort wird ignoriert"),
                                             warning(9, "code nach else Schlüsselwort wird ignoriert")}));
}

TEST(Statements, OpenBlocksAtTheEndAreNotReported)
{
    Parsed p = parse({"while (true)", "if (false)", "function f(): int"});
    EXPECT_TRUE(p.ok);
    EXPECT_FALSE(p.errors);
}

TEST(Statements, FunctionHeaders)
{
    Parsed p = parse({"function f(int a, ref int b): int", "result = a + b;", "endfunction",
                      "function g(int a; string s): void", "endfunction", "function zero: float", "endfunction",
                      "function h(", "int a", "):", "bool", "endfunction", "int y;", "int x = f(1, ref y);"});
    ASSERT_TRUE(p.ok) << p.errorTexts().join('\n').toStdString();
    TFunction *f = p.function("f");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Caption(), QStringLiteral("f(int a, b): int"));
    ASSERT_EQ(f->Parameter().Count(), 2);
    EXPECT_FALSE(f->Parameter()[0]->IsReference());
    EXPECT_TRUE(f->Parameter()[1]->IsReference());
    EXPECT_EQ(f->CodeBlock()->Count(), 1);
    EXPECT_EQ(p.function("g")->Parameter().Count(), 2);
    EXPECT_EQ(p.function("zero")->Caption(), QStringLiteral("zero: float"));
    EXPECT_EQ(p.function("h")->Caption(), QStringLiteral("h(int a): bool"));
    EXPECT_EQ(p.lines, QList<int>({1, 12, 13})) << "headers are no executable lines";
    EXPECT_EQ(p.main()->Count(), 2);
}

TEST(Statements, FunctionHeaderErrors)
{
    Parsed p = parse({"function f(int a): foo", "function (int a): int", "function while(): int", "function move: void",
                      "function k(int a: int", "function m(int x, flt y, int): int", "endfunction", "endfunction"});
    const QStringList expected = {
        error(1, "Rückgabetyp ungültig"),
        error(1, "Fehler in Funktionsdeklaration"),
        error(2, "Funktionname konnte nicht ermittelt werden"),
        error(2, "Fehler in Funktionsdeklaration"),
        error(3, "Funktionsname ungültig"),
        error(3, "Fehler in Funktionsdeklaration"),
        error(4, "Funktionsname schon verwendet: move"),
        error(4, "Fehler in Funktionsdeklaration"),
        error(5, "unvollstädige Parameterliste"),
        error(5, "Fehler in Funktionsdeklaration"),
        error(6, "ungültiger Variablentyp: flt"),
        error(6, "Fehler in Variablendeklaration: int"),
        error(8, "unerwartetes Funktionsende"),
    };
    EXPECT_EQ(p.errorTexts(), expected);
    ASSERT_TRUE(p.function("m"));
    EXPECT_EQ(p.function("m")->Parameter().Count(), 1) << "failing parameters are left out";

    // Without ": type" the header swallows the rest of the source.
    p = parse({"function f(int a)", "int x = 1;", "x = 2;", "endfunction"});
    EXPECT_EQ(p.errorTexts(), QStringList({error(1, "Fehler in Funktionsdeklaration")}));
    EXPECT_TRUE(p.lines.isEmpty());
}

TEST(Statements, ScopesOfFunctions)
{
    Parsed p =
        parse({"int g;", "function f(int a): int", "int g = a;", "result = g;", "endfunction", "g = f(2);", "a = 1;"});
    EXPECT_EQ(p.errorTexts(), QStringList({error(7, "Variable nicht definiert: a"), error(7, "ungültige Anweisung")}))
        << "a local may reuse a global name; parameters stay inside";
    TFunction *f = p.function("f");
    ASSERT_TRUE(f);
    auto *local = dynamic_cast<TDeclaration *>(f->CodeBlock()->Statement(0));
    ASSERT_TRUE(local);
    auto *read = dynamic_cast<TAssignment *>(f->CodeBlock()->Statement(1));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Declaration(), f->Return());
    EXPECT_EQ(dynamic_cast<TVarValue *>(read->Expression())->Declaration(), local);
}

TEST(Statements, AnInitialiserIsCheckedAgainstTheVariableItDeclares)
{
    Parsed p = parse({"int g;", "function f: string", "string g = \"a\";", "result = g;", "endfunction",
                      "function h: void", "bool g = 5;", "endfunction"});
    EXPECT_EQ(p.errorTexts(), QStringList({error(7, "Typen von Zuweisung stimmen nicht überein")}))
        << "the outer int g has no say over a local string g; a mismatch is reported once";
}

TEST(Statements, SoftModeLastsAcrossParsesUntilSwitchedOff)
{
    Parsed p = parse({"//!soft=1", "string s = Hallo Welt;"});
    EXPECT_TRUE(p.ok) << p.errorTexts().join('\n').toStdString();
    p = parse({"string s = Hallo Welt;"});
    EXPECT_TRUE(p.ok) << "the parser is shared and keeps its soft mode";
    p = parse({"//!soft=0", "string s = Hallo Welt;"});
    EXPECT_EQ(p.errorTexts(),
              QStringList({error(2, "unbekannter Ausdruck: Hallo Welt"), error(2, "Fehler in Initialisierung")}));
}

TEST(Statements, ASecondParseStartsWithEmptyMessageLists)
{
    Parsed p = parse({"bogus;"});
    EXPECT_EQ(p.errors->size(), 1);
    p = parse({"int x;", "x = x;"});
    EXPECT_TRUE(p.ok);
    EXPECT_FALSE(p.errors);
    EXPECT_EQ(p.lines, QList<int>({0, 1})) << "line numbers of the earlier parse are gone";
}
