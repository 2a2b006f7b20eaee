#include "script/uKeloExpression.h"

#include <cmath>
#include <limits>

namespace {
bool isNumber(TType t) { return t == TType::int_ || t == TType::kelofloat; }

[[noreturn]] void fault(const char16_t *message) { throw TArithmeticFault(QString::fromUtf16(message)); }

// Rounds a float operand of "div" or "%" half to even into the 32-bit range.
qint64 roundedOperand(double x)
{
    const double r = std::nearbyint(x);
    if (!(r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max()))
        fault(u"Fehler bei Bereichsprüfung");
    return static_cast<qint64>(r);
}

// Truncating division and remainder in 64 bits, so that the one 32-bit
// overflow (-2147483648 div -1) is written in full instead of trapping.
qint64 divide(qint64 a, qint64 b, bool remainder)
{
    if (b == 0)
        fault(u"Division durch Null");
    return remainder ? a % b : a / b;
}

double floatQuotient(double a, double b)
{
    if (b == 0) {
        if (a == 0)
            fault(u"Ungültige Gleitkommaoperation");
        fault(u"Gleitkommadivision durch Null");
    }
    return a / b;
}

// A string result longer than the limit ends the run instead of exhausting memory.
void checkStringLength(qsizetype length)
{
    if (length > MaxStringValueLength)
        throw TRuntimeError(StringTooLongText());
}

double checkedFloat(double result)
{
    if (std::isinf(result))
        fault(u"Gleitkommaüberlauf");
    return result;
}

// Brings an int and a float operand to one type: the int side is taken as float.
void unifyNumberTypes(TType &t1, QString &a, TType &t2, QString &b)
{
    if (t1 == t2)
        return;
    if (ConvertValue(t1, t2, a))
        t1 = t2;
    else if (ConvertValue(t2, t1, b))
        t2 = t1;
}

// Texts of differing types are compared as one type; with the operand pairs
// the typing admits, the side that is not a string gets quoted.
void bringToOneType(TType t1, QString &first, TType t2, QString &second)
{
    if (t1 == t2)
        return;
    if (t1 != TType::kelostr && ConvertValue(t2, t1, second))
        return;
    if (t2 != TType::kelostr && ConvertValue(t1, t2, first))
        return;
    if (!ConvertValue(t2, t1, second))
        ConvertValue(t1, t2, first);
}

double numberOperand(TType t, const QString &text) { return t == TType::int_ ? IntOperand(text) : FloatOperand(text); }

const QString &zeroText()
{
    static const QString text = QStringLiteral("0");
    return text;
}
} // namespace

// ---------------------------------------------------------------- base

void TExpression::getValue(bool &halted, QString &value)
{
    TValue result;
    evaluate(halted, result);
    value = result.takeText();
}

qint32 TExpression::getIntOperand(bool &halted)
{
    TValue value;
    evaluate(halted, value);
    return value.IntReading();
}

bool TExpression::getExactInt(bool &halted, qint64 &)
{
    halted = false;
    return false;
}

bool TExpression::getTruth(bool &halted)
{
    TValue value;
    evaluate(halted, value);
    return ValueToBool(value.Text());
}

// ---------------------------------------------------------------- leaves

TConstant::TConstant(const QString &value, TType t) : iType(t)
{
    QString text = value;
    NormalizeConstant(t, text);
    iValue.setText(std::move(text));
    // Read once here, so that every copy handed out carries the reading.
    iValue.IntReading();
}

qint32 TConstant::getIntOperand(bool &halted)
{
    halted = false;
    return IntReading();
}

void TConstant::evaluate(bool &halted, TValue &value)
{
    halted = false;
    value = iValue;
}

TType TVarValue::Resulttype() const { return iDeclaration ? iDeclaration->ValueType() : TType::void_; }

void TVarValue::evaluate(bool &halted, TValue &value)
{
    halted = false;
    const TVariable *v = iDeclaration ? iDeclaration->getVariable() : nullptr;
    if (v)
        value = v->Content();
    else
        value.clear();
}

qint32 TVarValue::getIntOperand(bool &halted)
{
    halted = false;
    const TVariable *v = iDeclaration ? iDeclaration->getVariable() : nullptr;
    return v ? v->IntValue() : 0;
}

// ---------------------------------------------------------------- operations

void TOperation::setFirstOperand(std::unique_ptr<TExpression> operand)
{
    iFirstOperand = std::move(operand);
    if (iFirstOperand)
        iFirstOperand->setLineNumber(iLineNumber);
}

void TOperation::setLineNumber(int line)
{
    TExpression::setLineNumber(line);
    if (iFirstOperand)
        iFirstOperand->setLineNumber(line);
}

void TOperation::Init()
{
    TExpression::Init();
    if (iFirstOperand)
        iFirstOperand->Init();
}

bool TOpNot::isTypeMatch() const { return iFirstOperand && iFirstOperand->Resulttype() == TType::bool_; }

void TOpNot::evaluate(bool &halted, TValue &value) { value.setText(BoolToValue(getTruth(halted))); }

bool TOpNot::getTruth(bool &halted)
{
    halted = false;
    return !(iFirstOperand && iFirstOperand->getTruth(halted));
}

TOpBianry::TOpBianry(const QString &op) : op(op.toLower()) {}

void TOpBianry::setSecondOperand(std::unique_ptr<TExpression> operand)
{
    iSecondOperand = std::move(operand);
    if (iSecondOperand)
        iSecondOperand->setLineNumber(iLineNumber);
}

void TOpBianry::setLineNumber(int line)
{
    TOperation::setLineNumber(line);
    if (iSecondOperand)
        iSecondOperand->setLineNumber(line);
}

void TOpBianry::Init()
{
    TOperation::Init();
    if (iSecondOperand)
        iSecondOperand->Init();
}

bool TOpBianry::isTypeMatch() const
{
    if (!iFirstOperand || !iSecondOperand)
        return false;
    const TType a = firstType();
    const TType b = secondType();
    return a == b || CanConvert(a, b) || CanConvert(b, a);
}

bool TOpBianry::evaluateOperands(bool &halted, QString &first, QString &second)
{
    halted = false;
    if (!iFirstOperand || !iSecondOperand)
        return false;
    if (!chached) {
        iFirstOperand->getValue(halted, first);
        chached = !halted;
    }
    if (halted)
        return false;
    iSecondOperand->getValue(halted, second);
    if (halted)
        return false;
    chached = false;
    return true;
}

bool TOpBianry::evaluateIntOperands(bool &halted, qint32 &second)
{
    halted = false;
    if (!chached) {
        iFirstInt = iFirstOperand->getIntOperand(halted);
        chached = !halted;
    }
    if (halted)
        return false;
    second = iSecondOperand->getIntOperand(halted);
    if (halted)
        return false;
    chached = false;
    return true;
}

bool TIntLeaf::describe(TExpression *operand)
{
    *this = TIntLeaf();
    if (const TVarValue *v = operand->asVarValue()) {
        variable = v->Declaration();
        return true;
    }
    if (const TConstant *c = operand->asConstant()) {
        constant = c->IntReading();
        return true;
    }
    return false;
}

bool TOpBianry::areBothInt() const
{
    return iFirstOperand && iSecondOperand && firstType() == TType::int_ && secondType() == TType::int_;
}

// ---------------------------------------------------------------- and, or

bool TOpBool::isTypeMatch() const
{
    return iFirstOperand && iSecondOperand && firstType() == TType::bool_ && secondType() == TType::bool_;
}

void TOpBool::evaluate(bool &halted, TValue &value) { value.setText(BoolToValue(getTruth(halted))); }

bool TOpBool::getTruth(bool &halted)
{
    halted = false;
    if (!iFirstOperand || !iSecondOperand)
        return false;
    if (!chached) {
        v1 = iFirstOperand->getTruth(halted);
        chached = !halted;
    }
    if (halted)
        return false;
    const bool isAnd = op == u"and";
    if (!isAnd && op != u"or") {
        chached = false;
        return false;
    }
    bool result = v1;
    // The second operand decides only when the first does not.
    if (v1 == isAnd) {
        result = iSecondOperand->getTruth(halted);
        if (halted)
            return false;
    }
    chached = false;
    return result;
}

// ---------------------------------------------------------------- arithmetic

TOpMath::TOpMath(const QString &op) : TOpBianry(op)
{
    const QString &o = operat();
    iOperator = o == u"+"     ? Operator::Add
                : o == u"-"   ? Operator::Subtract
                : o == u"*"   ? Operator::Multiply
                : o == u"/"   ? Operator::Divide
                : o == u"div" ? Operator::Div
                : o == u"%"   ? Operator::Mod
                              : Operator::Unknown;
}

TType TOpMath::Resulttype() const
{
    const TType a = iFirstOperand ? firstType() : TType::void_;
    const TType b = iSecondOperand ? secondType() : TType::void_;
    if (iOperator == Operator::Add && (a == TType::kelostr || b == TType::kelostr))
        return TType::kelostr;
    if (iOperator == Operator::Divide || a == TType::kelofloat || b == TType::kelofloat)
        return TType::kelofloat;
    return TType::int_;
}

bool TOpMath::isTypeMatch() const
{
    if (!TOpBianry::isTypeMatch())
        return false;
    const TType a = firstType();
    const TType b = secondType();
    if (isNumber(a) && isNumber(b))
        return true;
    return iOperator == Operator::Add && (a == TType::kelostr || b == TType::kelostr);
}

void TOpMath::evaluate(bool &halted, TValue &value)
{
    qint64 exact = 0;
    if (getExactInt(halted, exact)) {
        if (halted)
            value.setText(zeroText());
        else
            value.setInt(exact);
        return;
    }
    evaluateText(halted, value);
}

void TOpMath::evaluateText(bool &halted, TValue &value)
{
    QString second;
    if (!evaluateOperands(halted, v1, second)) {
        value.setText(zeroText());
        return;
    }
    TType t1 = firstType();
    TType t2 = secondType();
    if (t1 == TType::kelostr || t2 == TType::kelostr) {
        value.setText(concatenate(v1, second));
        v1.clear();
        return;
    }
    // The cached first value is spent once the evaluation completes.
    unifyNumberTypes(t1, v1, t2, second);
    if (t1 == TType::int_ && t2 == TType::int_)
        value.setText(FloatToValue(floatQuotient(IntOperand(v1), IntOperand(second))));
    else
        value.setText(floatResult(numberOperand(t1, v1), numberOperand(t2, second)));
}

qint32 TOpMath::getIntOperand(bool &halted)
{
    qint64 exact = 0;
    if (getExactInt(halted, exact))
        return halted ? 0 : IntReading(exact);
    return TExpression::getIntOperand(halted);
}

// Every operator but "/" keeps two int operands an int.
bool TOpMath::getExactInt(bool &halted, qint64 &value)
{
    halted = false;
    if (iOperator == Operator::Divide || !hasIntOperands())
        return false;
    if (hasIntLeaves()) {
        value = intLeafResult();
        return true;
    }
    qint32 second = 0;
    if (evaluateIntOperands(halted, second))
        value = integerResult(iFirstInt, second);
    return true;
}

TOpMath::TAppend TOpMath::appendTo(const TDeclaration *target, QString &value)
{
    const TVarValue *first = iFirstOperand ? iFirstOperand->asVarValue() : nullptr;
    if (iOperator != Operator::Add || !iSecondOperand || !first || first->Declaration() != target ||
        target->ValueType() != TType::kelostr)
        return TAppend::notApplicable;
    QString second;
    bool halted = false;
    if (!evaluateOperands(halted, v1, second))
        return TAppend::halted;
    ConvertValue(secondType(), TType::kelostr, second);
    TVariable *v = target->variable();
    // Extending in place needs the text the first operand read, still unchanged.
    const bool unchanged = v && v->Value().constData() == v1.constData() && v->Value().size() == v1.size();
    if (unchanged && v->Content().isCanonicalString() && IsCanonicalStringText(second)) {
        checkStringLength(v1.size() + second.size() - 2);
        v1.clear();
        v->Content().appendCanonicalString(second);
        return TAppend::appended;
    }
    value = concatenate(v1, second);
    v1.clear();
    return TAppend::computed;
}

QString TOpMath::concatenate(const QString &first, const QString &second) const
{
    QString a = first;
    QString b = second;
    ConvertValue(firstType(), TType::kelostr, a);
    ConvertValue(secondType(), TType::kelostr, b);
    if (IsCanonicalStringText(a) && IsCanonicalStringText(b)) {
        checkStringLength(a.size() + b.size() - 2);
        return JoinCanonicalStrings(a, b);
    }
    const auto decoded = [](const QString &text) {
        QString s;
        bool failed = false;
        UnquoteStr(text, failed, s);
        return failed ? QString() : s;
    };
    QString result = QuoteStr(decoded(a) + decoded(b));
    checkStringLength(result.size());
    return result;
}

qint64 TOpMath::anyIntegerResult(qint32 a, qint32 b) const
{
    qint32 exact = 0;
    switch (iOperator) {
    case Operator::Add:
        return __builtin_add_overflow(a, b, &exact) ? std::llround(double(a) + double(b)) : exact;
    case Operator::Subtract:
        return __builtin_sub_overflow(a, b, &exact) ? std::llround(double(a) - double(b)) : exact;
    case Operator::Multiply:
        return __builtin_mul_overflow(a, b, &exact) ? std::llround(double(a) * double(b)) : exact;
    case Operator::Div:
    case Operator::Mod:
        return divide(a, b, iOperator == Operator::Mod);
    case Operator::Divide:
    case Operator::Unknown:
        break;
    }
    return 0;
}

QString TOpMath::floatResult(double a, double b) const
{
    switch (iOperator) {
    case Operator::Add:
        return FloatToValue(checkedFloat(a + b));
    case Operator::Subtract:
        return FloatToValue(checkedFloat(a - b));
    case Operator::Multiply:
        return FloatToValue(checkedFloat(a * b));
    case Operator::Divide:
        return FloatToValue(checkedFloat(floatQuotient(a, b)));
    case Operator::Div:
    case Operator::Mod: {
        const qint64 ra = roundedOperand(a);
        const qint64 rb = roundedOperand(b);
        return FloatToValue(double(divide(ra, rb, iOperator == Operator::Mod)));
    }
    case Operator::Unknown:
        break;
    }
    return zeroText();
}

// ---------------------------------------------------------------- comparison

TOpRelation::TOpRelation(const QString &op) : TOpBianry(op)
{
    const QString &o = operat();
    iOperator = o == u"=="   ? Operator::Equal
                : o == u"!=" ? Operator::NotEqual
                : o == u"<"  ? Operator::Less
                : o == u">"  ? Operator::Greater
                : o == u"<=" ? Operator::LessEqual
                : o == u">=" ? Operator::GreaterEqual
                             : Operator::Unknown;
}

void TOpRelation::evaluate(bool &halted, TValue &value) { value.setText(BoolToValue(getTruth(halted))); }

bool TOpRelation::getTruth(bool &halted)
{
    if (hasIntLeaves()) {
        halted = false;
        return intLeafTruth();
    }
    if (hasIntOperands()) {
        qint32 second = 0;
        return evaluateIntOperands(halted, second) && holds(iFirstInt, second);
    }
    QString second;
    if (!evaluateOperands(halted, v, second))
        return false;
    const bool numeric = isNumber(firstType()) && isNumber(secondType());
    return numeric ? compareNumbers(v, second) : compareTexts(v, second);
}

bool TOpRelation::compareNumbers(QString &first, QString &second) const
{
    TType t1 = firstType();
    TType t2 = secondType();
    // The int side is taken as float; the second operand is tried first here.
    unifyNumberTypes(t2, second, t1, first);
    if (t1 == TType::int_ && t2 == TType::int_)
        return holds(IntOperand(first), IntOperand(second));
    return holds(numberOperand(t1, first), numberOperand(t2, second));
}

bool TOpRelation::compareTexts(QString &first, QString &second) const
{
    const TType t1 = firstType();
    const TType t2 = secondType();
    bringToOneType(t1, first, t2, second);
    // QString orders by UTF-16 code unit, a proper prefix first.
    return holds(first, second);
}
