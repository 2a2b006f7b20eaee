#include "script/uKeloProgram.h"

#include "script/uKeloStatement.h"

// ---------------------------------------------------------------- lists

TVariable *TVarList::addNew(const QString &name, TType valueType)
{
    iItems.push_back(std::make_unique<TVariable>(name, valueType));
    ++iLive;
    return iItems.back().get();
}

void TVarList::index(int first)
{
    if (iIndex.isEmpty())
        first = 0;
    for (int i = first; i < iLive; ++i)
        iIndex.insert(iItems[size_t(i)]->Name(), iItems[size_t(i)].get());
}

void TDeclarationList::Add(TDeclaration *d)
{
    iItems.append(d);
    if (!iByName.contains(d->Name()))
        iByName.insert(d->Name(), d);
}

TDeclaration *TDeclarationList::Find(QStringView name) const { return iByName.value(name.toString(), nullptr); }

QString TDeclarationList::Caption() const
{
    if (iItems.isEmpty())
        return QString();
    QString caption = QStringLiteral("(");
    bool first = true;
    TType lastType = TType::void_;
    for (TDeclaration *d : iItems) {
        if (!first)
            caption += QStringLiteral(", ");
        if (first || d->ValueType() != lastType)
            caption += TypeNames[d->ValueType()] + u' ';
        caption += d->Name();
        lastType = d->ValueType();
        first = false;
    }
    return caption + u')';
}

// ---------------------------------------------------------------- code blocks

TCodeBlock::~TCodeBlock()
{
    // Nested blocks are emptied into one list before their owners go, so a
    // script nested thousands of levels deep does not exhaust the stack.
    std::vector<std::unique_ptr<TStatement>> pending;
    takeStatements(pending);
    while (!pending.empty()) {
        std::unique_ptr<TStatement> statement = std::move(pending.back());
        pending.pop_back();
        statement->releaseBlocks(pending);
    }
}

int TCodeBlock::CurInd() const
{
    const TProgram *owner = program();
    const int cursor = owner ? owner->cursorIn(this) : -1;
    return cursor >= 0 ? cursor : Count();
}

const TProgram *TCodeBlock::program() const
{
    if (!iParent)
        return nullptr;
    if (const TStatement *statement = iParent->asStatement())
        return statement->GetProgram();
    TCode *code = iParent->asCode();
    return code ? code->enclosingProgram() : nullptr;
}

void TCodeBlock::takeStatements(std::vector<std::unique_ptr<TStatement>> &into)
{
    for (std::unique_ptr<TStatement> &statement : iStatements)
        into.push_back(std::move(statement));
    iStatements.clear();
}

int TCodeBlock::Add(std::unique_ptr<TStatement> statement)
{
    statement->setParent(this);
    iStatements.push_back(std::move(statement));
    return Count() - 1;
}

// ---------------------------------------------------------------- statements

TCode *TStatement::GetCode() const
{
    const TStatement *statement = this;
    while (statement && statement->Parent()) {
        TKeloNode *owner = statement->Parent()->Parent();
        if (!owner)
            return nullptr;
        if (TCode *code = owner->asCode())
            return code;
        statement = owner->asStatement();
    }
    return nullptr;
}

TProgram *TStatement::GetProgram() const
{
    TCode *code = GetCode();
    return code ? code->enclosingProgram() : nullptr;
}

// ---------------------------------------------------------------- declarations

TDeclaration::TDeclaration() = default;

TDeclaration::TDeclaration(const QString &name, TType valueType, bool isReference)
    : iIsReference(isReference), iName(name), iValueType(valueType)
{
}

TDeclaration::~TDeclaration() = default;

void TDeclaration::setAssignment(std::unique_ptr<TAssignment> assignment)
{
    iAssignment = std::move(assignment);
    if (iAssignment)
        iAssignment->setLineNumber(LineNumber());
}

void TDeclaration::setLineNumber(int line)
{
    TStatement::setLineNumber(line);
    if (iAssignment)
        iAssignment->setLineNumber(line);
}

bool TDeclaration::Execute()
{
    TCode *scope = GetCode();
    if (!scope) {
        if (TProgram *program = GetProgram())
            program->Error(LineNumber(),
                           QStringLiteral("Variable ") + iName + QStringLiteral(" konnte nicht angelegt werden."));
        return false;
    }
    bindVariable(scope);
    if (!iAssignment)
        return true;
    iAssignment->setParent(Parent());
    iAssignment->setLineNumber(LineNumber());
    return iAssignment->Execute();
}

void TDeclaration::Init()
{
    if (iAssignment)
        iAssignment->Init();
}

TVariable *TDeclaration::reportMissingVariable() const
{
    if (TProgram *program = GetProgram())
        program->Error(LineNumber(), QStringLiteral("Zugriffsverletzung: Variable ") + iName +
                                         QStringLiteral(" wurde nicht instanziert"));
    return nullptr;
}

// ---------------------------------------------------------------- scopes

TCode::TCode() : iCodeBlock(std::make_unique<TCodeBlock>(this)) {}

TCode::~TCode() = default;

TDeclaration *TCode::FindDeclaration(QStringView name) const
{
    if (TDeclaration *d = iDeclarations.Find(name))
        return d;
    return iParent ? iParent->FindDeclaration(name) : nullptr;
}

TProgram *TCode::enclosingProgram()
{
    for (TCode *code = this; code; code = code->Parent())
        if (TProgram *program = code->asProgram())
            return program;
    return nullptr;
}

bool TCode::IdentifierExists(const QString &name) const { return iDeclarations.Find(name) != nullptr; }

void TCode::AddDeclaration(TDeclaration *d)
{
    iDeclarations.Add(d);
    d->setParent(iCodeBlock.get());
}

// ---------------------------------------------------------------- functions

TFunction::TFunction() : iReturn(std::make_unique<TDeclaration>(QStringLiteral("result"), TType::void_))
{
    iReturn->setParent(CodeBlock());
}

TFunction::~TFunction() = default;

TDeclaration *TFunction::AddParameter(std::unique_ptr<TDeclaration> d)
{
    d->setParent(CodeBlock());
    iParameter.Add(d.get());
    iOwnedParameters.push_back(std::move(d));
    return iOwnedParameters.back().get();
}

TType TFunction::ReturnType() const { return iReturn->ValueType(); }

void TFunction::setReturnType(TType t) { iReturn->setValueType(t); }

QString TFunction::Caption() const
{
    return iName + iParameter.Caption() + QStringLiteral(": ") + TypeNames[ReturnType()];
}

TDeclaration *TFunction::FindDeclaration(QStringView name) const
{
    if (name == iReturn->Name())
        return iReturn.get();
    if (TDeclaration *parameter = iParameter.Find(name))
        return parameter;
    return TCode::FindDeclaration(name);
}

bool TFunction::FindFunction(const QString &name, const QList<TTypInfo> &args, TFunction *&f)
{
    if (Match(name, args, true)) {
        f = this;
        return true;
    }
    if (Parent())
        return Parent()->FindFunction(name, args, f);
    f = nullptr;
    return false;
}

bool TFunction::FunctionExists(const QString &name) const
{
    if (name == iName)
        return true;
    return Parent() && Parent()->FunctionExists(name);
}

bool TFunction::IdentifierExists(const QString &name) const { return name == iName || TCode::IdentifierExists(name); }

bool TFunction::Match(const QString &name, const QList<TTypInfo> &args, bool allowConversions) const
{
    if (name != iName || iParameter.Count() != args.size())
        return false;
    for (int i = 0; i < args.size(); ++i) {
        const TDeclaration *parameter = iParameter[i];
        const TTypInfo &arg = args[i];
        if (parameter->IsReference() != arg.isReference)
            return false;
        const TType t = parameter->ValueType();
        if (t == arg.t)
            continue;
        const bool convertible =
            parameter->IsReference() ? CanConvert(arg.t, t) && CanConvert(t, arg.t) : CanConvert(arg.t, t);
        if (!allowConversions || !convertible)
            return false;
    }
    return true;
}

void TFunction::Execute(QStringList &params, bool &halted, QString &result)
{
    TValueList values;
    values.reserve(params.size());
    for (const QString &text : params)
        values.emplace_back(text);
    TValue value;
    Call(values, halted, value);
    for (qsizetype i = 0; i < params.size(); ++i)
        params[i] = values[size_t(i)].Text();
    result = value.takeText();
}

void TFunction::reportArgumentCount()
{
    if (TProgram *program = Parent() ? Parent()->asProgram() : nullptr)
        program->Error(0, QStringLiteral("Anzahl der Parameter nicht korrekt"));
}

TProgram *TFunction::GetProgram() const { return Parent() ? Parent()->enclosingProgram() : nullptr; }

// ---------------------------------------------------------------- program

TProgram::TProgram() { AddFunction(CreateExitFunction()); }

TProgram::~TProgram() = default;

TFunction *TProgram::AddFunction(std::unique_ptr<TFunction> f)
{
    f->setParent(this);
    iFunctionsByName[f->Name()].append(f.get());
    return iFunctionList.Add(std::move(f));
}

void TProgram::SetState(TProgramState s)
{
    if (!iRun.setState(s))
        return;
    if (iOnStateChanged)
        iOnStateChanged(this);
}

bool TProgram::FindFunction(const QString &name, const QList<TTypInfo> &args, TFunction *&f)
{
    const QList<TFunction *> candidates = iFunctionsByName.value(name);
    for (bool allowConversions : {false, true}) {
        for (TFunction *candidate : candidates) {
            if (candidate->Match(name, args, allowConversions)) {
                f = candidate;
                return true;
            }
        }
    }
    if (Parent())
        return Parent()->FindFunction(name, args, f);
    f = nullptr;
    return false;
}

bool TProgram::FunctionExists(const QString &name) const
{
    return iFunctionsByName.contains(name) || (Parent() && Parent()->FunctionExists(name));
}

bool TProgram::IdentifierExists(const QString &name) const
{
    return iFunctionsByName.contains(name) || TCode::IdentifierExists(name);
}

QString TProgram::getHelp() const
{
    QString text;
    for (const auto &f : iFunctionList)
        text += f->Caption() + QStringLiteral("\r\n");
    return text;
}

bool TProgram::getHelp(QStringList *functions, QStringList *comments) const
{
    if (!functions || !comments)
        return false;
    for (const auto &f : iFunctionList) {
        functions->append(f->Caption());
        comments->append(f->Comment());
    }
    return true;
}

void TProgram::Run()
{
    if (State() == TProgramState::running)
        Finish();
    iReturn.clear();
    iRun.start();
    SetState(TProgramState::running);
    if (CodeBlock()->Count() > 0)
        publishLineNumber(CodeBlock()->Statement(0)->LineNumber());
}

void TProgram::Finish()
{
    TCode::Finish();
    if (!iRun.isActive() && iReturn.isEmpty())
        iReturn = QStringLiteral("0");
    for (const auto &f : iFunctionList)
        f->Finish();
    SetState(TProgramState::finished);
}

void TProgram::Error(int line, const QString &msg)
{
    stop();
    if (iOnCodeError)
        iOnCodeError(this, line, msg);
}

void TProgram::publishLineNumber(int line)
{
    if (iOnLineNumber)
        iOnLineNumber(this, line);
}
