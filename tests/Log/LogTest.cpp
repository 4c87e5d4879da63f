#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "Log/Log.h"

namespace
{
// The level streams are process-wide; every test puts them back on stdout.
class LogTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        Log::setErrorStream(&std::cout);
        Log::setWarnStream(&std::cout);
        Log::setNoteStream(&std::cout);
    }
};
}

TEST_F(LogTest, PrefixesPadTheBracketedNameToFifteenCharacters)
{
    EXPECT_EQ(Log::prefix("Error"), "[Error]        ");
    EXPECT_EQ(Log::prefix("Warn"), "[Warn]         ");
    EXPECT_EQ(Log::prefix("Note"), "[Note]         ");
    EXPECT_EQ(Log::prefix(""), "[]             ");
    EXPECT_EQ(Log::prefix("elevenchars"), "[elevenchars]  ");
    EXPECT_EQ(Log::prefix("twelve_chars"), "[twelve_chars] ");
    EXPECT_EQ(Log::prefix("a much longer stream name"), "[a much longer stream name] ");
}

TEST_F(LogTest, LevelStreamsGoToStandardOutputUntilRedirected)
{
    testing::internal::CaptureStdout();
    Log::error() << "getRoot - Failed to load or parse file x.xml" << std::endl;
    Log::warn() << "w" << std::endl;
    Log::note() << "n" << std::endl;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Error]        getRoot - Failed to load or parse file x.xml\n"
                                                      "[Warn]         w\n"
                                                      "[Note]         n\n");

    std::ostringstream errors;
    Log::setErrorStream(&errors);
    Log::error() << "to the string" << std::endl;
    EXPECT_EQ(errors.str(), "[Error]        to the string\n");
}

TEST_F(LogTest, SilencedStreamsStillHandOutUsableStreams)
{
    std::ostringstream captured;
    Log::setWarnStream(&captured);
    Log::setErrorStream(nullptr);
    Log::setNoteStream(nullptr);

    testing::internal::CaptureStdout();
    std::ostream& silent = Log::error();
    silent << "dropped " << 42 << std::endl;
    Log::note() << "also dropped" << std::endl;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    Log::warn() << "kept" << std::endl;
    EXPECT_EQ(captured.str(), "[Warn]         kept\n");

    // Silencing is undone by installing a stream again.
    std::ostringstream revived;
    Log::setErrorStream(&revived);
    Log::error() << "back" << std::endl;
    EXPECT_EQ(revived.str(), "[Error]        back\n");
}

TEST_F(LogTest, NamedStreamsIgnoreCaseButPrintTheCallersSpelling)
{
    std::ostringstream session;
    Log::setNamedStream("SessionLogTest", &session);
    Log::named("sessionlogtest") << "a" << std::endl;
    Log::named("SESSIONLOGTEST") << "b" << std::endl;
    EXPECT_EQ(session.str(), "[sessionlogtest] a\n[SESSIONLOGTEST] b\n");

    std::ostringstream shortName;
    Log::setNamedStream("Inp", &shortName);
    Log::named("inP") << "x" << std::endl;
    EXPECT_EQ(shortName.str(), "[inP]          x\n");
}

TEST_F(LogTest, TheFirstRegistrationWinsIncludingTheSilentOne)
{
    // Used before being registered: silent for the rest of the run.
    testing::internal::CaptureStdout();
    Log::named("Oskel") << "unheard" << std::endl;
    std::ostringstream late;
    Log::setNamedStream("oskel", &late);
    Log::setNamedStream("OSKEL", &std::cout);
    Log::named("oskel") << "still unheard" << std::endl;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(late.str(), "");

    std::ostringstream first;
    std::ostringstream second;
    Log::setNamedStream("Brune2", &first);
    Log::setNamedStream("brune2", &second);
    Log::named("BRUNE2") << "m" << std::endl;
    EXPECT_EQ(first.str(), "[BRUNE2]       m\n");
    EXPECT_EQ(second.str(), "");

    // A null registration silences the name for good.
    std::ostringstream never;
    Log::setNamedStream("muted", nullptr);
    Log::setNamedStream("muted", &never);
    Log::named("muted") << "x" << std::endl;
    EXPECT_EQ(never.str(), "");
}
