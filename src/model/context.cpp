#include "model/context.h"

#include "components/komproc.h"

namespace qv {

Context::Context()
    : evaluator_(std::make_unique<komproc>()),
      defaultMessages_(std::make_unique<RecordingMessages>()),
      defaultPresenter_(std::make_unique<ScriptedPresenter>()),
      messages_(defaultMessages_.get()),
      presenter_(defaultPresenter_.get()) {}

Context::~Context() = default;

} // namespace qv
