#pragma once
// A program with a few declarations and built-ins, and a parser pointed at it.
#include "parser/uKeloParser.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

// A built-in of program that answers with a fixed text.
inline TFunctionBin *addBuiltIn(TProgram &program, const QString &name, TType returnType,
                                std::vector<std::pair<QString, TType>> params = {}, bool byReference = false)
{
    auto f = std::make_unique<TFunctionBin>();
    f->setName(name);
    f->setReturnType(returnType);
    for (const auto &[paramName, t] : params)
        f->AddParameter(std::make_unique<TDeclaration>(paramName, t, byReference));
    f->setCall([](const QString &, QStringList &) { return QStringLiteral("7"); });
    return static_cast<TFunctionBin *>(program.AddFunction(std::move(f)));
}

class ParserFixture : public ::testing::Test
{
protected:
    void SetUp() override { parser.curCode = &program; }

    TDeclaration *declare(const QString &name, TType t)
    {
        auto d = std::make_unique<TDeclaration>(name, t);
        TDeclaration *raw = d.get();
        program.AddDeclaration(raw);
        program.CodeBlock()->Add(std::move(d));
        return raw;
    }

    TFunctionBin *builtIn(const QString &name, TType returnType, std::vector<std::pair<QString, TType>> params = {},
                          bool byReference = false)
    {
        return addBuiltIn(program, name, returnType, std::move(params), byReference);
    }

    QStringList errors() const
    {
        QStringList texts;
        for (const TKeloMessage &m : parser.ErrorLog())
            texts.append(m.Text);
        return texts;
    }

    bool hasError(const QString &message) const
    {
        return errors().contains(QStringLiteral("Fehler: Zeile 1 : ") + message);
    }

    // Parses and evaluates; the empty text when parsing failed.
    QString evaluate(const QString &text)
    {
        std::unique_ptr<TExpression> e = parser.parseExpression(text);
        if (!e)
            return QString();
        bool halted = false;
        QString value;
        e->getValue(halted, value);
        return value;
    }

    TProgram program;
    TKeloParser parser;
};
