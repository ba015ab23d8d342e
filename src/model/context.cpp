#include "model/context.h"

namespace qv {

Context::Context()
    : defaultMessages_(std::make_unique<RecordingMessages>()),
      defaultPresenter_(std::make_unique<ScriptedPresenter>()), messages_(defaultMessages_.get()),
      presenter_(defaultPresenter_.get()) {}

Context::~Context() = default;

} // namespace qv
