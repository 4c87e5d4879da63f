#include "support/TutorialGame.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "support/Commands.h"

namespace fs = std::filesystem;

namespace testsupport
{
namespace
{
const fs::path TUTORIAL = fs::path(ZOLT_SOURCE_DIR) / "docs" / "tutorial";

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
}

bool buildTutorialGame(const std::string& folder, std::string& problem)
{
    const CommandResult setup = runCommand("cd " + quoted(ZOLT_SOURCE_DIR) + " && sh " +
                                           quoted((TUTORIAL / "setup.sh").string()) + " " + quoted(folder) + " 2>&1");
    if (setup.status != 0)
    {
        problem = "setup.sh failed: " + setup.out;
        return false;
    }
    std::error_code error;
    fs::copy(TUTORIAL / "mygame", folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error)
    {
        problem = "copying docs/tutorial/mygame: " + error.message();
        return false;
    }
    return true;
}

std::vector<std::string> tutorialFiles()
{
    std::vector<std::string> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(TUTORIAL, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file())
            files.push_back(fs::relative(it->path(), TUTORIAL).string());
    std::sort(files.begin(), files.end());
    return files;
}
}
