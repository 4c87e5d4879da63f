#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Log/FileLog.h"

namespace
{
// Points the file log at a temporary file for one test and restores the
// process-wide stream and level afterwards.
class FileLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        _savedStream = Output2FILE::Stream();
        _savedLevel = FILELog::ReportingLevel();
        _file = std::tmpfile();
        ASSERT_NE(_file, nullptr);
        Output2FILE::Stream() = _file;
    }
    void TearDown() override
    {
        Output2FILE::Stream() = _savedStream;
        FILELog::ReportingLevel() = _savedLevel;
        if (_file)
            std::fclose(_file);
    }
    std::string written()
    {
        std::string text;
        std::rewind(_file);
        int c;
        while ((c = std::fgetc(_file)) != EOF)
            text += static_cast<char>(c);
        std::fseek(_file, 0, SEEK_END);
        return text;
    }

    FILE* _savedStream = nullptr;
    TLogLevel _savedLevel = logDEBUG4;
    FILE* _file = nullptr;
};

int evaluations = 0;
int counted()
{
    ++evaluations;
    return evaluations;
}
}

TEST(FileLogDefaults, StandardErrorAtEveryLevelUntilTheRendererSaysOtherwise)
{
    EXPECT_EQ(Output2FILE::Stream(), stderr);
    EXPECT_EQ(FILELog::ReportingLevel(), logDEBUG4);
    testing::internal::CaptureStderr();
    FILE_LOG(logDEBUG4) << "(FileLogTest) before the renderer";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "-   DEBUG4: \t\t\t\t(FileLogTest) before the renderer\n");
}

TEST_F(FileLogTest, EachMessageIsOneLineWithItsLevelHeader)
{
    FILE_LOG(logINFO) << "(SceneManager::CreateMap) Creating a new map (" << 3 << ")";
    FILE_LOG(logERROR) << "e";
    FILE_LOG(logWARNING) << "w";
    FILE_LOG(logDEBUG) << "d";
    FILE_LOG(logDEBUG1) << "d1";
    FILE_LOG(logDEBUG2) << "d2";
    EXPECT_EQ(written(), "-   INFO: (SceneManager::CreateMap) Creating a new map (3)\n"
                         "-   ERROR: e\n"
                         "-   WARNING: w\n"
                         "-   DEBUG: d\n"
                         "-   DEBUG1: \td1\n"
                         "-   DEBUG2: \t\td2\n");
    EXPECT_EQ(FILELog::ToString(logDEBUG3), "DEBUG3");
    EXPECT_EQ(FILELog::ToString(static_cast<TLogLevel>(8)), "UNKNOWN");
}

TEST_F(FileLogTest, LevelsAboveTheReportingLevelAreDroppedUnevaluated)
{
    FILELog::ReportingLevel() = logDEBUG3;
    evaluations = 0;
    FILE_LOG(logDEBUG4) << "dropped " << counted();
    FILE_LOG(logDEBUG3) << "kept " << counted();
    EXPECT_EQ(written(), "-   DEBUG3: \t\t\tkept 1\n");
    EXPECT_EQ(evaluations, 1);
}

TEST_F(FileLogTest, ANullFileStopsLoggingQuietly)
{
    Output2FILE::Stream() = nullptr;
    evaluations = 0;
    FILE_LOG(logERROR) << "nowhere " << counted();
    EXPECT_EQ(evaluations, 0);
    Output2FILE::Stream() = _file;
    EXPECT_EQ(written(), "");
}

TEST_F(FileLogTest, TheMacroNestsUnderAnUnbracedIf)
{
    bool logged = false;
    bool elseTaken = false;
    for (bool condition : {true, false})
    {
        if (condition)
            FILE_LOG(logINFO) << "taken " << (logged = true);
        else
            elseTaken = true;
    }
    EXPECT_TRUE(logged);
    EXPECT_TRUE(elseTaken);
    EXPECT_EQ(written(), "-   INFO: taken 1\n");
}

TEST_F(FileLogTest, ErrorsAndWarningsAlsoReachStandardErrorOnceTheLogHasAFile)
{
    struct Case
    {
        TLogLevel level;
        const char* text;
        bool onStandardError;
    };
    const Case cases[] = {
        {logERROR, "(FileLogTest) a broken texture", true},
        {logWARNING, "(FileLogTest) a suspicious map", true},
        {logINFO, "(FileLogTest) loading", false},
        {logDEBUG, "(FileLogTest) detail", false},
    };
    for (const Case& c : cases)
    {
        testing::internal::CaptureStderr();
        FILE_LOG(c.level) << c.text;
        const std::string echoed = testing::internal::GetCapturedStderr();
        EXPECT_NE(written().find(c.text), std::string::npos) << "always in the file: " << c.text;
        EXPECT_EQ(echoed.find(c.text) != std::string::npos, c.onStandardError) << c.text;
    }
    testing::internal::CaptureStderr();
    FILE_LOG(logERROR) << "(FileLogTest) exact";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "-   ERROR: (FileLogTest) exact\n") << "the same line format";
}
