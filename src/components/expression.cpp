#include "components/expression.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "platform/numfmt.h"

namespace qv {

namespace {

const char* const kDivisionByZero = "Division by zero";
const char* const kInvalidOperation = "Invalid floating point operation";
const char* const kOverflow = "Floating point overflow";

// Up to this many factors an integral power is multiplied out factor by factor, as users
// have always had it; beyond, squaring gives the value without a loop of up to 2^31 steps.
constexpr uint64_t kStepwisePowerLimit = 1024;

bool isOperator(char c) {
    return c == '*' || c == '+' || c == '-' || c == '/' || c == '^';
}

Extended number(const std::string& text) {
    const auto v = numfmt::parse(text);
    if (!v) throw EvalError("'" + text + "' is not a valid floating point value");
    return *v;
}

/// Turns what the hardware would trap on into the evaluator's errors.
Extended checked(Extended v) {
    if (std::isnan(v)) throw EvalError(kInvalidOperation);
    if (std::isinf(v)) throw EvalError(kOverflow);
    return v;
}

Extended integralPower(Extended x, int64_t n) {
    uint64_t m = uint64_t(n < 0 ? -n : n);
    Extended r = 1;
    if (m <= kStepwisePowerLimit) {
        for (uint64_t k = 0; k < m; ++k)
            r = checked(r * x);
    } else {
        // For |x| > 1 every square taken is at most the final magnitude, so an overflow
        // here is an overflow of the result; for |x| < 1 the squares just reach zero.
        Extended b = x;
        for (;;) {
            if (m & 1) r = checked(r * b);
            m >>= 1;
            if (m == 0) break;
            b = checked(b * b);
        }
    }
    if (n < 0) {
        if (r == 0) throw EvalError(kDivisionByZero);
        r = checked(1 / r);
    }
    return r;
}

Extended power(Extended x, Extended y) {
    if (y == 0) return 1;
    if (x == 0 && y > 0) return 0;
    if (y == std::trunc(y) && std::fabs(y) <= 2147483647.0L) return integralPower(x, int64_t(y));
    if (x < 0) throw EvalError(kInvalidOperation);
    if (x == 0) throw EvalError(kDivisionByZero); // the logarithm of zero
    return checked(std::exp(y * std::log(x)));
}

/// Where the left operand of the operator at `i` starts: just after the nearest operator
/// before it, or on a '-' there that is a sign (it opens the text or follows an operator).
size_t leftOperandStart(const std::string& text, size_t i) {
    size_t j = i;
    while (j > 0 && !isOperator(text[j - 1]))
        --j;
    if (j == 0) return 0;
    const size_t op = j - 1;
    if (text[op] == '-' && (op == 0 || isOperator(text[op - 1]))) return op;
    return j;
}

/// One past the end of the right operand of the operator at `i`; a '-' right after the
/// operator is the operand's sign.
size_t rightOperandEnd(const std::string& text, size_t i) {
    size_t k = i + 1;
    if (k < text.size() && text[k] == '-') ++k;
    while (k < text.size() && !isOperator(text[k]))
        ++k;
    return k;
}

/// Applies the binary operator at `i` and writes its value over both operands.
Extended rewrite(std::string& text, size_t i) {
    const size_t begin = leftOperandStart(text, i);
    const size_t end = rightOperandEnd(text, i);
    const Extended a = number(text.substr(begin, i - begin));
    const Extended b = number(text.substr(i + 1, end - i - 1));
    Extended v = 0;
    switch (text[i]) {
    case '^':
        v = power(a, b);
        break;
    case '*':
        v = checked(a * b);
        break;
    case '/':
        if (b == 0) throw EvalError(kDivisionByZero);
        v = checked(a / b);
        break;
    case '+':
        v = checked(a + b);
        break;
    default:
        v = checked(a - b);
        break;
    }
    text.replace(begin, end - begin, numfmt::standard(v));
    return v;
}

size_t utf8Length(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace

ExpressionEvaluator::ExpressionEvaluator() {
    functions_.reserve(kFunctionCapacity);
    functions_ = {"sin", "cos", "sqrt"};
}

Extended ExpressionEvaluator::evaluate(const std::string& text) const {
    if (utf8Length(text) > size_t(kMaxLength))
        throw EvalError("Expression longer than " + std::to_string(kMaxLength) + " characters");
    return evaluateUnchecked(text);
}

bool ExpressionEvaluator::tryEvaluate(const std::string& text, Extended& out, std::string* error) const {
    try {
        out = evaluate(text);
        return true;
    } catch (const EvalError& e) {
        if (error) *error = e.what();
        return false;
    }
}

// The length limit applies to what the user typed; arguments of functions are evaluated
// without it, since results written back may have made the text longer.
Extended ExpressionEvaluator::evaluateUnchecked(std::string text) const {
    for (size_t f = 0; f < functions_.size(); ++f) {
        const std::string& name = functions_[f];
        // Each round replaces the name with a number, and numbers hold no lower-case
        // letters, so the occurrences run out.
        for (size_t p = text.find(name); p != std::string::npos; p = text.find(name)) {
            // The closing parenthesis is the ')' that brings the count back to zero; without
            // one the argument runs to the end of the text.
            size_t close = text.size();
            int depth = 0;
            for (size_t k = p + 1; k < text.size(); ++k) {
                if (text[k] == '(') {
                    ++depth;
                } else if (text[k] == ')' && --depth == 0) {
                    close = k;
                    break;
                }
            }
            // The character after the name is taken to be '(' without looking.
            const size_t argBegin = p + name.size() + 1;
            const std::string argument = argBegin < close ? text.substr(argBegin, close - argBegin) : "";
            const Extended v = applyFunction(f, evaluateUnchecked(argument));
            const size_t end = close < text.size() ? close + 1 : text.size();
            text.replace(p, end - p, numfmt::standard(v));
        }
    }
    return evalParens(std::move(text));
}

Extended ExpressionEvaluator::applyFunction(size_t index, Extended x) const {
    switch (index) {
    case 0:
        return checked(std::sin(x));
    case 1:
        return checked(std::cos(x));
    default:
        if (x < 0) throw EvalError(kInvalidOperation);
        return std::sqrt(x);
    }
}

Extended ExpressionEvaluator::evalParens(std::string text) const {
    // A ')' with no '(' before it pairs with where the previous '(' was, or with the first
    // character; every round removes one ')', so the loop ends.
    size_t open = 0;
    for (size_t close = text.find(')'); close != std::string::npos; close = text.find(')')) {
        if (close > 0) {
            const size_t found = text.rfind('(', close - 1);
            if (found != std::string::npos) open = found;
        }
        if (open > close) open = close;
        const std::string inner = open < close ? text.substr(open + 1, close - open - 1) : "";
        const Extended v = evalFlat(inner);
        text.replace(open, close - open + 1, numfmt::standard(v));
    }
    return evalFlat(std::move(text));
}

Extended ExpressionEvaluator::evalFlat(std::string text) const {
    bool applied = false;
    Extended last = 0;
    // Powers, rightmost first, so that they associate to the right.
    for (size_t i = text.rfind('^'); i != std::string::npos; i = text.rfind('^')) {
        last = rewrite(text, i);
        applied = true;
    }
    for (size_t i = text.find_first_of("*/"); i != std::string::npos; i = text.find_first_of("*/")) {
        last = rewrite(text, i);
        applied = true;
    }
    // A '-' in front is the sign of the first number, not a subtraction.
    auto firstSum = [&text]() -> size_t {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '+' || (text[i] == '-' && i > 0)) return i;
        return std::string::npos;
    };
    for (size_t i = firstSum(); i != std::string::npos; i = firstSum()) {
        last = rewrite(text, i);
        applied = true;
    }
    return applied ? last : number(text);
}

} // namespace qv
