// Variables of every type driven by the cockpit and by PSX, as the cases in var-steps.txt say.
#include "app/process_state.h"
#include "base/utc_time.h"
#include "config/config_items.h"
#include "net/hand_over_queues.h"
#include "psx/to_psx_channel.h"
#include "sioc/to_sioc_channel.h"
#include "support/data_file.h"
#include "support/fresh_state.h"
#include "vars/bcd.h"
#include "vars/catalogue.h"
#include "vars/decoded_values.h"
#include "vars/var_state.h"
#include "vars/var_types.h"

#include <fmt/ranges.h>
#include <gmock/gmock.h>

#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace brg {
namespace {

using Elements = std::vector<ChannelElement>;

#define BRG_TYPE_BY_NAME(type) {#type, VarType::type},
const std::map<std::string, VarType> kTypes = {BRG_VAR_TYPES(BRG_TYPE_BY_NAME)};
#undef BRG_TYPE_BY_NAME

// The decoded PSX states a case may set, by their member names.
template <typename T> std::function<void(std::int64_t)> lf_setter(std::atomic<T>& state)
{
    return [&state](std::int64_t v) { state = static_cast<T>(v); };
}
const std::map<std::string, std::function<void(std::int64_t)>> kDecoded = {
    {"qs120Fields[1]", lf_setter(g_decoded.qs120Fields[1])}, {"qs120Fields[2]", lf_setter(g_decoded.qs120Fields[2])},
    {"qs357Fields[0]", lf_setter(g_decoded.qs357Fields[0])}, {"rcpField12Set[1]", lf_setter(g_decoded.rcpField12Set[1])},
    {"rcpField13Set[1]", lf_setter(g_decoded.rcpField13Set[1])}, {"squawkFlagL", lf_setter(g_decoded.squawkFlagL)},
    {"squawkModeB", lf_setter(g_decoded.squawkModeB)}, {"squawkModeP", lf_setter(g_decoded.squawkModeP)},
    {"squawkModeE", lf_setter(g_decoded.squawkModeE)}, {"squawkDigitCount", lf_setter(g_decoded.squawkDigitCount)},
    {"elapsedZero126", lf_setter(g_decoded.elapsedZero126)},
};

// "12", "-5", "0x1401" or a sum such as "0x81+0x100000".
std::int64_t lf_number(const std::string& text)
{
    std::int64_t sum = 0;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, '+');)
        sum += std::stoll(part, nullptr, 0);
    return sum;
}

// The texts or steps queued for PSX, taken off their queue.
template <typename T> std::vector<T> lf_drain(LockedQueue<T>& queue)
{
    std::vector<T> out;
    while (auto entry = queue.tryPop())
        out.push_back(*entry);
    return out;
}

// "<number>=<value>" or "<number>:<text>".
std::pair<std::uint32_t, std::string> lf_pair(const std::string& word)
{
    const std::size_t at = word.find_first_of("=:");
    return {static_cast<std::uint32_t>(std::stoul(word.substr(0, at))), word.substr(at + 1)};
}

class VarSteps : public test::FreshState {
protected:
    // One line of a case; expectations compare what was queued since the last one of their kind.
    void run(std::istringstream& words)
    {
        std::string op;
        words >> op;
        std::vector<std::string> rest;
        for (std::string w; words >> w;)
            rest.push_back(w);
        const auto num = [&rest](std::size_t i) { return static_cast<std::int32_t>(lf_number(rest.at(i))); };
        const auto var = [&]() -> Var& { return *g_varPool->vars.at(static_cast<std::uint32_t>(num(0))); };
        if (op == "var") {
            CatalogueRow row{static_cast<std::uint32_t>(num(0)), rest.at(1).c_str(), kTypes.at(rest.at(2))};
            for (std::size_t i = 3; i < rest.size(); ++i)
                row.params.at(i - 3) = num(i);
            gf_addCatalogueVar(*g_varPool, row, CatalogueOptions::fromConfiguration());
            var().initialise();
        } else if (op == "select") {
            std::set<std::uint32_t> script;
            for (std::size_t i = 0; i < rest.size(); ++i)
                script.insert(static_cast<std::uint32_t>(num(i)));
            g_varPool = std::make_shared<VarPoolImpl>(); // the whole catalogue, under the settings now
            g_varPool->selectVariables(script);
            for (const auto& [number, selected] : g_varPool->vars)
                selected->initialise();
        } else if (op == "set") {
            for (std::size_t i = 1; i < rest.size(); ++i)
                var().setValue(num(i));
        } else if (op == "item") {
            for (std::size_t i = 1; i < rest.size(); ++i) {
                const auto [index, value] = lf_pair(rest[i]);
                dynamic_cast<CollectionVar&>(var()).setItem(index, static_cast<std::int32_t>(lf_number(value)));
            }
        } else if (op == "send") {
            var().sendToPsx();
        } else if (op == "sendvalue") {
            dynamic_cast<ControlVar&>(var()).sendValueToPsx(num(1));
        } else if (op == "psx" || op == "show") {
            for (std::size_t i = op == "show"; i < rest.size() && rest[i] != "->"; ++i)
                g_psxValues.at(lf_pair(rest[i]).first) = static_cast<std::uint32_t>(lf_number(lf_pair(rest[i]).second));
            if (op == "show") {
                const std::size_t before = g_ToSIOCClient->queuedElements().size();
                var().refresh();
                const Elements sent = g_ToSIOCClient->queuedElements();
                EXPECT_EQ(sent.size() == before ? "-" : std::to_string(sent.back().value),
                          rest.back() == "-" ? "-" : std::to_string(num(rest.size() - 1)));
            }
        } else if (op == "decoded") {
            const std::size_t at = rest.at(0).find('=');
            kDecoded.at(rest[0].substr(0, at))(lf_number(rest[0].substr(at + 1)));
        } else if (op == "cfg") {
            for (CfgItem* item : gf_configItems())
                if (item->key() == rest.at(0))
                    dynamic_cast<BoolParam&>(*item).setRunning(num(1) != 0);
        } else if (op == "sync") {
            g_initPhase = num(0) != 0;
        } else if (op == "qs") {
            g_qsStrings.set(static_cast<std::uint32_t>(num(0)), rest.size() > 1 ? rest[1] : "");
        } else {
            std::string expected;
            for (const std::string& w : rest)
                expected += (expected.empty() ? "" : " ") + w;
            EXPECT_EQ(shown(op, rest.empty() ? "" : rest[0]), expected);
        }
    }

    // What a "> <kind>" line shows, written as the cases write it.
    std::string shown(const std::string& kind, const std::string& first)
    {
        const auto join = [](const auto& pairs, char separator) {
            std::ostringstream out;
            for (const auto& [number, value] : pairs)
                out << (out.tellp() > 0 ? " " : "") << number << separator << value;
            return out.str();
        };
        if (kind == ">psx" || kind == ">sioc") {
            const Elements all = (kind == ">psx" ? g_ToPSXClient->queuedElements() : g_ToSIOCClient->queuedElements());
            std::size_t& seen = kind == ">psx" ? m_psxSeen : m_siocSeen;
            const Elements fresh(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end());
            seen = all.size();
            return join(fresh, '=');
        }
        if (kind == ">texts")
            return join(lf_drain(g_psxStringQueue), ':');
        if (kind == ">steps")
            return join(lf_drain(g_psxValueQueue), '=');
        const auto number = static_cast<std::uint32_t>(std::stoul(first.empty() ? "0" : first));
        if (kind == ">qs") {
            const std::string text = g_qsStrings.get(number);
            return text.empty() ? first : first + " " + text;
        }
        if (kind == ">value")
            return first + " " + std::to_string(g_varPool->vars.at(number)->value);
        if (kind == ">released")
            return fmt::format("{}", fmt::join(g_psxElementList, " "));
        if (kind == ">selected")
            return fmt::format("{} for PSX {}", fmt::join(g_varPool->siocNumbers, " "),
                               fmt::join(g_varPool->psxNumbers, " "));
        return "unknown step " + kind;
    }

    std::size_t m_psxSeen = 0;
    std::size_t m_siocSeen = 0;
};

TEST_F(VarSteps, EachTypeSendsWhatItsCasesExpect)
{
    std::string title;
    for (const std::string& line : test::dataLines("var-steps.txt")) {
        SCOPED_TRACE(title + "\n  at: " + line);
        if (line.starts_with("case ")) {
            title = line;
            gf_resetProcessState();
            g_varPool = std::make_shared<VarPoolImpl>(VarPoolImpl::Builders{});
            g_initPhase = false;
            m_psxSeen = m_siocSeen = 0;
            continue;
        }
        const std::size_t at = line.find(" ! ");
        std::string step = line.substr(0, at);
        if (step.starts_with("> "))
            step.erase(1, 1); // an expectation's kind is one word with its ">"
        std::string thrown = "nothing";
        try {
            std::istringstream words(step);
            run(words);
        } catch (const std::out_of_range&) {
            thrown = "out_of_range";
        } catch (const std::exception& e) {
            thrown = e.what();
        }
        EXPECT_EQ(thrown, at == std::string::npos ? "nothing" : line.substr(at + 3));
    }
    EXPECT_FALSE(title.empty());
}

// The time of day goes into the caution text as hhmmss.
TEST_F(VarSteps, MessageTextCarriesTheTimeOfDay)
{
    MessageVar msg("MfAilLockout", 5237, 137);
    std::string before = gf_utcTimeOfDay();
    msg.setValue(6);
    std::string after = gf_utcTimeOfDay();
    std::erase(before, ':');
    std::erase(after, ':');
    EXPECT_THAT(g_qsStrings.get(137), ::testing::AnyOf("1;6;" + before, "1;6;" + after));
}

TEST(Bcd, PackingAndBlanking)
{
    EXPECT_EQ(gf_bcd(1234567, 6), 0x234567u);
    EXPECT_EQ(gf_blankLeadingZeros(0x000805, 6), 0xAAA805u);
    EXPECT_EQ(gf_blankLeadingZeros(0x0000, 4), 0xAAA0u);
    EXPECT_EQ(gf_blank3(1007), 0xAA7u);
    EXPECT_THROW(gf_i2BCD3bn(-100), std::runtime_error);
}

} // namespace
} // namespace brg
