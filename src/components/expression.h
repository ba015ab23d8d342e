#pragma once
// The expression evaluator behind every value field and the calculator. It works by
// rewriting the text: each sub-result is written back with the standard float-to-text
// conversion and the text is read again, so every intermediate value is rounded to 15
// significant digits and the quirks of that rewriting (a typed "2E-5" is split at its sign,
// a sub-result below 0.00001 breaks the rest) are part of what users see.
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/extended.h"

namespace qv {

/// A text the evaluator cannot evaluate. `what()` is the message shown to the user.
class EvalError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The evaluator. Holds the table of function names and nothing else; evaluation keeps no
/// state, so one instance serves every dialog of a workbench.
class ExpressionEvaluator {
  public:
    /// Room in the function table; the constructor fills only the three built-ins.
    static constexpr int kFunctionCapacity = 301;
    /// Longest text `evaluate` accepts, in characters.
    static constexpr int kMaxLength = 255;

    ExpressionEvaluator();

    /// The value of `text`; throws EvalError.
    Extended evaluate(const std::string& text) const;

    /// Evaluates `text`; on failure answers false and puts the message into `error` when
    /// given. `out` is written only on success.
    bool tryEvaluate(const std::string& text, Extended& out, std::string* error = nullptr) const;

    /// Parenthesised sub-expressions innermost first, then the rest; throws EvalError.
    Extended evalParens(std::string text) const;
    /// A text without parentheses: powers, then products, then sums; throws EvalError.
    Extended evalFlat(std::string text) const;

    /// "sin", "cos", "sqrt", in the order the functions pass handles them.
    const std::vector<std::string>& functions() const { return functions_; }

  private:
    Extended evaluateUnchecked(std::string text) const;
    Extended applyFunction(size_t index, Extended argument) const;

    std::vector<std::string> functions_;
};

} // namespace qv
