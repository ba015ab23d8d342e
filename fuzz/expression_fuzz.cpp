// The expression evaluator behind every value field and the calculator.
#include <string>

#include "components/expression.h"
#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const qv::ExpressionEvaluator evaluator;
    const std::string text(reinterpret_cast<const char*>(data), size);
    qv::Extended value = 0;
    std::string error;
    if (!evaluator.tryEvaluate(text, value, &error) && error.empty())
        qv::fuzz::broken("a refused expression without a message");
    return 0;
}
