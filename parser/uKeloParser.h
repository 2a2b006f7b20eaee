#pragma once
// The Kelo code parser: turns the editor's lines into the code model, with
// numbered error and warning lists and the list of executable lines.
#include "parser/uKeloLines.h"

#include "script/uKeloCode.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One parser message: its full text ("Fehler: Zeile 5 : ...") and the 1-based
// editor line it refers to, so a list entry leads back to its line.
struct TKeloMessage
{
    QString Text;
    int Line = 0;
};
using TKeloMessageList = QList<TKeloMessage>;
using TFunctionValueList = QList<TFunctionValue *>;

// State shared by the statement and the expression parser while one script
// is read. Not safe for nested or concurrent parses.
class TKeloParser
{
public:
    TKeloParser() = default;

    // Clears the list of executable lines only; the message lists are cleared
    // at the start of every parse.
    void Init();
    void addError(const QString &msg);
    void addWarning(const QString &msg);
    // True for a directive line ("//!" anywhere); "//!soft=" switches soft mode.
    bool checkDirective(const QString &line);

    // Fills prog, a fresh program holding the sandbox's built-ins; true when
    // no error was recorded.
    bool parse(const QStringList &code, TProgram *prog);
    // As parse, appending every call of a built-in to binCalls.
    bool parseBinCalls(const QStringList &code, TProgram *prog, TFunctionValueList *binCalls);

    // Statement forms; each returns nothing when the text is not that form.
    // A declaration is registered in curCode and must be added to a block.
    std::unique_ptr<TDeclaration> parseDeclaration(QStringView text);
    bool parseVarDeclaration(QStringView text, QString &name, bool &isReference, TType &t);
    std::unique_ptr<TAssignment> parseAssignment(QStringView text, bool mustExist);
    std::unique_ptr<TFunctionCall> parseCallStatement(QStringView text);
    // Header routines return whether the header could be split ("finished");
    // the object is set only when the header was usable.
    bool parseFunctionHeader(const QString &line, std::unique_ptr<TFunctionCode> &function);
    bool parseConditional(const QString &line, std::unique_ptr<TConditional> &conditional);
    bool parseLoop(const QString &line, std::unique_ptr<TLoop> &loop);

    // Expressions, looked up in curCode; nothing on failure.
    std::unique_ptr<TExpression> parseExpression(QStringView text);
    std::unique_ptr<TFunctionValue> parseFunctionValue(const QString &text);

    // Deeper expressions are refused with "Ausdruck ist zu tief verschachtelt".
    static constexpr int MaxNesting = 256;

    const TKeloMessageList &ErrorLog() const { return iErrorLog; }
    const TKeloMessageList &Warnings() const { return iWarnings; }
    const QList<int> &LineNumbers() const { return iLineNumbers; }
    bool Softmode() const { return iSoftmode; }

    // The scope being filled and the 0-based first line of the logical line
    // being parsed; every message is numbered from curLineNr.
    TCode *curCode = nullptr;
    int curLineNr = 0;

private:
    class TNestingLevel;
    struct TConditionTexts;
    struct TOperatorHit;

    void addMessage(TKeloMessageList &list, const QString &prefix, const QString &msg);

    // Main loop steps.
    bool nextLine();
    template <class Scan> bool readHeader(QString &text, Scan &scan);
    TStatement *parseLogicalLine();
    void functionHeader();
    void endFunction();
    TStatement *conditionalHeader();
    TStatement *elseifHeader();
    void elseBranch();
    void endConditional();
    TStatement *loopHeader();
    void endLoop();
    TStatement *statement();
    void joinStatement(QString &text);
    std::unique_ptr<TConditional> readConditional();
    void warnCodeAfterKeyword(const QString &keyword);
    TStatement *appendStatement(std::unique_ptr<TStatement> statement);
    bool parseConditionHeader(const QString &line, const TConditionTexts &texts,
                              std::unique_ptr<TExpression> &condition);

    // Expression steps. Every text is a view into the one line being parsed,
    // so deep nesting costs no copies of the rest of the line.
    struct TSearchHint;
    std::unique_ptr<TExpression> parseExpressionAt(QStringView source, const TSearchHint &hint);
    bool stripEnclosingBrackets(QStringView &text, TNestingLevel &level);
    bool findTableOperator(QStringView text, const TSearchHint &known, TOperatorHit &hit) const;
    std::unique_ptr<TExpression> parseOperation(QStringView text, const TOperatorHit &hit);
    std::unique_ptr<TExpression> parseOperand(QStringView text);
    // A constant of that value text, or nullptr with an error for a string over the limit.
    std::unique_ptr<TExpression> constant(const QString &value, TType t);
    std::unique_ptr<TExpression> parseNot(QStringView text);
    std::unique_ptr<TFunctionValue> parseCall(QStringView source);
    // The text around a call's bracket group, trimmed: the name it calls.
    const QString &callName(QStringView before, QStringView after);
    std::vector<std::unique_ptr<TExpression>> parseArguments(QStringView content);
    std::unique_ptr<TVarValue> parseVariable(QStringView source);
    void reportTooDeep();

    // The collector never keeps a call whose tree was released.
    qsizetype collectedCount() const;
    void dropCollectedSince(qsizetype mark);

    TKeloMessageList iErrorLog;
    TKeloMessageList iWarnings;
    TFunctionValueList *iBinCalls = nullptr;
    QList<int> iLineNumbers;
    bool iSoftmode = false;

    // State of the parse in progress.
    const QStringList *iCode = nullptr;
    TProgram *iProgram = nullptr;
    TCodeBlock *iBlock = nullptr;
    int iIndex = -1;
    // The current line without its comment, read in place from the source.
    QStringView iLine;
    int iNesting = 0;
    int iDepth = 0;
    bool iTooDeep = false;
    // Where callName puts the name; its buffer is reused.
    QString iCallName;
};

// The single parse entry: fills prog (fresh, with the sandbox's built-ins)
// from the source lines. errors and warnings come back only when non-empty;
// executable lines (0-based) are appended to lineNumbers when given.
bool parseScript(const QStringList &code, TProgram *prog, std::unique_ptr<TKeloMessageList> &errors,
                 std::unique_ptr<TKeloMessageList> &warnings, TFunctionValueList *binCalls = nullptr,
                 QList<int> *lineNumbers = nullptr);
