#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fuzz/FuzzEntryPoints.h"

// Every corpus file, seeds and inputs that once found a fault alike, goes
// through its target's entry point in the normal build too: a loader that
// starts crashing, hanging or (under the sanitizers) misusing memory on any
// of them fails here, with or without clang.
namespace
{
namespace fs = std::filesystem;

const fs::path CORPUS_ROOT = fs::path(ZOLT_SOURCE_DIR) / "tests/fuzz/corpus";

std::vector<fs::path> corpusFiles(const std::string& target)
{
    std::vector<fs::path> files;
    const fs::path folder = CORPUS_ROOT / target;
    if (fs::is_directory(folder))
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CorpusReplay : public ::testing::TestWithParam<fuzz::Target>
{
protected:
    void SetUp() override { fuzz::prepare(); }
};

TEST_P(CorpusReplay, EveryFileOfTheCorpusIsReadWithoutFault)
{
    const fuzz::Target target = GetParam();
    const std::vector<fs::path> files = corpusFiles(target.name);
    ASSERT_FALSE(files.empty()) << "no corpus for " << target.name;
    for (const fs::path& file : files)
    {
        SCOPED_TRACE(file.string());
        const std::string input = contents(file);
        EXPECT_EQ(target.run(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay, ::testing::ValuesIn(fuzz::targets()),
                         [](const ::testing::TestParamInfo<fuzz::Target>& info)
                         { return std::string(info.param.name); });

TEST(CorpusLayout, EveryCorpusFolderBelongsToATarget)
{
    std::set<std::string> folders;
    for (const fs::directory_entry& entry : fs::directory_iterator(CORPUS_ROOT))
        if (entry.is_directory())
            folders.insert(entry.path().filename().string());
    for (const std::string& folder : folders)
        EXPECT_NE(fuzz::findTarget(folder), nullptr) << folder << " names no fuzz target";
    EXPECT_EQ(folders.size(), fuzz::targets().size());
}

// A fuzzer that crashed leaves its scratch folder; the next one removes it,
// and leaves alone the folders of fuzzers still running and anything else.
TEST(FuzzScratch, FoldersOfProcessesThatAreGoneAreRemoved)
{
    const fs::path root = fs::temp_directory_path() / ("zolt-scratch-test-" + std::to_string(getpid()));
    fs::create_directories(root);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const fs::path gone = root / ("zolt-fuzz-" + std::to_string(child));
    const fs::path running = root / ("zolt-fuzz-" + std::to_string(getpid()));
    const fs::path other = root / "zolt-fuzz-notes";
    const fs::path file = root / "zolt-fuzz-1";
    for (const fs::path& folder : {gone, running, other})
        fs::create_directories(folder / "inner");
    std::ofstream(file) << "a file, not a folder";

    EXPECT_EQ(fuzz::removeStaleScratch(root), 1);
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::exists(running / "inner"));
    EXPECT_TRUE(fs::exists(other / "inner"));
    EXPECT_TRUE(fs::exists(file));
    fs::remove_all(root);
}
}
