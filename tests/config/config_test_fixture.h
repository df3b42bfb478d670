#pragma once
// A temporary working folder with an open log, and the helpers the configuration tests share.
#include "base/log.h"
#include "support/fresh_state.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace brg::test {

class ConfigTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        g_log.open();
    }

    static void writeCfg(const std::string& content) { writeFile("Talvesync.cfg", content); }

    // The lines written to Log.txt after its header.
    static std::vector<std::string> logLines()
    {
        std::istringstream in(readFile("Log.txt"));
        std::vector<std::string> lines;
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line))
            lines.push_back(line);
        return lines;
    }

    static bool logHas(const std::string& line)
    {
        for (const auto& l : logLines())
            if (l == line)
                return true;
        return false;
    }
};

} // namespace brg::test
