#pragma once

namespace core
{
// What the game hands the engine's lower folders before anything is built:
// the scripting vocabulary (initLuaBindings) and the maker of the
// characters that scene files name. Every program that builds sessions,
// scenes or characters calls it once, first.
void initEngine();
}
