#pragma once
// Creates a word-processor application from its class name. This is the one
// place where engines are chosen; callers only see word::Application.

#include "automation/word.h"

#include <functional>
#include <optional>

namespace word {

enum class Engine {
    Builtin,     // the word processor built into the program (the default)
    LibreOffice, // LibreOffice Writer, driven over UNO
};

// "builtin" or "libreoffice" (any letter case); nothing for another name.
std::optional<Engine> engineFromName(const QString& name);
// The engine's name for the user.
QString engineTitle(Engine engine);
// Whether this build has the engine and, for LibreOffice, whether it is
// installed.
bool engineAvailable(Engine engine);

// The engine "word.application" starts from now on.
void setPreferredEngine(Engine engine);
Engine preferredEngine();

// The program waits for the user: an engine slow to start (LibreOffice)
// starts one instance's worth ahead, so that the next createObject answers
// at once. Nothing for the built-in engine, a test's own engine, or when
// LUMETRA_LIBREOFFICE_AHEAD is 0.
void prepareEngine();
// Whether an instance started ahead is there and ready (benchmarks).
bool engineReadyAhead();

// "word.application" (any letter case) gives a new instance of the chosen
// engine; any other class name raises AutomationError. When LibreOffice is
// chosen but missing or fails to start, the user is told which and asked
// whether to go on with the built-in word processor (which is then used for
// the rest of the session); answering no raises AutomationError.
std::shared_ptr<Application> createObject(const QString& className);

// An instance of the built-in word processor that only makes files: it
// never shows a window, whatever it is told (for many timetables at once).
std::shared_ptr<Application> createWindowless();

// Tests replace the engine behind "word.application" (for example with a
// recording fake, or one that fails); an empty function restores the default.
using EngineFactory = std::function<std::shared_ptr<Application>()>;
void setEngineFactory(EngineFactory factory);

} // namespace word
