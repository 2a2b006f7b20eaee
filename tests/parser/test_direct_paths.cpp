// The interpreter reads constants and variables in place where an operation,
// a condition or a call's arguments consist of nothing else. Each script here
// runs twice: once as written, and once with every such operand turned into an
// expression ("x + 0"), which takes the general way. Both runs must announce
// the same lines with the same variables and report the same errors.
#include "parser_fixture.h"

namespace {
// The variables of the program and of every function, as "name=value".
QString variables(const TProgram &program)
{
    QStringList shown;
    for (const std::unique_ptr<TVariable> &v : program.VarList())
        shown.append(v->Name() + u'=' + v->Value());
    for (const std::unique_ptr<TFunction> &f : program.FunctionList())
        for (const std::unique_ptr<TVariable> &v : f->VarList())
            shown.append(f->Name() + u'.' + v->Name() + u'=' + v->Value());
    return shown.join(u' ');
}

// Every announced line with the variables after the step, every error, and
// how the run ended.
QStringList trace(const QString &source)
{
    TProgram program;
    std::unique_ptr<TKeloMessageList> errors, warnings;
    if (!parseScript(source.split(u'\n'), &program, errors, warnings)) {
        ADD_FAILURE() << "does not parse:\n" << source.toStdString();
        return {};
    }
    QStringList events;
    program.setOnLineNumber(
        [&events](TProgram *p, int line) { events.append(QStringLiteral("@%1 ").arg(line) + variables(*p)); });
    program.setOnCodeError([&events](TProgram *, int line, const QString &message) {
        events.append(QStringLiteral("error %1: ").arg(line) + message);
    });
    program.Run();
    try {
        for (int steps = 0; program.Next(); ++steps) {
            if (steps > 10000) {
                events.append(QStringLiteral("endless"));
                break;
            }
        }
    } catch (const TArithmeticFault &fault) {
        events.append(QStringLiteral("fault: ") + fault.Message());
    }
    events.append(QStringLiteral("return ") + program.Return());
    return events;
}

// "%1" marks an int operand, "%2" a string operand that the general form
// extends by a neutral operation.
struct Case
{
    const char *name;
    const char *source;
    const char *expected; // a part of the direct run's trace that shows it did the work
};

QString written(const Case &c, const QString &intOperand, const QString &stringOperand)
{
    return QString::fromUtf8(c.source)
        .replace(QStringLiteral("%1"), intOperand)
        .replace(QStringLiteral("%2"), stringOperand);
}
QString direct(const Case &c) { return written(c, QString(), QString()); }
QString general(const Case &c) { return written(c, QStringLiteral(" + 0"), QStringLiteral(" + \"\"")); }

const Case cases[] = {
    {"a global changed inside the function is passed again",
     "int g = 1;\nint s = 0;\nfunction bump(int a, int b): int\n  g = g + a%1;\n  result = a + b + g;\n"
     "endfunction\nint i = 0;\nwhile (i < 4%1)\n  s = bump(g%1, i);\n  i = i + 1%1;\nendwhile",
     "g=16 s=27 i=4"},
    {"a result left unassigned and a local in the body",
     "function pick(int a, int b): int\n  int t = a;\n  if (a > b%1)\n    result = t;\n  endif\nendfunction\n"
     "int r = 5;\nr = pick(3%1, 1);\nint seen = r;\nr = pick(0%1, 1);",
     "seen=3"},
    {"an overflow is written in full and a division by zero faults",
     "int big = 2147483647;\nint o = big + 1%1;\nint p = o + 1%1;\nint z = 0;\nint q = p div z%1;", "o=2147483648 p=1"},
    {"a variable of an untaken branch read as an operand",
     "if (1 > 2%1)\n  int hidden = 4;\nendif\nint u = hidden + 1%1;", "wurde nicht instanziert"},
    {"a variable of an untaken branch passed as an argument",
     "function two(int a, int b): int\n  result = a + b;\nendfunction\nint v = two(5%1, 2);\n"
     "if (1 > 2%1)\n  int hidden = 4;\nendif\nint w = two(hidden%1, 2);",
     "wurde nicht instanziert"},
    {"a call's result assigned to a variable of an untaken branch",
     "function two(int a, int b): int\n  result = a + b;\nendfunction\nif (1 > 2%1)\n  int hidden = 4;\nendif\n"
     "int before = two(1%1, 2);\nhidden = two(before%1, 2);\nbefore = two(before%1, 1);",
     "wurde nicht instanziert"},
    {"a recursive call with a variable argument",
     "function down(int n): int\n  if (n > 0%1)\n    result = down(n%1);\n  endif\nendfunction\nint d = down(2%1);",
     "Rekursiver Aufruf"},
    {"functions calling functions with their parameters",
     "function g(int x, int y): int\n  result = x * y%1;\nendfunction\n"
     "function f(int a, int b): int\n  result = g(b%1, a) - g(a%1, 2);\nendfunction\n"
     "int k = 0;\nint m = 1;\nwhile (k < 3%1)\n  m = f(k%1, m);\n  k = k + 1%1;\nendwhile",
     "k=3 m=-8"},
    {"a variable changed through a reference parameter",
     "function twice(ref int k): void\n  k = k * 2%1;\nendfunction\n"
     "function add(int a, int b): int\n  result = a + b;\nendfunction\n"
     "int n = 3;\nint s = 0;\nwhile (n < 40%1)\n  twice(ref n);\n  s = add(s%1, n);\nendwhile",
     "n=48 s=90"},
    {"an argument converted for the call beside ones passed in place",
     "function show(string t, int n): string\n  result = t + n;\nendfunction\n"
     "int h = 16;\nstring r = show(h, h%1);\nint g = h + 1%1;\nr = show(\"x\"%2, g%1);",
     "r=\"x17\""},
    {"strings and constants passed in place",
     "function greet(string a, int n): string\n  result = a + n;\nendfunction\n"
     "string name = \"Schaf\";\nstring t = greet(name%2, 3%1);\nt = greet(\"Wiese\"%2, -2%1);",
     "t=\"Wiese-2\""},
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

class DirectPaths : public ::testing::TestWithParam<Case>
{
};

TEST_P(DirectPaths, RunExactlyLikeTheGeneralWay)
{
    const QStringList directTrace = trace(direct(GetParam()));
    EXPECT_EQ(directTrace, trace(general(GetParam())));
    EXPECT_TRUE(directTrace.join(u'\n').contains(QString::fromUtf8(GetParam().expected)))
        << directTrace.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Interpreter, DirectPaths, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case> &info) { return std::to_string(info.index); });
} // namespace

// A call passed in place brings back the variables of the call before. Between
// calls none of the function's declarations may reach a variable, or a read
// there would see a value instead of the not-instantiated error.
TEST(InPlaceCalls, LeaveNoDeclarationBoundBetweenCalls)
{
    TProgram program;
    std::unique_ptr<TKeloMessageList> errors, warnings;
    ASSERT_TRUE(parseScript(QStringLiteral("function add(int a, int b): int\n  int t = a;\n  result = t + b;\n"
                                           "endfunction\nint s = 0;\nint i = 0;\nwhile (i < 3)\n  s = add(s, i);\n"
                                           "  i = i + 1;\nendwhile")
                                .split(u'\n'),
                            &program, errors, warnings));
    TFunction *add = nullptr;
    for (const std::unique_ptr<TFunction> &f : program.FunctionList())
        if (f->Name() == QStringLiteral("add"))
            add = f.get();
    ASSERT_NE(add, nullptr);
    QList<TDeclaration *> declarations = {add->Return()};
    for (TDeclaration *d : add->Parameter())
        declarations.append(d);
    for (TDeclaration *d : add->Declarations())
        declarations.append(d);
    program.Run();
    int stepsBetweenCalls = 0;
    while (program.Next()) {
        if (add->isActive())
            continue;
        ++stepsBetweenCalls;
        for (const TDeclaration *d : declarations)
            EXPECT_EQ(d->variable(), nullptr) << d->Name().toStdString() << " after step " << stepsBetweenCalls;
    }
    EXPECT_GT(stepsBetweenCalls, 6);
    EXPECT_EQ(program.FindDeclaration(u"s")->variable(), nullptr);
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
}
