// The expression parser: strips enclosing brackets, splits at the first
// operator of a fixed search order, and reads what is left as an operand.
#include "parser/uKeloParser.h"

#include <array>

namespace {
enum class TOperatorKind { Relation, Math, Bool, Stop, Minus };

struct TOperatorEntry {
    QString search;
    QString stored;
    TOperatorKind kind;
};

// The search order decides binding: the first text found splits the level.
// "<>" ends the search, so such a text is read as one operand.
const std::array<TOperatorEntry, 15> &operatorTable()
{
    using K = TOperatorKind;
    static const std::array<TOperatorEntry, 15> table{{
        {"<=", "<=", K::Relation},
        {">=", ">=", K::Relation},
        {"==", "==", K::Relation},
        {"!=", "!=", K::Relation},
        {"<>", "", K::Stop},
        {"<", "<", K::Relation},
        {">", ">", K::Relation},
        {"+", "+", K::Math},
        {"-", "-", K::Minus},
        {"*", "*", K::Math},
        {"/", "/", K::Math},
        {" div ", "div", K::Math},
        {"%", "%", K::Math},
        {" or ", "or", K::Bool},
        {" and ", "and", K::Bool},
    }};
    return table;
}

// The binary minus needs rules of its own; the texts before and after it are
// each searched in one scan.
constexpr int MinusEntry = 8;

QStringList searchTextsOf(int from, int to)
{
    QStringList list;
    for (int i = from; i < to; ++i)
        list.append(operatorTable()[size_t(i)].search);
    return list;
}

const QStringList &textsBeforeMinus()
{
    static const QStringList texts = searchTextsOf(0, MinusEntry);
    return texts;
}

const QStringList &textsAfterMinus()
{
    static const QStringList texts = searchTextsOf(MinusEntry + 1, int(operatorTable().size()));
    return texts;
}

std::unique_ptr<TOpBianry> createOperation(const TOperatorEntry &entry)
{
    switch (entry.kind) {
    case TOperatorKind::Relation:
        return std::make_unique<TOpRelation>(entry.stored);
    case TOperatorKind::Math:
    case TOperatorKind::Minus:
        return std::make_unique<TOpMath>(entry.stored);
    case TOperatorKind::Bool:
        return std::make_unique<TOpBool>(entry.stored);
    case TOperatorKind::Stop:
        break;
    }
    return nullptr;
}

bool isReferenceArgument(const TExpression *argument)
{
    const auto *variable = dynamic_cast<const TVarValue *>(argument);
    return variable && variable->IsReference();
}
} // namespace

struct TKeloParser::TOperatorHit {
    const TOperatorEntry *entry = nullptr;
    int pos = 0;
    int behind = 0;
};

// One level of expression nesting. The first level of a top-level expression
// resets the "too deep" state; once that is reported every further level of
// the same expression is refused at once, so a refused text costs no more work.
class TKeloParser::TNestingLevel
{
public:
    TNestingLevel(TKeloParser &parser, bool counts) : iParser(parser)
    {
        if (iParser.iNesting++ == 0)
            iParser.iTooDeep = false;
        iRefused = iParser.iTooDeep || (counts && !deeper());
    }
    ~TNestingLevel()
    {
        iParser.iDepth -= iLevels;
        --iParser.iNesting;
    }
    TNestingLevel(const TNestingLevel &) = delete;
    TNestingLevel &operator=(const TNestingLevel &) = delete;

    bool refused() const { return iRefused; }
    // Enters one more level; false (reported once) beyond the limit.
    bool deeper()
    {
        ++iLevels;
        if (++iParser.iDepth <= MaxNesting)
            return true;
        iParser.reportTooDeep();
        return false;
    }

private:
    TKeloParser &iParser;
    int iLevels = 0;
    bool iRefused = false;
};

void TKeloParser::reportTooDeep()
{
    if (iTooDeep)
        return;
    iTooDeep = true;
    addError(QStringLiteral("Ausdruck ist zu tief verschachtelt"));
}

qsizetype TKeloParser::collectedCount() const
{
    return iBinCalls ? iBinCalls->size() : 0;
}

void TKeloParser::dropCollectedSince(qsizetype mark)
{
    if (iBinCalls && iBinCalls->size() > mark)
        iBinCalls->resize(mark);
}

std::unique_ptr<TExpression> TKeloParser::parseExpression(const QString &source)
{
    TNestingLevel level(*this, true);
    if (level.refused())
        return nullptr;
    const qsizetype mark = collectedCount();
    QString text = trimCodes(source);
    std::unique_ptr<TExpression> expression;
    TOperatorHit hit;
    if (text.isEmpty())
        addError(QStringLiteral("leerer Ausdruck"));
    else if (!stripEnclosingBrackets(text, level))
        expression = nullptr;
    else if (findTableOperator(text, hit))
        expression = parseOperation(text, hit);
    else
        expression = parseOperand(text);
    if (!expression)
        dropCollectedSince(mark);
    return expression;
}

// Removes brackets that enclose the whole text, level by level; "(a) + (b)"
// is left as it is.
bool TKeloParser::stripEnclosingBrackets(QString &text, TNestingLevel &level)
{
    while (text.startsWith(u'(') && text.endsWith(u')')) {
        TBracketGroupScan group;
        group.feed(text);
        if (!group.closed()) {
            addError(QStringLiteral("unvollständiger Ausdruck: ") + text);
            return false;
        }
        if (group.closePos() != text.size() - 1)
            return true;
        const QString content = trimCodes(QStringView(text).mid(1, text.size() - 2));
        if (content.isEmpty()) {
            addError(QStringLiteral("leerer Ausdruck"));
            return false;
        }
        if (!level.deeper())
            return false;
        text = content;
    }
    return true;
}

bool TKeloParser::findTableOperator(const QString &text, TOperatorHit &hit) const
{
    const auto &table = operatorTable();
    int index = 0;
    int pos = 0;
    int behind = 0;
    if (findFirstOperator(text, textsBeforeMinus(), index, pos, behind))
        hit.entry = &table[size_t(index)];
    else if (findBinaryMinus(text, pos, behind))
        hit.entry = &table[MinusEntry];
    else if (findFirstOperator(text, textsAfterMinus(), index, pos, behind))
        hit.entry = &table[size_t(MinusEntry + 1 + index)];
    else
        return false;
    hit.pos = pos;
    hit.behind = behind;
    return hit.entry->kind != TOperatorKind::Stop;
}

std::unique_ptr<TExpression> TKeloParser::parseOperation(const QString &text, const TOperatorHit &hit)
{
    std::unique_ptr<TExpression> left = parseExpression(text.left(hit.pos - 1));
    if (!left)
        return nullptr;
    std::unique_ptr<TExpression> right = parseExpression(text.mid(hit.behind - 1));
    if (!right)
        return nullptr;
    std::unique_ptr<TOpBianry> operation = createOperation(*hit.entry);
    operation->setFirstOperand(std::move(left));
    operation->setSecondOperand(std::move(right));
    if (!operation->isTypeMatch()) {
        addError(QStringLiteral("Typen stimmen nicht überein: ") + text);
        return nullptr;
    }
    return operation;
}

std::unique_ptr<TExpression> TKeloParser::parseOperand(const QString &text)
{
    if (firstWord(text) == u"not")
        return parseNot(text);
    if (std::unique_ptr<TFunctionValue> call = parseFunctionValue(text))
        return call;
    if (iTooDeep)
        return nullptr;
    if (std::unique_ptr<TVarValue> variable = parseVarValue(text))
        return variable;
    bool failed = false;
    const TType t = LiteralType(text, failed);
    if (!failed)
        return std::make_unique<TConstant>(text, t);
    // In soft mode unquoted text stands for itself as a string.
    if (iSoftmode)
        return std::make_unique<TConstant>(QuoteStr(text), TType::kelostr);
    addError(QStringLiteral("unbekannter Ausdruck: ") + text);
    return nullptr;
}

std::unique_ptr<TExpression> TKeloParser::parseNot(const QString &text)
{
    std::unique_ptr<TExpression> operand = parseExpression(text.mid(4));
    if (!operand)
        return nullptr;
    auto negation = std::make_unique<TOpNot>();
    negation->setFirstOperand(std::move(operand));
    if (!negation->isTypeMatch()) {
        addError(QStringLiteral("Ausdruck muss vom Typ bool sein: ") + text);
        return nullptr;
    }
    return negation;
}

// Arguments that fail are left out; their messages stay.
std::vector<std::unique_ptr<TExpression>> TKeloParser::parseArguments(const QString &content)
{
    std::vector<std::unique_ptr<TExpression>> arguments;
    if (content.isEmpty())
        return arguments;
    for (const QString &part : splitOutside(content, u',')) {
        if (std::unique_ptr<TExpression> argument = parseExpression(part))
            arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::unique_ptr<TFunctionValue> TKeloParser::parseFunctionValue(const QString &source)
{
    TNestingLevel level(*this, false);
    if (level.refused())
        return nullptr;
    QString text = trimCodes(source);
    if (text.endsWith(u';'))
        text.chop(1);
    QString content;
    bool nothingAfter = false;
    if (!extractBrackets(text, true, nothingAfter, content)) {
        addError(QStringLiteral("unvollständiger Ausdruck: ") + text);
        return nullptr;
    }
    const QString &name = text;
    if (!curCode->FunctionExists(name))
        return nullptr;
    const qsizetype mark = collectedCount();
    std::vector<std::unique_ptr<TExpression>> arguments = parseArguments(content);
    QList<TTypInfo> signature;
    for (const std::unique_ptr<TExpression> &argument : arguments)
        signature.append({argument->Resulttype(), isReferenceArgument(argument.get())});
    TFunction *function = nullptr;
    if (iTooDeep || !curCode->FindFunction(name, signature, function)) {
        if (!iTooDeep)
            addError(QStringLiteral("Parameter stimmen nicht mir Funktionsdeklaration überein: ") + name);
        dropCollectedSince(mark);
        return nullptr;
    }
    auto value = std::make_unique<TFunctionValue>(function);
    for (std::unique_ptr<TExpression> &argument : arguments)
        value->ExpressionList().Add(std::move(argument));
    if (iBinCalls && dynamic_cast<TFunctionBin *>(function))
        iBinCalls->append(value.get());
    return value;
}

std::unique_ptr<TVarValue> TKeloParser::parseVarValue(const QString &source)
{
    QString text = trimCodes(source);
    const bool isReference = text.startsWith(u"ref ", Qt::CaseInsensitive);
    if (isReference)
        text = trimCodes(QStringView(text).mid(4));
    TDeclaration *declaration = curCode->FindDeclaration(text);
    if (!declaration)
        return nullptr;
    auto value = std::make_unique<TVarValue>(declaration);
    value->setIsReference(isReference);
    return value;
}
