#pragma once
// Creates a word-processor application from its class name. This is the one
// place where engines are chosen; callers only see word::Application.

#include "automation/word.h"

#include <functional>

namespace word {

// "word.application" (any letter case) gives the built-in word processor;
// any other class name raises AutomationError.
std::shared_ptr<Application> createObject(const QString& className);

// Tests replace the engine behind "word.application" (for example with a
// recording fake, or one that fails); an empty function restores the default.
using EngineFactory = std::function<std::shared_ptr<Application>()>;
void setEngineFactory(EngineFactory factory);

} // namespace word
