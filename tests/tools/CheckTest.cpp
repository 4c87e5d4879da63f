// zolt-check on the demo game and on a corpus of broken game trees. Each
// tree under check/broken/ holds only what it changes in check/base/ (and a
// removed.txt of files it takes away) and expected.txt, the one problem the
// checker must report for it. The engine's fonts and shaders are copied in
// from the checkout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ToolTestSupport.h"

namespace fs = std::filesystem;

namespace
{
const fs::path CORPUS = fs::path(ZOLT_SOURCE_DIR) / "tests" / "tools" / "check";
const fs::path CHECKER = fs::path(ZOLT_BINARY_DIR) / "zolt-check";

tooltest::CommandResult runChecker(const std::string& arguments)
{
    return tooltest::runCommand(CHECKER.string() + " " + arguments, false);
}

// The base tree with one broken tree laid over it, in a folder of its own.
class GameTree
{
public:
    explicit GameTree(const std::string& broken) : _folder("zolt-check")
    {
        if (_folder.path().empty())
            return;
        _root = _folder.path();
        fs::copy(CORPUS / "base", _root, fs::copy_options::recursive);
        // Every game carries the engine's fonts and shaders; the corpus
        // takes them from the checkout rather than keeping copies.
        for (const char* engine : {"assets/fonts", "assets/shaders"})
            fs::copy(fs::path(ZOLT_SOURCE_DIR) / engine, _root / engine, fs::copy_options::recursive);
        if (broken.empty())
            return;
        const fs::path overlay = CORPUS / "broken" / broken;
        fs::copy(overlay, _root, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        std::istringstream removed(tooltest::readText(overlay / "removed.txt"));
        for (std::string line; std::getline(removed, line);)
        {
            if (!line.empty())
                fs::remove_all(_root / line);
        }
        fs::remove(_root / "removed.txt");
        fs::remove(_root / "expected.txt");
    }
    const fs::path& root() const { return _root; }

private:
    testsupport::ScratchFolder _folder;
    fs::path _root;
};

std::vector<std::string> brokenTrees()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(CORPUS / "broken"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
}

TEST(ZoltCheck, PassesTheDemoGame)
{
    const tooltest::CommandResult run = runChecker(ZOLT_SOURCE_DIR);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.status, 0);
}

TEST(ZoltCheck, PassesTheBaseOfTheCorpus)
{
    GameTree tree("");
    const tooltest::CommandResult run = runChecker(tree.root().string());
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.status, 0);
}

TEST(ZoltCheck, FindsTheOneFaultOfEachBrokenTree)
{
    const std::vector<std::string> trees = brokenTrees();
    EXPECT_GE(trees.size(), 20u);
    for (const std::string& name : trees)
    {
        GameTree tree(name);
        const tooltest::CommandResult run = runChecker(tree.root().string());
        EXPECT_EQ(run.out, tooltest::readText(CORPUS / "broken" / name / "expected.txt")) << name;
        EXPECT_EQ(run.status, 1) << name;
    }
}

TEST(ZoltCheck, AFolderWithoutAGameIsRefused)
{
    const tooltest::CommandResult run = runChecker(fs::temp_directory_path().string());
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.status, 2);
}

// A game zipped finds the same faults as its folder: the checker reads the
// archive through the same reader as the game.
TEST(ZoltCheck, FindsTheSameFaultsInAZipOfEachTree)
{
    std::vector<std::string> trees = brokenTrees();
    trees.insert(trees.begin(), "");
    for (const std::string& name : trees)
    {
        GameTree tree(name);
        std::string entries;
        for (const auto& entry : fs::directory_iterator(tree.root()))
            entries += " '" + entry.path().filename().string() + "'";
        const fs::path zip = tree.root().string() + ".zip";
        ASSERT_EQ(tooltest::runCommand("cd '" + tree.root().string() + "' && cmake -E tar cf '" + zip.string() +
                                           "' --format=zip" + entries,
                                       false)
                      .status,
                  0)
            << name;
        const tooltest::CommandResult run = runChecker(zip.string());
        fs::remove(zip);
        const std::string expected =
            name.empty() ? "" : tooltest::readText(CORPUS / "broken" / name / "expected.txt");
        EXPECT_EQ(run.out, expected) << name;
        EXPECT_EQ(run.status, name.empty() ? 0 : 1) << name;
    }
}
