#pragma once
// The code model: scopes, code blocks, statements, declarations and variables,
// and the program object that drives execution one statement per step.
// Include "script/uKeloCode.h" to get the whole model.
#include "script/uKeloRun.h"
#include "script/uKeloTypes.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include <exception>

class TAssignment;
class TCode;
class TCodeBlock;
class TDeclaration;
class TFunction;
class TFunctionCode;
class TProgram;
class TStatement;

// A run-time error raised deep inside an expression, where the statement is
// not at hand: the block executing the statement reports it through the
// program's Error with the statement's line, and the run ends after the step.
class TRuntimeError : public std::exception
{
public:
    explicit TRuntimeError(const QString &message) : iMessage(message) {}
    const QString &Message() const { return iMessage; }
    const char *what() const noexcept override { return "Kelo run-time error"; }

private:
    QString iMessage;
};

// An ordered list that owns its items.
template <class T> class TOwningList
{
public:
    int Count() const { return static_cast<int>(iItems.size()); }
    bool isEmpty() const { return iItems.empty(); }
    T *Items(int i) const { return iItems[static_cast<size_t>(i)].get(); }
    T *operator[](int i) const { return Items(i); }
    // Appends and takes ownership; returns the item.
    T *Add(std::unique_ptr<T> item)
    {
        iItems.push_back(std::move(item));
        return iItems.back().get();
    }
    void Clear() { iItems.clear(); }
    auto begin() const { return iItems.begin(); }
    auto end() const { return iItems.end(); }

protected:
    std::vector<std::unique_ptr<T>> iItems;
};

// Common base of scopes and statements: the owners a code block can have.
class TKeloNode
{
public:
    virtual ~TKeloNode() = default;
    virtual TCode *asCode() { return nullptr; }
    virtual TStatement *asStatement() { return nullptr; }
};

// One live variable: a name, a type and a value.
class TVariable
{
public:
    TVariable(const QString &name, TType valueType) : iName(name), iValueType(valueType) {}
    // As a new, empty variable of that name and type.
    void reset(const QString &name, TType valueType)
    {
        // A function's variables come back with the names they had at its last
        // call: keeping the shared name avoids touching its reference count.
        if (iName.constData() != name.constData() || iName.size() != name.size())
            iName = name;
        iValueType = valueType;
        iValue.clear();
    }
    const QString &Name() const { return iName; }
    const QString &Value() const { return iValue.Text(); }
    const TValue &Content() const { return iValue; }
    TValue &Content() { return iValue; }
    void setValue(const QString &value) { iValue.setText(value); }
    void setValue(QString &&value) { iValue.setText(std::move(value)); }
    void setValue(const TValue &value) { iValue = value; }
    void setValue(TValue &&value) { iValue = std::move(value); }
    // Writes the decimal text of an integer result; its reading is known.
    void setIntResult(qint64 value) { iValue.setInt(value); }
    // IntOperand of the value text.
    qint32 IntValue() const { return iValue.IntReading(); }
    TType ValueType() const { return iValueType; }

private:
    QString iName;
    TValue iValue;
    TType iValueType;
};

// The live variables of a scope. Discarded variables are kept as objects
// behind the live ones, so a function called in a loop neither allocates nor
// renames its variables on every call.
class TVarList
{
public:
    int Count() const { return iLive; }
    bool isEmpty() const { return iLive == 0; }
    TVariable *Find(const QString &name) const
    {
        if (iLive > IndexedFrom)
            return iIndex.value(name, nullptr);
        for (int i = 0; i < iLive; ++i)
            if (isNamed(*iItems[size_t(i)], name))
                return iItems[size_t(i)].get();
        return nullptr;
    }
    // A new, empty variable at the end of the list, under a name the list does not hold yet.
    TVariable *Create(const QString &name, TType valueType)
    {
        TVariable *v = nullptr;
        if (size_t(iLive) == iItems.size()) {
            v = addNew(name, valueType);
        } else {
            v = iItems[size_t(iLive++)].get();
            v->reset(name, valueType);
        }
        if (iLive > IndexedFrom)
            index(iLive - 1);
        return v;
    }
    // Empties the list.
    void Discard()
    {
        // A long string of a finished call is not kept alive in the kept object.
        for (int i = 0; i < iLive; ++i)
            iItems[size_t(i)]->Content().clear();
        iLive = 0;
        iIndex.clear();
    }
    // Makes the first count kept variables live again as Discard left them:
    // empty, under their names and types. Only for an empty list.
    void revive(int count)
    {
        Q_ASSERT(iLive == 0 && size_t(count) <= iItems.size());
        iLive = count;
        if (iLive > IndexedFrom)
            index(0);
    }
    TVariable *live(int i) const { return iItems[size_t(i)].get(); }
    auto begin() const { return iItems.begin(); }
    auto end() const { return iItems.begin() + iLive; }

private:
    static bool isNamed(const TVariable &v, const QString &name)
    {
        // Names mostly share the declaration's text, and most others differ in
        // length or in the first letter: a full comparison is rarely needed.
        const QString &candidate = v.Name();
        if (candidate.size() != name.size() || (!name.isEmpty() && candidate.front() != name.front()))
            return false;
        return candidate.constData() == name.constData() || candidate == name;
    }
    TVariable *addNew(const QString &name, TType valueType);
    // Enters the live variables from index first on into iIndex; all of them
    // when the list has just grown past IndexedFrom.
    void index(int first);

    // Lists with more live variables than this find names through iIndex; a
    // short scan is faster for the few variables of most scopes.
    static constexpr int IndexedFrom = 16;
    std::vector<std::unique_ptr<TVariable>> iItems;
    int iLive = 0;
    // The live variables by name, while there are more than IndexedFrom.
    QHash<QString, TVariable *> iIndex;
};

using TValueList = std::vector<TValue>;

// Describes one argument of a call for function matching.
struct TTypInfo
{
    TType t = TType::void_;
    bool isReference = false;
};

// A list of declarations that does not own them; their names do not change
// once added.
class TDeclarationList
{
public:
    int Count() const { return iItems.size(); }
    bool isEmpty() const { return iItems.isEmpty(); }
    TDeclaration *Items(int i) const { return iItems[i]; }
    TDeclaration *operator[](int i) const { return iItems[i]; }
    void Add(TDeclaration *d);
    // The first declaration of that name, or nullptr.
    TDeclaration *Find(QStringView name) const;
    // "(int a, b, string s)"; the empty text for an empty list.
    QString Caption() const;
    auto begin() const { return iItems.begin(); }
    auto end() const { return iItems.end(); }

private:
    // In declaration order, for parameters and captions.
    QList<TDeclaration *> iItems;
    // The first declaration of each name, so that a script of many
    // declarations is not parsed in quadratic time.
    QHash<QString, TDeclaration *> iByName;
};

// An ordered, owning list of statements; CurInd tells where a run is in it.
class TCodeBlock
{
public:
    explicit TCodeBlock(TKeloNode *parent = nullptr) : iParent(parent) {}
    ~TCodeBlock();
    TCodeBlock(const TCodeBlock &) = delete;
    TCodeBlock &operator=(const TCodeBlock &) = delete;

    // Appends, takes ownership, sets the statement's parent; returns its index.
    int Add(std::unique_ptr<TStatement> statement);
    int Count() const { return static_cast<int>(iStatements.size()); }
    TStatement *Statement(int i) const { return iStatements[static_cast<size_t>(i)].get(); }
    // The index of the statement a run executes next in the block; the count
    // while the run is not in the block.
    int CurInd() const;
    // The scope whose top block this is, or the loop or conditional owning it.
    TKeloNode *Parent() const { return iParent; }
    void setParent(TKeloNode *parent) { iParent = parent; }

    // Moves every statement out of the block and appends it to into.
    void takeStatements(std::vector<std::unique_ptr<TStatement>> &into);

private:
    // The program the block belongs to, or nullptr.
    const TProgram *program() const;

    std::vector<std::unique_ptr<TStatement>> iStatements;
    TKeloNode *iParent;
};

// Base of all statements. Execute returns true when the statement is complete.
class TStatement : public TKeloNode
{
public:
    TStatement() = default;
    TStatement(const TStatement &) = delete;
    TStatement &operator=(const TStatement &) = delete;
    TStatement *asStatement() override { return this; }

    int LineNumber() const { return iLineNumber; }
    virtual void setLineNumber(int line) { iLineNumber = line; }
    virtual bool Execute() { return true; }
    virtual void Init() {}
    // Decides how the statement and its expressions execute, for a complete
    // tree: the run's layout calls it before the statement executes.
    virtual void decide() {}
    // Hands the statements of the blocks it owns to into, so that destroying
    // deeply nested code needs no recursion per level.
    virtual void releaseBlocks(std::vector<std::unique_ptr<TStatement>> &) {}

    TCodeBlock *Parent() const { return iParent; }
    void setParent(TCodeBlock *parent) { iParent = parent; }
    // The scope that holds the statement, or nullptr.
    TCode *GetCode() const;
    // The program the statement belongs to, or nullptr.
    TProgram *GetProgram() const;

private:
    int iLineNumber = -1;
    TCodeBlock *iParent = nullptr;
};

// Declares a variable, a parameter or a function's result.
class TDeclaration : public TStatement
{
public:
    TDeclaration();
    TDeclaration(const QString &name, TType valueType, bool isReference = false);
    ~TDeclaration() override;

    TAssignment *Assignment() const { return iAssignment.get(); }
    void setAssignment(std::unique_ptr<TAssignment> assignment);
    bool IsReference() const { return iIsReference; }
    void setIsReference(bool isReference) { iIsReference = isReference; }
    const QString &Name() const { return iName; }
    void setName(const QString &name) { iName = name; }
    TType ValueType() const { return iValueType; }
    void setValueType(TType t) { iValueType = t; }

    void setLineNumber(int line) override;
    bool Execute() override;
    void Init() override;
    void decide() override;

    // The live variable, or nullptr (never executed, or its scope's variables
    // were discarded since). Reports nothing.
    TVariable *variable() const { return iVariable; }
    // As variable(), but reports the not-instantiated error when there is none.
    TVariable *getVariable() const
    {
        TVariable *v = variable();
        return v ? v : reportMissingVariable();
    }
    // Creates the variable in scope (or finds the one of that name there) and
    // binds it, without the assignment: what a call does for the parameters.
    // isNew promises that the scope holds no variable of the name yet.
    inline void bindVariable(TCode *scope, bool isNew = false);
    // Binds the declaration to v, a live variable of scope, which unbinds it
    // when it discards its variables.
    inline void bindTo(TVariable *v, TCode *scope);
    // Binds the declaration to v for a caller that unbinds it itself.
    void attach(TVariable *v) { iVariable = v; }
    // Drops the link to the variable, which is discarded.
    void unbind() { iVariable = nullptr; }

private:
    TVariable *reportMissingVariable() const;

    std::unique_ptr<TAssignment> iAssignment;
    bool iIsReference = false;
    QString iName;
    TType iValueType = TType::void_;
    // Set while the variable is live: the scope unbinds the declaration when
    // it discards its variables.
    TVariable *iVariable = nullptr;
};

// A scope with a code block, declarations and variables.
class TCode : public TKeloNode
{
public:
    TCode();
    ~TCode() override;
    TCode(const TCode &) = delete;
    TCode &operator=(const TCode &) = delete;
    TCode *asCode() override { return this; }
    virtual TProgram *asProgram() { return nullptr; }
    // The program this scope is or lies in, or nullptr.
    TProgram *enclosingProgram();

    TCodeBlock *CodeBlock() const { return iCodeBlock.get(); }
    const TDeclarationList &Declarations() const { return iDeclarations; }
    const TVarList &VarList() const { return iVarList; }
    TCode *Parent() const { return iParent; }
    void setParent(TCode *parent) { iParent = parent; }

    virtual TDeclaration *FindDeclaration(QStringView name) const;
    virtual bool FindFunction(const QString &name, const QList<TTypInfo> &args, TFunction *&f) = 0;
    // Discards the scope's variables; declarations bound to them lose the link.
    virtual void Finish()
    {
        iVarList.Discard();
        for (TDeclaration *d : iBound)
            d->unbind();
        iBound.clear();
    }
    virtual bool FunctionExists(const QString &name) const = 0;
    virtual bool IdentifierExists(const QString &name) const;

    // Registers d for lookup and sets its parent to the top block.
    void AddDeclaration(TDeclaration *d);
    // The variable of that name in this scope, created empty if missing.
    TVariable *createVar(const TDeclaration *d)
    {
        if (TVariable *existing = iVarList.Find(d->Name()))
            return existing;
        return addVar(d);
    }
    // A new variable for a name the scope does not hold yet.
    TVariable *addVar(const TDeclaration *d) { return iVarList.Create(d->Name(), d->ValueType()); }
    // Notes a declaration newly bound to one of the variables, to unbind it at the discard.
    void noteBound(TDeclaration *d) { iBound.push_back(d); }

protected:
    // Makes the first count kept variables live again; the live ones from index 0.
    void reviveVariables(int count) { iVarList.revive(count); }
    TVariable *liveVariable(int i) const { return iVarList.live(i); }

private:
    std::unique_ptr<TCodeBlock> iCodeBlock;
    TDeclarationList iDeclarations;
    TVarList iVarList;
    TCode *iParent = nullptr;
    // Every declaration bound to one of the variables since the last discard.
    std::vector<TDeclaration *> iBound;
};

void TDeclaration::bindTo(TVariable *v, TCode *scope)
{
    if (!iVariable)
        scope->noteBound(this);
    iVariable = v;
}

void TDeclaration::bindVariable(TCode *scope, bool isNew)
{
    bindTo(isNew ? scope->addVar(this) : scope->createVar(this), scope);
}

// A named, callable scope with parameters and a result declaration.
class TFunction : public TCode
{
public:
    TFunction();
    ~TFunction() override;

    const QString &Comment() const { return iComment; }
    void setComment(const QString &comment) { iComment = comment; }
    const QString &MinVersion() const { return iMinVersion; }
    void setMinVersion(const QString &version) { iMinVersion = version; }
    const QString &Name() const { return iName; }
    void setName(const QString &name) { iName = name; }
    const TDeclarationList &Parameter() const { return iParameter; }
    // Appends a parameter, takes ownership, sets its parent to the top block.
    TDeclaration *AddParameter(std::unique_ptr<TDeclaration> d);
    TDeclaration *Return() const { return iReturn.get(); }
    TType ReturnType() const;
    void setReturnType(TType t);
    // "name(int a, b): type".
    QString Caption() const;

    TDeclaration *FindDeclaration(QStringView name) const override;
    bool FindFunction(const QString &name, const QList<TTypInfo> &args, TFunction *&f) override;
    bool FunctionExists(const QString &name) const override;
    bool IdentifierExists(const QString &name) const override;
    bool Match(const QString &name, const QList<TTypInfo> &args, bool allowConversions) const;

    // Runs the function on the argument values; a reference parameter's final
    // value comes back in its item. halted is true when a script function has
    // just been entered and its body runs in the next steps.
    virtual void Call(TValueList &params, bool &halted, TValue &result) { startCall(params, halted, result); }
    // Call on argument texts.
    void Execute(QStringList &params, bool &halted, QString &result);
    // True while an activation is in progress (entered, not yet completed).
    virtual bool isActive() const { return false; }
    // The function as one written in the script, or nullptr for a built-in.
    virtual TFunctionCode *asScriptFunction() { return nullptr; }
    // The program the function belongs to, or nullptr.
    TProgram *GetProgram() const;

protected:
    // Resets the outputs of Call and reports a wrong number of arguments.
    void startCall(const TValueList &params, bool &halted, TValue &result)
    {
        halted = false;
        result.clear();
        if (qsizetype(params.size()) != iParameter.Count())
            reportArgumentCount();
    }

private:
    void reportArgumentCount();

    QString iComment;
    QString iMinVersion;
    QString iName;
    std::vector<std::unique_ptr<TDeclaration>> iOwnedParameters;
    TDeclarationList iParameter;
    std::unique_ptr<TDeclaration> iReturn;
};

using TFunctionList = TOwningList<TFunction>;

using TCodeError = std::function<void(TProgram *sender, int line, const QString &msg)>;
using TLineNumberEvent = std::function<void(TProgram *sender, int ind)>;
using TStateEvent = std::function<void(TProgram *sender)>;

// How a run-time error is listed for the user (line counted from 0, shown from 1).
inline QString CodeErrorText(int line, const QString &msg)
{
    return QStringLiteral("Fehler in Zeile %1: %2").arg(QString::number(line + 1), msg);
}

// The root scope of one parsed script; owns all functions and drives execution.
class TProgram : public TCode
{
public:
    TProgram();
    ~TProgram() override;
    TProgram *asProgram() override { return this; }

    const TFunctionList &FunctionList() const { return iFunctionList; }
    // Appends f, takes ownership, sets its parent to the program; returns f.
    // The function's name must be set before: the names are indexed here.
    TFunction *AddFunction(std::unique_ptr<TFunction> f);

    const TCodeError &OnCodeError() const { return iOnCodeError; }
    void setOnCodeError(TCodeError handler) { iOnCodeError = std::move(handler); }
    const TLineNumberEvent &OnLineNumber() const { return iOnLineNumber; }
    void setOnLineNumber(TLineNumberEvent handler) { iOnLineNumber = std::move(handler); }
    const TStateEvent &OnStateChanged() const { return iOnStateChanged; }
    void setOnStateChanged(TStateEvent handler) { iOnStateChanged = std::move(handler); }

    const QString &Return() const { return iReturn; }
    TProgramState State() const { return iRun.state(); }
    void SetState(TProgramState s);
    bool isStopRequested() const { return iRun.isStopRequested(); }
    // Number of blocks the run has entered and not yet left, its callers' included.
    int BlockCount() const { return iRun.blockCount(); }
    // The index of the statement the run executes next in block, or -1 when
    // the run is not in the block.
    int cursorIn(const TCodeBlock *block) const { return iRun.cursorIn(block); }

    bool FindFunction(const QString &name, const QList<TTypInfo> &args, TFunction *&f) override;
    bool FunctionExists(const QString &name) const override;
    bool IdentifierExists(const QString &name) const override;

    // Captions of all functions, each line ended by CR LF.
    QString getHelp() const;
    // Appends captions and comments; false (and nothing appended) when a list is missing.
    bool getHelp(QStringList *functions, QStringList *comments) const;

    void Run();
    // One step; false once the program has finished.
    bool Next() { return iRun.next(); }
    void stop() { iRun.requestStop(); }
    void Finish() override;
    // Reports a run-time error; the program finishes at the end of the step.
    void Error(int line, const QString &msg);
    void publishLineNumber(int line);
    // Runs the function's body from the next step on; the statement being
    // executed waits for it and is executed again when the body is exhausted.
    void enterBody(TFunctionCode &function) { iRun.enterBody(function); }

    // Maintained by the parser while it reads the source.
    qint32 StateCount = 0;

private:
    TRunEngine iRun{*this};
    TFunctionList iFunctionList;
    // The functions of iFunctionList by name, in list order, so that every
    // operand and call the parser reads does not walk a long list of functions.
    QHash<QString, QList<TFunction *>> iFunctionsByName;
    TCodeError iOnCodeError;
    TLineNumberEvent iOnLineNumber;
    TStateEvent iOnStateChanged;
    QString iReturn;
};
