#pragma once

#include <string>
#include <vector>

namespace testsupport
{
// Builds the game of the guide's tutorial in `folder` (made if need be)
// the way the guide tells a reader to: docs/tutorial/setup.sh run from the
// source folder, then every file of docs/tutorial/mygame laid over it.
// False, with the reason in `problem`, when a step fails.
bool buildTutorialGame(const std::string& folder, std::string& problem);

// Every file of docs/tutorial, as paths relative to that folder, sorted.
std::vector<std::string> tutorialFiles();
}
