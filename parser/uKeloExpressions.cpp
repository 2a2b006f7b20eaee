// The expression parser: strips enclosing brackets, splits at the first
// operator of a fixed search order, and reads what is left as an operand.
#include "parser/uKeloParser.h"

#include <array>

namespace {
enum class TOperatorKind { Relation, Math, Bool, Stop, Minus };

struct TOperatorEntry
{
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

// The binary minus has rules of its own; it is looked for between the entries
// before and behind it.
constexpr int MinusEntry = 8;
constexpr int EntryCount = 15;

const TOperatorTexts &searchTexts()
{
    static const TOperatorTexts texts = [] {
        QStringList list;
        for (const TOperatorEntry &entry : operatorTable())
            list.append(entry.search);
        return TOperatorTexts(list);
    }();
    return texts;
}

// The entries from..to-1 as a set of bits.
quint32 entryRange(int from, int to) { return from < to ? (quint32(1) << to) - (quint32(1) << from) : 0; }

// The text behind the first n characters, empty when it is shorter.
QStringView behind(QStringView text, qsizetype n) { return n < text.size() ? text.mid(n) : QStringView(); }

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

// What a level learned while searching a text that ends at end: the table
// entries before firstEntry, and the binary minus when noMinus is set, occur
// nowhere at its top level, so neither do they in a right operand, which ends
// there too. The search of a long chain "1+1+...+1" thus stops at the next
// operator instead of scanning the rest of the line at every level.
struct TKeloParser::TSearchHint
{
    const QChar *end = nullptr;
    int firstEntry = 0;
    bool noMinus = false;
};

struct TKeloParser::TOperatorHit
{
    const TOperatorEntry *entry = nullptr;
    int pos = 0;
    int behind = 0;
    TSearchHint rest;
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

qsizetype TKeloParser::collectedCount() const { return iBinCalls ? iBinCalls->size() : 0; }

void TKeloParser::dropCollectedSince(qsizetype mark)
{
    if (iBinCalls && iBinCalls->size() > mark)
        iBinCalls->resize(mark);
}

std::unique_ptr<TExpression> TKeloParser::parseExpression(QStringView source)
{
    return parseExpressionAt(source, TSearchHint());
}

std::unique_ptr<TExpression> TKeloParser::parseExpressionAt(QStringView source, const TSearchHint &hint)
{
    TNestingLevel level(*this, true);
    if (level.refused())
        return nullptr;
    const qsizetype mark = collectedCount();
    QStringView text = trimmedView(source);
    std::unique_ptr<TExpression> expression;
    TOperatorHit hit;
    if (text.isEmpty())
        addError(QStringLiteral("leerer Ausdruck"));
    else if (!stripEnclosingBrackets(text, level))
        expression = nullptr;
    else if (findTableOperator(text, hint, hit))
        expression = parseOperation(text, hit);
    else
        expression = parseOperand(text);
    if (!expression)
        dropCollectedSince(mark);
    return expression;
}

// Removes brackets that enclose the whole text, level by level; "(a) + (b)"
// is left as it is.
bool TKeloParser::stripEnclosingBrackets(QStringView &text, TNestingLevel &level)
{
    while (text.startsWith(u'(') && text.endsWith(u')')) {
        TBracketGroupScan group;
        group.feed(text);
        if (!group.closed()) {
            addError(QStringLiteral("unvollständiger Ausdruck: ") + text.toString());
            return false;
        }
        if (group.closePos() != text.size() - 1)
            return true;
        const QStringView content = trimmedView(text.mid(1, text.size() - 2));
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

bool TKeloParser::findTableOperator(QStringView text, const TSearchHint &known, TOperatorHit &hit) const
{
    const QChar *end = text.data() + text.size();
    const bool useHint = known.end == end;
    const int first = useHint ? known.firstEntry : 0;
    const bool noMinus = useHint && known.noMinus;
    // One scan finds what the search order asks for: the first of the entries
    // before the minus, else a binary minus, else the first entry behind it.
    quint32 wanted = entryRange(first, MinusEntry) | entryRange(std::max(first, MinusEntry + 1), EntryCount);
    if (!noMinus)
        wanted |= quint32(1) << MinusEntry;
    bool minusJudged = false;
    int at = 0;
    const int entry = findFirstTaken(text, searchTexts(), wanted, at, [&](int k, int i) {
        if (k != MinusEntry)
            return TOccurrence::Take;
        const TOccurrence occurrence = judgeMinus(text, i);
        minusJudged = minusJudged || occurrence != TOccurrence::Pass;
        return occurrence;
    });
    if (entry < 0)
        return false;
    hit.entry = &operatorTable()[size_t(entry)];
    hit.pos = at + 1;
    hit.behind = hit.pos + int(hit.entry->search.size());
    // Only a search that got as far as the minus learned whether there is one.
    const bool minusSearched = entry >= MinusEntry && !noMinus;
    hit.rest = {end, entry, minusSearched ? !minusJudged : noMinus};
    return hit.entry->kind != TOperatorKind::Stop;
}

std::unique_ptr<TExpression> TKeloParser::parseOperation(QStringView text, const TOperatorHit &hit)
{
    std::unique_ptr<TExpression> left = parseExpressionAt(text.left(hit.pos - 1), TSearchHint());
    if (!left)
        return nullptr;
    std::unique_ptr<TExpression> right = parseExpressionAt(text.mid(hit.behind - 1), hit.rest);
    if (!right)
        return nullptr;
    std::unique_ptr<TOpBianry> operation = createOperation(*hit.entry);
    operation->setFirstOperand(std::move(left));
    operation->setSecondOperand(std::move(right));
    if (!operation->isTypeMatch()) {
        addError(QStringLiteral("Typen stimmen nicht überein: ") + text.toString());
        return nullptr;
    }
    return operation;
}

std::unique_ptr<TExpression> TKeloParser::parseOperand(QStringView text)
{
    if (firstWordView(text) == u"not")
        return parseNot(text);
    if (std::unique_ptr<TFunctionValue> call = parseCall(text))
        return call;
    if (iTooDeep)
        return nullptr;
    if (std::unique_ptr<TVarValue> variable = parseVariable(text))
        return variable;
    const QString literal = text.toString();
    bool failed = false;
    const TType t = LiteralType(literal, failed);
    if (!failed)
        return constant(literal, t);
    // In soft mode unquoted text stands for itself as a string.
    if (iSoftmode)
        return constant(QuoteStr(literal), TType::kelostr);
    addError(QStringLiteral("unbekannter Ausdruck: ") + literal);
    return nullptr;
}

std::unique_ptr<TExpression> TKeloParser::constant(const QString &value, TType t)
{
    // A literal obeys the limit of computed strings.
    if (t == TType::kelostr && value.size() > MaxStringValueLength) {
        addError(StringTooLongText());
        return nullptr;
    }
    return std::make_unique<TConstant>(value, t);
}

std::unique_ptr<TExpression> TKeloParser::parseNot(QStringView text)
{
    std::unique_ptr<TExpression> operand = parseExpressionAt(behind(text, 4), TSearchHint());
    if (!operand)
        return nullptr;
    auto negation = std::make_unique<TOpNot>();
    negation->setFirstOperand(std::move(operand));
    if (!negation->isTypeMatch()) {
        addError(QStringLiteral("Ausdruck muss vom Typ bool sein: ") + text.toString());
        return nullptr;
    }
    return negation;
}

// Arguments that fail are left out; their messages stay.
std::vector<std::unique_ptr<TExpression>> TKeloParser::parseArguments(QStringView content)
{
    std::vector<std::unique_ptr<TExpression>> arguments;
    if (content.isEmpty())
        return arguments;
    const QList<QStringView> parts = splitOutside(content, u',');
    arguments.reserve(size_t(parts.size()));
    for (QStringView part : parts) {
        if (std::unique_ptr<TExpression> argument = parseExpressionAt(part, TSearchHint()))
            arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::unique_ptr<TFunctionValue> TKeloParser::parseFunctionValue(const QString &source) { return parseCall(source); }

std::unique_ptr<TFunctionValue> TKeloParser::parseCall(QStringView source)
{
    TNestingLevel level(*this, false);
    if (level.refused())
        return nullptr;
    QStringView text = trimmedView(source);
    if (text.endsWith(u';'))
        text.chop(1);
    // The name is the text without its first bracket group, the arguments the group's content.
    TBracketGroupScan group;
    // Most operands hold no bracket at all.
    if (findChar(text, u'(') >= 0)
        group.feed(text);
    if (group.opened() && !group.closed()) {
        addError(QStringLiteral("unvollständiger Ausdruck: ") + text.toString());
        return nullptr;
    }
    QStringView content;
    QStringView before = text;
    QStringView after;
    if (group.opened()) {
        const int open = group.openPos();
        const int close = group.closePos();
        content = trimmedView(text.mid(open + 1, close - open - 1));
        before = text.left(open);
        after = behind(text, close + 1);
    }
    if (!curCode->FunctionExists(callName(before, after)))
        return nullptr;
    // Calls in the arguments reuse the buffer; this one keeps its name.
    const QString name = iCallName;
    const qsizetype mark = collectedCount();
    std::vector<std::unique_ptr<TExpression>> arguments = parseArguments(content);
    QList<TTypInfo> signature;
    signature.reserve(qsizetype(arguments.size()));
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

// Most operands name no function, so their names are looked up in one buffer
// kept between calls instead of a copy each.
const QString &TKeloParser::callName(QStringView before, QStringView after)
{
    iCallName.resize(before.size() + after.size());
    std::copy(after.begin(), after.end(), std::copy(before.begin(), before.end(), iCallName.begin()));
    const QStringView name = trimmedView(iCallName);
    if (name.data() != iCallName.constData())
        iCallName = name.toString();
    else
        iCallName.truncate(name.size());
    return iCallName;
}

std::unique_ptr<TVarValue> TKeloParser::parseVariable(QStringView source)
{
    QStringView text = trimmedView(source);
    const bool isReference = text.startsWith(u"ref ", Qt::CaseInsensitive);
    if (isReference)
        text = trimmedView(text.mid(4));
    TDeclaration *declaration = curCode->FindDeclaration(text);
    if (!declaration)
        return nullptr;
    auto value = std::make_unique<TVarValue>(declaration);
    value->setIsReference(isReference);
    return value;
}
