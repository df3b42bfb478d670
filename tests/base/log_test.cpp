#include "base/exceptions.h"
#include "base/log.h"
#include "base/version.h"
#include "support/fresh_state.h"

#include <gmock/gmock.h>

#include <map>
#include <regex>
#include <sstream>
#include <thread>

namespace brg {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using test::readFile;
using LogTest = test::TempDirTest;

TEST_F(LogTest, EachRunStartsWithItsHeaderAndKeepsTwoEarlierRuns)
{
    for (const char* run : {"first", "second", "third"}) {
        g_log.open();
        g_log.write(run);
        g_log.close();
    }
    const std::regex header(R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\d \d\d:\d\d:\d\d \d{4} \(utc\) Talvesync version )"
                            R"(3\.46\.0\nthird\n)");
    EXPECT_TRUE(std::regex_match(readFile("Log.txt"), header));
    EXPECT_THAT(readFile("Log0.txt"), HasSubstr("\nsecond\n"));
    EXPECT_THAT(readFile("Log00.txt"), HasSubstr("\nfirst\n"));
}

TEST_F(LogTest, WritesAreDroppedWhileClosedAndEveryLineIsFlushed)
{
    g_log.write("before open");
    gf_logException("nowhere"); // closed: dropped, no throw
    g_log.open();
    g_log.write("one\ntwo");
    g_log.writeRaw("raw");
    g_log.write("");
    gf_logException("lf_processInput");
    g_log.trace(Trace::PsxInQh, "   < ", "Qh45=1");
    g_log.setTrace(Trace::SiocIn, true);
    g_log.traceRaw(Trace::SiocIn, "               < ", "Arn.Resp:1=2:\r\n");
    const std::string open = readFile("Log.txt"); // flushed at once: readable before the close
    g_log.close();
    g_log.write("after close");
    EXPECT_EQ(open, readFile("Log.txt"));
    EXPECT_THAT(open, HasSubstr("\none\ntwo\nraw\n! Exception in lf_processInput\n               < Arn.Resp:1=2:\r\n"));
    EXPECT_THAT(open, Not(HasSubstr("before open")));
    EXPECT_THAT(open, Not(HasSubstr("Qh45")));

    EXPECT_THAT([] { g_log.open("Log.txt/inner/Log.txt"); }, // under a file: no folder can be made there
                ::testing::ThrowsMessage<SysErrorException>("sys error 0: Failed to write file Log.txt/inner/Log.txt"));
}

// Lines written from several threads at once arrive whole, none lost.
TEST_F(LogTest, LinesFromSeveralThreadsStayWhole)
{
    g_log.open();
    g_log.setTrace(Trace::PsxOut, true);
    const auto writer = [](char c) {
        for (int i = 0; i < 5000; ++i)
            g_log.trace(Trace::PsxOut, std::string(1, c), std::string(40, c));
    };
    {
        std::jthread a(writer, 'a');
        std::jthread b(writer, 'b');
        std::jthread c(writer, 'c');
    }
    g_log.close();
    std::istringstream lines(readFile("Log.txt"));
    std::map<std::string, int> seen;
    for (std::string line; std::getline(lines, line);)
        ++seen[line];
    for (char c : {'a', 'b', 'c'})
        EXPECT_EQ(seen[std::string(41, c)], 5000) << c;
}

// The dotted form takes any one character between its numbers (the JSON form and text that is no
// version are the version check's cases).
TEST(VersionParse, AnyCharacterSeparatesTheDottedNumbers)
{
    EXPECT_EQ(base::parseVersion("4x1y22"), (Version{4, 1, 22}));
}

} // namespace
} // namespace brg
