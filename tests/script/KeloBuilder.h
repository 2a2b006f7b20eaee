#pragma once
// Helpers that build Kelo programs by hand and record what a run reports.
#include "script/uKeloCode.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kelo_test {

using ExprPtr = std::unique_ptr<TExpression>;

inline ExprPtr constant(const QString &text, TType t) { return std::make_unique<TConstant>(text, t); }

inline ExprPtr intConst(int v) { return constant(QString::number(v), TType::int_); }

inline ExprPtr var(TDeclaration *d, bool isReference = false)
{
    auto v = std::make_unique<TVarValue>(d);
    v->setIsReference(isReference);
    return v;
}

template <class Op> ExprPtr binary(const QString &op, ExprPtr a, ExprPtr b)
{
    auto e = std::make_unique<Op>(op);
    e->setFirstOperand(std::move(a));
    e->setSecondOperand(std::move(b));
    return e;
}

inline ExprPtr math(const QString &op, ExprPtr a, ExprPtr b) { return binary<TOpMath>(op, std::move(a), std::move(b)); }

inline ExprPtr relation(const QString &op, ExprPtr a, ExprPtr b)
{
    return binary<TOpRelation>(op, std::move(a), std::move(b));
}

// Argument lists (initializer lists cannot hold move-only expressions).
template <class... E> std::vector<ExprPtr> args(E... e)
{
    std::vector<ExprPtr> v;
    (v.push_back(std::move(e)), ...);
    return v;
}

inline std::unique_ptr<TFunctionValue> callValue(TFunction *f, std::vector<ExprPtr> args = {})
{
    auto call = std::make_unique<TFunctionValue>(f);
    for (auto &a : args)
        call->ExpressionList().Add(std::move(a));
    return call;
}

// A statement that completes at once and counts its executions.
class TCountingStatement : public TStatement
{
public:
    bool Execute() override
    {
        ++executions;
        return true;
    }
    int executions = 0;
};

inline TCountingStatement *plain(TCodeBlock *block, int line)
{
    auto s = std::make_unique<TCountingStatement>();
    s->setLineNumber(line);
    auto *raw = s.get();
    block->Add(std::move(s));
    return raw;
}

// Declares name in scope and appends the declaration to block (the parser's order).
inline TDeclaration *declare(TCode &scope, TCodeBlock *block, const QString &name, TType t, int line,
                             ExprPtr initialiser = nullptr)
{
    auto d = std::make_unique<TDeclaration>(name, t);
    auto *raw = d.get();
    scope.AddDeclaration(raw);
    block->Add(std::move(d));
    if (initialiser) {
        auto a = std::make_unique<TAssignment>();
        a->setDeclaration(raw);
        a->setExpression(std::move(initialiser));
        raw->setAssignment(std::move(a));
    }
    raw->setLineNumber(line);
    return raw;
}

inline TAssignment *assign(TCodeBlock *block, TDeclaration *target, ExprPtr value, int line)
{
    auto a = std::make_unique<TAssignment>();
    a->setDeclaration(target);
    a->setExpression(std::move(value));
    a->setLineNumber(line);
    auto *raw = a.get();
    block->Add(std::move(a));
    return raw;
}

inline TFunctionCall *callStatement(TCodeBlock *block, TFunction *f, std::vector<ExprPtr> args, int line)
{
    auto c = std::make_unique<TFunctionCall>();
    c->setFunctionValue(callValue(f, std::move(args)));
    c->setLineNumber(line);
    auto *raw = c.get();
    block->Add(std::move(c));
    return raw;
}

// A loop or conditional with its condition, appended to block.
template <class M> M *multiLiner(TCodeBlock *block, ExprPtr condition, int line)
{
    auto m = std::make_unique<M>();
    m->setExpression(std::move(condition));
    m->setLineNumber(line);
    auto *raw = m.get();
    block->Add(std::move(m));
    return raw;
}

inline TLoop *loop(TCodeBlock *block, ExprPtr condition, int line)
{
    return multiLiner<TLoop>(block, std::move(condition), line);
}

inline TConditional *conditional(TCodeBlock *block, ExprPtr condition, int line)
{
    return multiLiner<TConditional>(block, std::move(condition), line);
}

inline TFunctionCode *scriptFunction(TProgram &program, const QString &name, TType returnType)
{
    auto f = std::make_unique<TFunctionCode>();
    f->setName(name);
    f->setReturnType(returnType);
    return static_cast<TFunctionCode *>(program.AddFunction(std::move(f)));
}

inline TFunctionBin *builtin(TProgram &program, const QString &name, TType returnType, TFunctionBinCall call)
{
    auto f = std::make_unique<TFunctionBin>();
    f->setName(name);
    f->setReturnType(returnType);
    f->setCall(std::move(call));
    return static_cast<TFunctionBin *>(program.AddFunction(std::move(f)));
}

// A built-in that counts its calls and returns a fixed text.
inline TFunctionBin *countingBuiltin(TProgram &program, const QString &name, TType returnType, int &calls,
                                     const QString &result = QString())
{
    return builtin(program, name, returnType, [&calls, result](const QString &, QStringList &) {
        ++calls;
        return result;
    });
}

inline TDeclaration *parameter(TFunction *f, const QString &name, TType t, bool isReference = false)
{
    return f->AddParameter(std::make_unique<TDeclaration>(name, t, isReference));
}

struct ReportedError
{
    int line;
    QString msg;
    bool operator==(const ReportedError &o) const { return line == o.line && msg == o.msg; }
};

// Records the three events of a program.
struct Recorder
{
    explicit Recorder(TProgram &program)
    {
        program.setOnLineNumber([this](TProgram *, int line) { lines.append(line); });
        program.setOnCodeError([this](TProgram *, int line, const QString &msg) { errors.append({line, msg}); });
        program.setOnStateChanged([this](TProgram *p) { states.append(p->State()); });
    }
    QList<int> lines;
    QList<ReportedError> errors;
    QList<TProgramState> states;
};

// Runs to the end; returns the number of Next calls that returned true.
inline int runToEnd(TProgram &program, int limit = 100000)
{
    program.Run();
    int steps = 0;
    while (program.Next() && steps < limit)
        ++steps;
    return steps;
}

inline QString valueOf(const TCode &scope, const QString &name)
{
    const TVariable *v = scope.VarList().Find(name);
    return v ? v->Value() : QStringLiteral("<none>");
}

} // namespace kelo_test
