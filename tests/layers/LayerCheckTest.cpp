#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/Commands.h"
#include "support/Files.h"

using testsupport::CommandResult;
using testsupport::runCommand;
using testsupport::ScratchFolder;

namespace
{
const std::string CHECKER = std::string(ZOLT_SOURCE_DIR) + "/cmake/check_layers.py";

struct FakeTree
{
    std::string table;
    std::vector<std::pair<std::string, std::string>> files; // path under src/, contents
};

// Writes the tree into a scratch folder and runs the check over it, standard
// error joined to the output; the stamp tells whether it counted as passed.
struct CheckRun
{
    CommandResult result;
    bool stamped = false;
};

CheckRun runCheck(const ScratchFolder& scratch, const FakeTree& tree)
{
    namespace fs = std::filesystem;
    const std::string root = scratch.path();
    fs::create_directories(root + "/src");
    testsupport::writeText(root + "/layers.txt", tree.table);
    for (const auto& [path, contents] : tree.files)
    {
        fs::create_directories(fs::path(root + "/src/" + path).parent_path());
        testsupport::writeText(root + "/src/" + path, contents);
    }
    CheckRun run;
    run.result = runCommand("python3 " + CHECKER + " " + root + "/layers.txt " + root + "/src " + root + "/stamp 2>&1");
    run.stamped = fs::exists(root + "/stamp");
    return run;
}

struct LayerCase
{
    const char* what;
    FakeTree tree;
    bool passes;
    std::vector<std::string> said; // texts the check must print
};

const std::string TWO = "low:\nhigh: low\n";
const std::string THREE = "low:\nmid: low\ntop: mid\n";
const std::string HEADER = "#pragma once\n";

std::vector<LayerCase> layerCases()
{
    return {
        {"a right-way include",
         {TWO, {{"low/Low.h", HEADER}, {"high/High.cpp", "#include <string>\n#include \"low/Low.h\"\n"}}},
         true,
         {}},
        {"a wrong-way include, named with its file, line and arrow",
         {TWO, {{"high/High.h", HEADER}, {"low/Low.cpp", "// first\n#include \"high/High.h\"\n"}}},
         false,
         {"/src/low/Low.cpp:2: low -> high", "high/High.h"}},
        {"an include two steps down",
         {THREE, {{"low/Low.h", HEADER}, {"top/Top.cpp", "#include \"low/Low.h\"\n"}}},
         true,
         {}},
        {"an include one step up from the middle",
         {THREE, {{"top/Top.h", HEADER}, {"mid/Mid.cpp", "#include \"top/Top.h\"\n"}}},
         false,
         {"mid -> top"}},
        {"a wrong-way include written relative to the file",
         {TWO, {{"high/High.h", HEADER}, {"low/Low.cpp", "#include \"../high/High.h\"\n"}}},
         false,
         {"low -> high"}},
        {"headers beside the file, system headers and missing ones",
         {TWO,
          {{"low/Low.h", HEADER},
           {"low/Low.cpp", "#include \"Low.h\"\n#include <vector>\n#include \"generated/Version.h\"\n"}}},
         true,
         {}},
        {"a wrong-way include listed as an exception",
         {TWO + "except low/Low.cpp -> high/High.h\n",
          {{"high/High.h", HEADER}, {"low/Low.cpp", "#include \"high/High.h\"\n"}}},
         true,
         {}},
        {"an exception no longer needed is reported but passes",
         {TWO + "except low/Gone.cpp -> high/High.h\n", {{"high/High.h", HEADER}}},
         true,
         {"low/Gone.cpp -> high/High.h is no longer needed"}},
        {"an exception covers only its own file",
         {TWO + "except low/Low.cpp -> high/High.h\n",
          {{"high/High.h", HEADER}, {"low/Other.cpp", "#include \"high/High.h\"\n"}}},
         false,
         {"/src/low/Other.cpp:1: low -> high"}},
        {"a circle in the table, even with no include at all",
         {"low: high\nhigh: low\n", {{"low/Low.h", HEADER}}},
         false,
         {"circle", "high -> low -> high"}},
        {"a longer circle through three folders",
         {"low: top\nmid: low\ntop: mid\n", {{"low/Low.h", HEADER}}},
         false,
         {"circle"}},
        {"a folder that names itself", {"low: low\n", {{"low/Low.h", HEADER}}}, false, {"'low' names itself"}},
        {"a folder of the tree missing from the table",
         {TWO, {{"stray/Stray.cpp", "int stray;\n"}}},
         false,
         {"folder 'stray'", "no line in the table"}},
        {"a rule naming a folder with no line of its own",
         {"high: nowhere\n", {{"high/High.h", HEADER}}},
         false,
         {"layers.txt:1", "'nowhere'"}},
        {"a folder listed twice", {"low:\nlow:\n", {{"low/Low.h", HEADER}}}, false, {"layers.txt:2", "listed twice"}},
        {"a line that is no rule",
         {"low\n", {{"low/Low.h", HEADER}}},
         false,
         {"layers.txt:1", "'folder: folders it may include'"}},
        {"an exception without its arrow",
         {TWO + "except low/Low.cpp high/High.h\n", {{"low/Low.h", HEADER}}},
         false,
         {"layers.txt:3", "except FILE -> HEADER"}},
    };
}
}

TEST(LayerCheck, EachFakeTreePassesOrFailsAsItsIncludesDeserve)
{
    for (const LayerCase& c : layerCases())
    {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch("zolt-layers");
        ASSERT_FALSE(scratch.path().empty());
        CheckRun run = runCheck(scratch, c.tree);
        EXPECT_EQ(run.result.status, c.passes ? 0 : 1) << run.result.out;
        EXPECT_EQ(run.stamped, c.passes) << "the stamp marks a passed check only";
        for (const std::string& text : c.said)
            EXPECT_NE(run.result.out.find(text), std::string::npos) << "missing '" << text << "' in:\n"
                                                                    << run.result.out;
        if (c.passes && c.said.empty())
        {
            EXPECT_EQ(run.result.out, "") << "a clean tree passes quietly";
        }
    }
}

TEST(LayerCheck, AMissingTableIsNamed)
{
    ScratchFolder scratch("zolt-layers");
    ASSERT_FALSE(scratch.path().empty());
    CommandResult result =
        runCommand("python3 " + CHECKER + " " + scratch.path() + "/none.txt " + scratch.path() + " 2>&1");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("none.txt: cannot be read"), std::string::npos) << result.out;
}

// The engine's own tree follows its own table; the build runs the same
// check, so this fails only together with the build, but it names the
// offending include where a test run is read.
TEST(LayerCheck, TheEngineFollowsItsTable)
{
    const std::string source = ZOLT_SOURCE_DIR;
    CommandResult result =
        runCommand("python3 " + CHECKER + " " + source + "/cmake/layers.txt " + source + "/src 2>&1");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.out.find("error"), std::string::npos) << result.out;
}
