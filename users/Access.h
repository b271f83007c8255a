#pragma once
#include <functional>

// The one way the program ends on its own: AccessToInt's message for a level text that is
// none of the four levels. By default EndProgram tells the application to leave its event
// loops (QCoreApplication::exit), so it closes once the current event has been handled.
// While a handler is set (tests), EndProgram calls it instead and the application keeps
// running; an empty function restores the default.
void EndProgram();
void SetEndProgramHandler(std::function<void()> handler);
