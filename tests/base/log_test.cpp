#include "base/exceptions.h"
#include "base/log.h"
#include "base/version.h"
#include "support/fresh_state.h"

#include <filesystem>
#include <regex>
#include <thread>
#include <vector>

namespace brg {
namespace {

using test::readFile;
using LogTest = test::TempDirTest;

TEST_F(LogTest, FirstRunCreatesOnlyLogTxtWithHeader)
{
    g_log.open();
    g_log.close();
    EXPECT_TRUE(std::filesystem::exists("Log.txt"));
    EXPECT_FALSE(std::filesystem::exists("Log0.txt"));
    EXPECT_FALSE(std::filesystem::exists("Log00.txt"));
    const std::string text = readFile("Log.txt");
    EXPECT_TRUE(std::regex_match(
        text, std::regex(R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] \d\d:\d\d:\d\d \d{4} \(utc\) Talvesync version 3\.46\.0\n)")))
        << text;
}

TEST_F(LogTest, ThreeRunsRotateByCopying)
{
    for (const char* run : {"first", "second", "third"}) {
        g_log.open();
        g_log.write(run);
        g_log.close();
    }
    EXPECT_NE(readFile("Log.txt").find("third\n"), std::string::npos);
    EXPECT_NE(readFile("Log0.txt").find("second\n"), std::string::npos);
    EXPECT_NE(readFile("Log00.txt").find("first\n"), std::string::npos);
    EXPECT_EQ(readFile("Log00.txt").find("second"), std::string::npos);
}

TEST_F(LogTest, WritesAreDroppedWhileClosedAndEveryLineIsFlushed)
{
    g_log.write("before open");
    g_log.open();
    g_log.write("one\ntwo");
    g_log.writeRaw("raw");
    g_log.write("");
    // Flushed at once: readable before the close.
    const std::string open = readFile("Log.txt");
    g_log.close();
    g_log.write("after close");
    EXPECT_EQ(open, readFile("Log.txt"));
    EXPECT_EQ(open.find("before open"), std::string::npos);
    EXPECT_NE(open.find("\none\ntwo\nraw\n"), std::string::npos);
}

TEST_F(LogTest, TracesWriteOnlyWhenSwitchedOn)
{
    g_log.open();
    g_log.trace(Trace::PsxInQh, "   < ", "Qh45=1");
    g_log.setTrace(Trace::SiocIn, true);
    g_log.trace(Trace::PsxInQh, "   < ", "Qh46=1");
    g_log.traceRaw(Trace::SiocIn, "               < ", "Arn.Resp:1=2:\r\n");
    g_log.close();
    const std::string text = readFile("Log.txt");
    EXPECT_EQ(text.find("Qh45"), std::string::npos);
    EXPECT_EQ(text.find("Qh46"), std::string::npos);
    EXPECT_NE(text.find("\n               < Arn.Resp:1=2:\r\n"), std::string::npos);
}

TEST_F(LogTest, ConcurrentWritersNeverInterleaveWithinALine)
{
    g_log.open();
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                g_log.write(std::string(50, static_cast<char>('a' + t)));
        });
    for (auto& w : writers)
        w.join();
    g_log.close();
    const std::string text = readFile("Log.txt");
    const std::regex line(R"(^(a{50}|b{50}|c{50}|d{50})$)");
    std::size_t lines = 0;
    for (std::size_t pos = text.find('\n') + 1; pos < text.size();) {
        const auto end = text.find('\n', pos);
        EXPECT_TRUE(std::regex_match(text.substr(pos, end - pos), line));
        pos = end + 1;
        ++lines;
    }
    EXPECT_EQ(lines, 800u);
}

TEST_F(LogTest, UnwritableLogRaisesSysErrorWithPath)
{
    std::filesystem::create_directory("Log.txt"); // a folder where the file should be
    try {
        g_log.open("Log.txt/inner/Log.txt");
        FAIL() << "no exception";
    } catch (const SysErrorException& e) {
        EXPECT_STREQ(e.what(), "sys error 0: Failed to write file Log.txt/inner/Log.txt");
    }
}

TEST_F(LogTest, LogExceptionWritesItsLineAndNeverThrows)
{
    gf_logException("nowhere"); // closed: dropped, no throw
    g_log.open();
    gf_logException("lf_processInput");
    g_log.close();
    EXPECT_NE(readFile("Log.txt").find("\n! Exception in lf_processInput\n"), std::string::npos);
}

TEST(ExceptionTexts, CarryTheirCodesAndFixedTexts)
{
    EXPECT_STREQ(UserIPAddressErrorException("Address already in use").what(), "77: Address already in use");
    EXPECT_EQ(UserIPAddressErrorException("x").code(), 77);
    EXPECT_STREQ(UserErrorException(19, "ToPSX not detected").what(), "19: ToPSX not detected");
    EXPECT_STREQ(SysErrorException(0, "Failed to write file Log.txt").what(),
                 "sys error 0: Failed to write file Log.txt");
    EXPECT_STREQ(SIOC_FD_CLOSE_Exception().what(), "SIOC server closed the connection");
    EXPECT_STREQ(PSX_FD_CLOSE_Exception().what(), "PSX main server closed the connection");
    EXPECT_STREQ(FinReceivedException().what(), "Fin received from SIOC server");
    EXPECT_STREQ(ExitPSXReceivedException().what(), "Exit received from PSX server");
}

TEST(VersionParse, DottedJsonAndInvalid)
{
    EXPECT_EQ(parseVersion("3.46.0"), (Version{3, 46, 0}));
    EXPECT_EQ(parseVersion("4x1y22"), (Version{4, 1, 22}));
    EXPECT_EQ(parseVersion(R"({"major": 3, "minor": 47, "patch": 1})"), (Version{3, 47, 1}));
    EXPECT_ANY_THROW(parseVersion("3.46"));
    EXPECT_ANY_THROW(parseVersion(R"({"major": "3", "minor": 47, "patch": 1})"));
}

} // namespace
} // namespace brg
