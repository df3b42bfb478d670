#pragma once
// A temporary working folder with an open log, and the helpers the configuration tests share.
#include "base/log.h"
#include "config/config_items.h"
#include "config/selection_lists.h"
#include "support/fresh_state.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <fmt/ranges.h>
#include <map>
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
    // The file's bytes as they are, line ends included (readFile reads in text mode).
    static std::string cfgBytes()
    {
        std::ifstream in("Talvesync.cfg", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

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
    static bool logHas(const std::string& line) { return std::ranges::count(logLines(), line) > 0; }
    static void restartLog()
    {
        g_log.close();
        std::filesystem::remove("Log.txt");
        g_log.open();
    }

    // An item's value (or its default) as the log shows it.
    static std::string text(const CfgItem& item, bool byDefault = false)
    {
        if (const auto* i = dynamic_cast<const IntParam*>(&item))
            return std::to_string(byDefault ? i->defaultValue() : i->value());
        if (const auto* b = dynamic_cast<const BoolParam*>(&item))
            return (byDefault ? b->defaultValue() : b->value()) ? "1" : "0";
        const auto& s = dynamic_cast<const StringParam&>(item);
        return byDefault ? s.defaultValue() : s.value();
    }
    // An item's value, or a number list joined with commas.
    static std::string valueOf(const std::string& key)
    {
        const std::map<std::string, const NumberList*> lists = {{"Qh_VarList", &g_qhTraceList},
            {"Qi_VarList", &g_qiTraceList}, {"Qs_VarList", &g_qsTraceList}, {"WHITELIST", &g_whitelist},
            {"BLACKLIST", &g_blacklist}};
        if (const auto list = lists.find(key); list != lists.end())
            return fmt::format("{}", fmt::join(*list->second, ","));
        for (const CfgItem* item : gf_configItems())
            if (item->key() == key)
                return text(*item);
        return "no such key";
    }
};

} // namespace brg::test
