// The line loop, block keywords, multi-line headers and the statement forms.
#include "parser/uKeloParser.h"

#include <array>

namespace {
// A function header can be split once its first ':' has something after it.
class TColonScan
{
public:
    void feed(QStringView part)
    {
        for (const QChar c : part) {
            if (iSeen) {
                iAfter = true;
                return;
            }
            iSeen = c == u':';
        }
    }
    bool pending() const { return !iAfter; }

private:
    bool iSeen = false;
    bool iAfter = false;
};

// A condition header can be split once its first bracket group is closed.
class TConditionScan : public TBracketGroupScan
{
public:
    bool pending() const { return opened() && !closed(); }
};

// The header text of a function: the line behind "function" and its space.
QStringView functionHeaderText(QStringView line) { return line.mid(9); }

// Calls use(part) for every part of a parameter list between ',' and ';' that
// is not empty.
template <typename Use> void forEachParameterText(QStringView parameters, Use use)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i <= parameters.size(); ++i) {
        if (i < parameters.size() && parameters[i] != u',' && parameters[i] != u';')
            continue;
        if (i > start)
            use(parameters.mid(start, i - start));
        start = i + 1;
    }
}

// The conditional whose if-branch is block, or nullptr.
TConditional *ifBranchOwner(TCodeBlock *block)
{
    auto *conditional = dynamic_cast<TConditional *>(block->Parent());
    return conditional && conditional->IfCodeBlock() == block ? conditional : nullptr;
}

// The conditional of which block is either branch, or nullptr.
TConditional *branchOwner(TCodeBlock *block) { return dynamic_cast<TConditional *>(block->Parent()); }

TLoop *bodyOwner(TCodeBlock *block) { return dynamic_cast<TLoop *>(block->Parent()); }
} // namespace

struct TKeloParser::TConditionTexts
{
    QString empty;
    QString codeAfter;
    QString notBool;
};

namespace {
// The process-wide parser: created on first use, kept until shutdown, so the
// soft-mode flag carries over from one parse to the next.
TKeloParser &sharedParser()
{
    static TKeloParser parser;
    return parser;
}
} // namespace

bool parseScript(const QStringList &code, TProgram *prog, std::unique_ptr<TKeloMessageList> &errors,
                 std::unique_ptr<TKeloMessageList> &warnings, TFunctionValueList *binCalls, QList<int> *lineNumbers)
{
    TKeloParser &parser = sharedParser();
    parser.Init();
    const bool ok = binCalls ? parser.parseBinCalls(code, prog, binCalls) : parser.parse(code, prog);
    warnings.reset(parser.Warnings().isEmpty() ? nullptr : new TKeloMessageList(parser.Warnings()));
    errors.reset(ok ? nullptr : new TKeloMessageList(parser.ErrorLog()));
    if (lineNumbers)
        lineNumbers->append(parser.LineNumbers());
    return ok;
}

bool TKeloParser::parseBinCalls(const QStringList &code, TProgram *prog, TFunctionValueList *binCalls)
{
    iBinCalls = binCalls;
    const bool ok = parse(code, prog);
    iBinCalls = nullptr;
    return ok;
}

bool TKeloParser::parse(const QStringList &code, TProgram *prog)
{
    iErrorLog.clear();
    iWarnings.clear();
    curCode = prog;
    iProgram = prog;
    iBlock = prog->CodeBlock();
    prog->StateCount = 0;
    iCode = &code;
    iIndex = -1;
    while (nextLine()) {
        curLineNr = iIndex;
        ++prog->StateCount;
        if (const TStatement *s = parseLogicalLine())
            iLineNumbers.append(s->LineNumber());
    }
    iCode = nullptr;
    return iErrorLog.isEmpty();
}

// Skips blank, directive and comment lines; the line found is stored without
// its comment.
bool TKeloParser::nextLine()
{
    while (++iIndex < iCode->size()) {
        const QString &source = (*iCode)[iIndex];
        const QStringView line = trimmedView(source);
        const qsizetype comment = commentStart(line);
        // Only a line with a comment can be a directive; trimming never
        // touches its "//!", so the untrimmed source can be asked.
        if (line.isEmpty() || (comment >= 0 && checkDirective(source)) || comment == 0)
            continue;
        iLine = trimmedView(comment < 0 ? line : line.first(comment));
        return true;
    }
    return false;
}

// Appends continuation lines to a header until scan can split it; false when
// the source ends first. Joined lines are not checked for keywords. A text
// borrowed from the source is copied before the first line is appended.
template <class Scan> bool TKeloParser::readHeader(QString &text, Scan &scan)
{
    while (scan.pending()) {
        if (!nextLine())
            return false;
        const qsizetype joint = text.size();
        text += QLatin1Char(' ');
        text += iLine;
        scan.feed(QStringView(text).mid(joint));
    }
    return true;
}

TStatement *TKeloParser::parseLogicalLine()
{
    const QString word = loweredWord(firstWordView(iLine));
    using L = QLatin1StringView;
    if (word == L("function"))
        functionHeader();
    else if (word == L("endfunction"))
        endFunction();
    else if (word == L("if"))
        return conditionalHeader();
    else if (word == L("elseif"))
        return elseifHeader();
    else if (word == L("else"))
        elseBranch();
    else if (word == L("endif"))
        endConditional();
    else if (word == L("while"))
        return loopHeader();
    else if (word == L("endwhile"))
        endLoop();
    else
        return statement();
    return nullptr;
}

void TKeloParser::warnCodeAfterKeyword(const QString &keyword)
{
    if (iLine != firstWordView(iLine))
        addWarning(QStringLiteral("code nach ") + keyword + QStringLiteral(" Schlüsselwort wird ignoriert"));
}

TStatement *TKeloParser::appendStatement(std::unique_ptr<TStatement> statement)
{
    TStatement *s = statement.get();
    iBlock->Add(std::move(statement));
    s->setLineNumber(curLineNr);
    return s;
}

void TKeloParser::functionHeader()
{
    QString text = borrowedString(iLine);
    TColonScan colon;
    colon.feed(functionHeaderText(text));
    std::unique_ptr<TFunctionCode> function;
    if (readHeader(text, colon))
        parseFunctionHeader(text, function);
    if (!function) {
        addError(QStringLiteral("Fehler in Funktionsdeklaration"));
        return;
    }
    // Functions always belong to the program, whatever scope is open.
    curCode = iProgram->AddFunction(std::move(function));
    iBlock = curCode->CodeBlock();
}

void TKeloParser::endFunction()
{
    auto *function = dynamic_cast<TFunction *>(curCode);
    if (!function || !function->Parent()) {
        addError(QStringLiteral("unerwartetes Funktionsende"));
        return;
    }
    curCode = function->Parent();
    iBlock = curCode->CodeBlock();
    warnCodeAfterKeyword(QStringLiteral("endfunction"));
}

std::unique_ptr<TConditional> TKeloParser::readConditional()
{
    QString text = borrowedString(iLine);
    TConditionScan scan;
    scan.feed(text);
    std::unique_ptr<TConditional> conditional;
    if (readHeader(text, scan))
        parseConditional(text, conditional);
    return conditional;
}

TStatement *TKeloParser::conditionalHeader()
{
    std::unique_ptr<TConditional> conditional = readConditional();
    if (!conditional) {
        addError(QStringLiteral("Fehler in bedingter Anweisung"));
        return nullptr;
    }
    TConditional *added = conditional.get();
    appendStatement(std::move(conditional));
    iBlock = added->IfCodeBlock();
    return added;
}

TStatement *TKeloParser::elseifHeader()
{
    TConditional *outer = ifBranchOwner(iBlock);
    if (!outer) {
        addError(QStringLiteral("unerwarteter ElseIf-Block"));
        return nullptr;
    }
    std::unique_ptr<TConditional> conditional = readConditional();
    if (!conditional) {
        addError(QStringLiteral("Fehler in bedingter Anweisung"));
        return nullptr;
    }
    TConditional *added = conditional.get();
    outer->ElseCodeBlock()->Add(std::move(conditional));
    outer->setIsElseif(true);
    added->setLineNumber(curLineNr);
    iBlock = added->IfCodeBlock();
    return added;
}

void TKeloParser::elseBranch()
{
    TConditional *conditional = ifBranchOwner(iBlock);
    if (!conditional) {
        addError(QStringLiteral("unerwarteter Else-Block"));
        return;
    }
    iBlock = conditional->ElseCodeBlock();
    warnCodeAfterKeyword(QStringLiteral("else"));
}

// One endif closes a whole if/elseif chain: it leaves every branch whose
// conditional continues an elseif.
void TKeloParser::endConditional()
{
    TConditional *conditional = branchOwner(iBlock);
    if (!conditional) {
        addError(QStringLiteral("unerwartetes Ende von bedingter Anweisung"));
        return;
    }
    warnCodeAfterKeyword(QStringLiteral("endif"));
    iBlock = conditional->Parent();
    for (TConditional *up = branchOwner(iBlock); up && up->IsElseif(); up = branchOwner(iBlock))
        iBlock = up->Parent();
}

TStatement *TKeloParser::loopHeader()
{
    QString text = borrowedString(iLine);
    TConditionScan scan;
    scan.feed(text);
    std::unique_ptr<TLoop> loop;
    if (readHeader(text, scan))
        parseLoop(text, loop);
    if (!loop) {
        addError(QStringLiteral("Fehler in Schleifendeklaration"));
        return nullptr;
    }
    TLoop *added = loop.get();
    appendStatement(std::move(loop));
    iBlock = added->CodeBlock();
    return added;
}

void TKeloParser::endLoop()
{
    TLoop *loop = bodyOwner(iBlock);
    if (!loop) {
        addError(QStringLiteral("unerwartetes Ende von Schleife"));
        return;
    }
    iBlock = loop->Parent();
    warnCodeAfterKeyword(QStringLiteral("endwhile"));
}

// Joins lines until the statement ends with ';'. A block keyword line ends
// the joining and is read again as the next logical line.
void TKeloParser::joinStatement(QString &text)
{
    while (!text.endsWith(u';')) {
        if (!nextLine())
            return;
        const QStringView word = firstWordView(iLine);
        if (containsWord(blockKeywords(), borrowedString(word))) {
            addWarning(QStringLiteral("; erwartet, aber ") + word.toString() + QStringLiteral(" gefunden"));
            --iIndex;
            return;
        }
        text += QLatin1Char(' ');
        text += iLine;
    }
}

TStatement *TKeloParser::statement()
{
    // Most statements end on their own line and are read in place.
    QStringView text = iLine;
    QString joined;
    if (!text.endsWith(u';')) {
        joined = text.toString();
        joinStatement(joined);
        text = joined;
    }
    std::unique_ptr<TStatement> s = parseDeclaration(text);
    if (!s)
        s = parseCallStatement(text);
    if (!s)
        s = parseAssignment(text, true);
    if (!s) {
        addError(QStringLiteral("ungültige Anweisung"));
        return nullptr;
    }
    return appendStatement(std::move(s));
}

bool TKeloParser::parseFunctionHeader(const QString &line, std::unique_ptr<TFunctionCode> &function)
{
    function.reset();
    QString header = functionHeaderText(line).toString();
    const qsizetype colon = header.indexOf(u':');
    if (colon < 0 || colon == header.size() - 1)
        return false;
    bool failed = false;
    const TType returnType = StrToType(header.mid(colon + 1), failed);
    if (failed) {
        addError(QStringLiteral("Rückgabetyp ungültig"));
        return true;
    }
    header.truncate(colon);
    QString parameters;
    bool nothingAfter = false;
    if (!extractBrackets(header, true, nothingAfter, parameters)) {
        addError(QStringLiteral("unvollstädige Parameterliste"));
        return true;
    }
    const QString name = trimCodes(header);
    if (name.isEmpty()) {
        addError(QStringLiteral("Funktionname konnte nicht ermittelt werden"));
    } else if (!isValidIdentifier(name)) {
        addError(QStringLiteral("Funktionsname ungültig"));
    } else if (curCode->IdentifierExists(name)) {
        addError(QStringLiteral("Funktionsname schon verwendet: ") + name);
    } else {
        function = std::make_unique<TFunctionCode>();
        function->setName(name);
        function->setReturnType(returnType);
        forEachParameterText(parameters, [&](QStringView part) {
            QString parameterName;
            bool isReference = false;
            TType t = TType::void_;
            if (parseVarDeclaration(part, parameterName, isReference, t))
                function->AddParameter(std::make_unique<TDeclaration>(parameterName, t, isReference));
        });
    }
    return true;
}

bool TKeloParser::parseConditionHeader(const QString &line, const TConditionTexts &texts,
                                       std::unique_ptr<TExpression> &condition)
{
    QString text = line;
    QString content;
    bool nothingAfter = true;
    if (!extractBrackets(text, false, nothingAfter, content))
        return false;
    if (content.isEmpty()) {
        addError(texts.empty);
        return true;
    }
    if (!nothingAfter)
        addWarning(texts.codeAfter);
    const qsizetype mark = collectedCount();
    std::unique_ptr<TExpression> expression = parseExpression(content);
    if (!expression)
        return true;
    if (expression->Resulttype() != TType::bool_) {
        addError(texts.notBool);
        dropCollectedSince(mark);
        return true;
    }
    condition = std::move(expression);
    return true;
}

bool TKeloParser::parseConditional(const QString &line, std::unique_ptr<TConditional> &conditional)
{
    static const TConditionTexts texts{QStringLiteral("leere Bedingung"),
                                       QStringLiteral("code nach den Klammern der Bedingung wird ignoriert"),
                                       QStringLiteral("Typ von bedingter Anweisung muss bool sein")};
    conditional.reset();
    std::unique_ptr<TExpression> condition;
    const bool finished = parseConditionHeader(line, texts, condition);
    if (condition) {
        conditional = std::make_unique<TConditional>();
        conditional->setExpression(std::move(condition));
    }
    return finished;
}

bool TKeloParser::parseLoop(const QString &line, std::unique_ptr<TLoop> &loop)
{
    static const TConditionTexts texts{QStringLiteral("leere Schleifenbedingung"),
                                       QStringLiteral("code nach den Klammern der Schleifenbedingung wird ignoriert"),
                                       QStringLiteral("Typ von Schleifenbedingung muss bool sein")};
    loop.reset();
    std::unique_ptr<TExpression> condition;
    const bool finished = parseConditionHeader(line, texts, condition);
    if (condition) {
        loop = std::make_unique<TLoop>();
        loop->setExpression(std::move(condition));
    }
    return finished;
}

std::unique_ptr<TDeclaration> TKeloParser::parseDeclaration(QStringView text)
{
    bool failed = false;
    StrToType(borrowedString(firstWordView(text)), failed);
    if (failed)
        return nullptr;
    const qsizetype mark = collectedCount();
    std::unique_ptr<TAssignment> initialiser;
    QStringView part;
    const qsizetype equals = findChar(text, u'=');
    if (equals >= 0) {
        part = trimmedView(text.left(equals));
        // The initialiser is read before the name is declared, so a name on
        // its right side refers to an outer declaration.
        initialiser = parseAssignment(trimmedView(text.mid(qMax(qsizetype(0), findChar(text, u' ')))), false);
        if (!initialiser)
            addError(QStringLiteral("Fehler in Initialisierung"));
    } else {
        part = trimmedView(text);
        if (part.endsWith(u';'))
            part.chop(1);
    }
    QString name;
    bool isReference = false;
    TType t = TType::void_;
    bool declared = parseVarDeclaration(part, name, isReference, t);
    if (declared && curCode->IdentifierExists(name)) {
        addError(QStringLiteral("Bezeichner wird schon verwendet: ") + name);
        declared = false;
    }
    if (!declared) {
        dropCollectedSince(mark);
        return nullptr;
    }
    auto declaration = std::make_unique<TDeclaration>(name, t, isReference);
    curCode->AddDeclaration(declaration.get());
    if (initialiser) {
        initialiser->setDeclaration(declaration.get());
        if (!initialiser->isTypeMatch())
            addError(QStringLiteral("Typen von Zuweisung stimmen nicht überein"));
        declaration->setAssignment(std::move(initialiser));
    }
    return declaration;
}

bool TKeloParser::parseVarDeclaration(QStringView text, QString &name, bool &isReference, TType &t)
{
    const QStringView declaration = trimmedView(text);
    // Only the first three words are kept; more make the declaration wrong anyway.
    std::array<QStringView, 3> words;
    qsizetype count = 0;
    for (const QStringView word : declaration.tokenize(u' ', Qt::SkipEmptyParts)) {
        if (count < qsizetype(words.size()))
            words[size_t(count)] = word;
        ++count;
    }
    if (count != 2 && count != 3) {
        addError(QStringLiteral("Fehler in Variablendeklaration: ") + declaration.toString());
        return false;
    }
    isReference = count == 3 && words[0].compare(u"ref", Qt::CaseInsensitive) == 0;
    bool ok = count == 2 || isReference;
    if (!ok)
        addError(QStringLiteral("Fehler in Variablendeklaration: ref erwartet ") + words[0].toString() +
                 QStringLiteral(" gefunden"));
    const QStringView typeWord = words[size_t(count - 2)];
    name = words[size_t(count - 1)].toString();
    bool failed = false;
    t = StrToType(borrowedString(typeWord), failed);
    if (failed) {
        addError(QStringLiteral("ungültiger Variablentyp: ") + typeWord.toString());
        return false;
    }
    if (!isValidIdentifier(name)) {
        addError(QStringLiteral("Variablenname ungültig: ") + name);
        return false;
    }
    return ok;
}

std::unique_ptr<TAssignment> TKeloParser::parseAssignment(QStringView text, bool mustExist)
{
    const qsizetype equals = findChar(text, u'=');
    if (equals <= 0 || (equals + 1 < text.size() && text[equals + 1] == u'='))
        return nullptr;
    const QStringView name = trimmedView(text.left(equals));
    QStringView source = trimmedView(text.mid(equals + 1));
    if (source.endsWith(u';'))
        source.chop(1);
    TDeclaration *declaration = curCode->FindDeclaration(name);
    if (mustExist && !declaration) {
        addError(QStringLiteral("Variable nicht definiert: ") + name.toString());
        return nullptr;
    }
    std::unique_ptr<TExpression> expression = parseExpression(source);
    if (!expression)
        return nullptr;
    auto assignment = std::make_unique<TAssignment>();
    assignment->setDeclaration(declaration);
    assignment->setExpression(std::move(expression));
    // An initialiser is checked by its declaration, against the new variable
    // rather than an outer one of the same name.
    if (mustExist && !assignment->isTypeMatch())
        addError(QStringLiteral("Typen von Zuweisung stimmen nicht überein"));
    return assignment;
}

std::unique_ptr<TFunctionCall> TKeloParser::parseCallStatement(QStringView text)
{
    std::unique_ptr<TFunctionValue> value = parseCall(text);
    if (!value)
        return nullptr;
    auto call = std::make_unique<TFunctionCall>();
    call->setFunctionValue(std::move(value));
    return call;
}
