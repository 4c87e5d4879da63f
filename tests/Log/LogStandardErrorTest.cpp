#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "Log/Log.h"

// A maker running the game in a terminal sees every error and warning on
// standard error, while the whole log still goes to standard output.
TEST(LogStandardError, ErrorsAndWarningsReachBothStandardStreamsAndNotesOnlyOutput)
{
    Log::resetLevelStreams();
    struct Case
    {
        std::ostream& (*write)();
        const char* prefix;
        bool onStandardError;
    };
    const Case cases[] = {{&Log::error, "[Error]", true}, {&Log::warn, "[Warn]", true}, {&Log::note, "[Note]", false}};
    for (const Case& c : cases)
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        c.write() << "a sprite is missing" << std::endl;
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string line =
            Log::prefix(std::string(c.prefix).substr(1, std::string(c.prefix).size() - 2)) + "a sprite is missing\n";
        EXPECT_EQ(out, line) << c.prefix;
        EXPECT_EQ(err, c.onStandardError ? line : "") << c.prefix;
    }
    Log::setErrorStream(&std::cout);
    Log::setWarnStream(&std::cout);
}
