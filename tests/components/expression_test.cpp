#include "components/expression.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>

#include "platform/numfmt.h"

namespace qv {
namespace {

const std::string kNotValid = " is not a valid floating point value";

struct Case {
    const char* text;
    const char* value; ///< the result in the standard conversion; null when it fails
    const char* error; ///< the expected message when it fails; null: any EvalError
};

TEST(Komproc, EvaluatesAsTheRewritingRulesSay) {
    const Case cases[] = {
        // Functions, recursively evaluated arguments.
        {"2*sqrt(9)", "6", nullptr},
        {"sin(cos(0))", "0.841470984807897", nullptr},
        {"sqrt(sqrt(16))", "2", nullptr},
        {"220*sin(0.5)", "105.473618492925", nullptr},
        // Without a closing parenthesis the argument runs to the end of the text.
        {"sin(1", "0.841470984807897", nullptr},
        // Order and associativity.
        {"2^3^2", "512", nullptr},
        {"8/2*2", "8", nullptr},
        {"10-2-3", "5", nullptr},
        {"2+3*4-6/2", "11", nullptr},
        {"(1+2)*(3+4)", "21", nullptr},
        {"((2))", "2", nullptr},
        // Signs: a '-' opening the text or following an operator belongs to the number.
        {"-3^2", "9", nullptr},
        {"2-3^2", "-7", nullptr},
        {"2*-3^2", "18", nullptr},
        {"-2*3", "-6", nullptr},
        {"2*-3", "-6", nullptr},
        {"2^-1", "0.5", nullptr},
        {"5--3", "8", nullptr},
        {"2+-3", "-1", nullptr},
        {"2-5*-1", "7", nullptr},
        // Numbers and blanks.
        {"5", "5", nullptr},
        {" 5 ", "5", nullptr},
        {"2 * 3", "6", nullptr},
        {"2E5", "200000", nullptr},
        {"1E5*2", "200000", nullptr},
        {"1/100000", "0.00001", nullptr},
        {"0.000001", "1E-6", nullptr},
        {"0.000002", "2E-6", nullptr},
        {"1/3*3", "0.999999999999999", nullptr},
        // Powers.
        {"0^0", "1", nullptr},
        {"0^5", "0", nullptr},
        {"0^2.5", "0", nullptr},
        {"(-2)^3", "-8", nullptr},
        {"4^0.5", "2", nullptr},
        {"3^40", "1.21576654590569E19", nullptr},
        // A ')' without '(' pairs with the previous '(' position, the first character the
        // first time.
        {"(7)2+3)", "5", nullptr},
        {"-1)", "1", nullptr},
        {"(1))", nullptr, "''"},

        // What fails by construction.
        {"+5", nullptr, "''"},
        {"2E-5", nullptr, "'2E'"},
        {"1E+3", nullptr, "'1E'"},
        {"1/1000000", nullptr, "'1E'"},
        {"0.000001*2", nullptr, "'2E'"},
        {"sin(3.14159)", nullptr, nullptr},
        {"sin (1)", nullptr, "'(1'"},
        {"sin1", nullptr, "''"},
        {"sin", nullptr, "''"},
        {"(2", nullptr, "'(2'"},
        {"2)", nullptr, "''"},
        {")5", nullptr, "''"},
        {"", nullptr, "''"},
        {"abc", nullptr, "'abc'"},
        {"2**3", nullptr, "''"},
        {"1E5000", nullptr, "'1E5000'"},
        {"Sin(1)", nullptr, "'Sin1'"},
        // Arithmetic failures.
        {"5/0", nullptr, "Division by zero"},
        {"0/0", nullptr, "Division by zero"},
        {"0^-1", nullptr, "Division by zero"},
        {"0^-0.5", nullptr, "Division by zero"},
        {"sqrt(0-1)", nullptr, "Invalid floating point operation"},
        {"(-8)^0.5", nullptr, "Invalid floating point operation"},
        // Integral exponents beyond 2147483647 take the logarithm, which refuses a
        // negative base even where the power exists.
        {"(-2)^3000000000", nullptr, "Invalid floating point operation"},
        {"2^3000000000", nullptr, "Floating point overflow"},
        {"2^100000", nullptr, "Floating point overflow"},
        {"1E4000*1E4000", nullptr, "Floating point overflow"},
        {"0-1E4000*1E4000", nullptr, "Floating point overflow"},
        {"1E4000^2", nullptr, "Floating point overflow"},
    };
    const ExpressionEvaluator k;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.value) {
            try {
                EXPECT_EQ(numfmt::standard(k.evaluate(c.text)), c.value);
            } catch (const EvalError& e) {
                ADD_FAILURE() << "failed with: " << e.what();
            }
        } else {
            try {
                const Extended v = k.evaluate(c.text);
                ADD_FAILURE() << "gave " << numfmt::standard(v);
            } catch (const EvalError& e) {
                if (c.error) {
                    const std::string expected = c.error[0] == '\'' ? c.error + kNotValid : c.error;
                    EXPECT_EQ(e.what(), expected);
                }
            }
        }
    }
}

TEST(Komproc, KeepsTheLastOperationsFullValueButRoundsWhatWasWrittenBack) {
    const ExpressionEvaluator k;
    EXPECT_EQ(k.evaluate("1/3"), 1.0L / 3.0L);
    EXPECT_EQ(k.evaluate("(1/3)"), *numfmt::parse("0.333333333333333"));
    const Extended squared = k.evaluate("sqrt(2)^2");
    EXPECT_NE(squared, 2.0L);
    EXPECT_NEAR(double(squared), 2.0, 1e-13);
}

TEST(Komproc, LargeIntegralPowersAreExactAndQuick) {
    const ExpressionEvaluator k;
    EXPECT_EQ(k.evaluate("2^2000"), std::ldexp(1.0L, 2000));
    EXPECT_EQ(k.evaluate("(-2)^2001"), -std::ldexp(1.0L, 2001));
    EXPECT_EQ(k.evaluate("0.5^-2000"), std::ldexp(1.0L, 2000));
    EXPECT_EQ(k.evaluate("0.5^2000000000"), 0.0L);

    // Multiplied out, these take billions of steps; they must come back at once.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(k.evaluate("1^2000000000"), 1.0L);
    EXPECT_EQ(k.evaluate("(-1)^2147483647"), -1.0L);
    EXPECT_EQ(k.evaluate("(-1)^-2147483646"), 1.0L);
    EXPECT_NEAR(double(k.evaluate("1.0000000001^2000000000")), std::exp(0.2), 1e-6);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(Komproc, RejectsTextsLongerThan255Characters) {
    const ExpressionEvaluator k;
    EXPECT_EQ(k.evaluate(std::string(254, ' ') + "5"), 5.0L);
    try {
        k.evaluate(std::string(255, ' ') + "5");
        ADD_FAILURE() << "256 characters were accepted";
    } catch (const EvalError& e) {
        EXPECT_EQ(std::string(e.what()), "Expression longer than 255 characters");
    }
    // Characters, not bytes: 200 two-byte letters are an invalid number, not a long text.
    std::string letters;
    for (int i = 0; i < 200; ++i)
        letters += "Ж";
    try {
        k.evaluate(letters);
        ADD_FAILURE();
    } catch (const EvalError& e) {
        EXPECT_EQ(e.what(), "'" + letters + "'" + kNotValid);
    }
    // Results written back may make the text longer than what was typed; that is no error.
    std::string sines = "0";
    while (sines.size() + 7 <= 255)
        sines += "+sin(1)";
    Extended v = 0;
    std::string error;
    EXPECT_TRUE(k.tryEvaluate(sines, v, &error)) << error;
    EXPECT_GT(v, 30);
}

TEST(Komproc, TryEvaluateAnswersInsteadOfThrowing) {
    const ExpressionEvaluator k;
    Extended v = 7;
    std::string error;
    EXPECT_FALSE(k.tryEvaluate("2E-5", v, &error));
    EXPECT_EQ(v, 7);
    EXPECT_EQ(error, "'2E'" + kNotValid);
    EXPECT_FALSE(k.tryEvaluate("1/0", v));
    EXPECT_TRUE(k.tryEvaluate("2*sqrt(9)", v, &error));
    EXPECT_EQ(v, 6);
}

TEST(Komproc, FunctionTableHoldsTheThreeBuiltIns) {
    const ExpressionEvaluator k;
    EXPECT_EQ(k.functions(), (std::vector<std::string>{"sin", "cos", "sqrt"}));
}

// Hostile text must end in a value or an EvalError: no other exception, no endless loop,
// no reading outside the text.
TEST(Komproc, RandomTextEndsInAValueOrAnEvalError) {
    const std::string alphabet = "0123456789.+-*/^()Esincoqrt ";
    const char* const tokens[] = {"sin(", "cos(", "sqrt(", "(", ")", ")", "-", "+",   "*",   "/",  "^",
                                  "1",    "2",    "0.5",   "E", "9", " ", "0", "1E5", "sin", "qrt"};
    std::mt19937 random(20240611);
    const ExpressionEvaluator k;
    auto slowest = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = int(random() % 40);
        for (int n = 0; n < length; ++n) {
            if (i % 2)
                text += alphabet[random() % alphabet.size()];
            else
                text += tokens[random() % std::size(tokens)];
        }
        if (text.size() > 255) text.resize(255);
        const auto start = std::chrono::steady_clock::now();
        try {
            const Extended v = k.evaluate(text);
            EXPECT_TRUE(std::isfinite(v)) << text;
        } catch (const EvalError&) {
        } catch (const std::exception& e) {
            ADD_FAILURE() << "'" << text << "': " << e.what();
        }
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
    }
    EXPECT_LT(slowest, std::chrono::seconds(1));
}

} // namespace
} // namespace qv
