#include "vars/control_vars.h"

#include "base/utc_time.h"
#include "config/cdu_key_map.h"
#include "net/hand_over_queues.h"
#include "vars/var_state.h"

#include <string>
#include <fmt/format.h>

namespace brg {
namespace {

constexpr std::int32_t kHighestCduKey = 68; // entries above are "no key"
constexpr std::int32_t kCduToggleKey = 60;
constexpr std::int32_t kCduKeyReleasedByList = 39;
constexpr std::int32_t kKeyReleased = -1;
constexpr std::uint32_t kXpdrKeysCode = 1414;
constexpr std::uint32_t kMfEventCode = 2130;

std::string lf_rangeText(Range range) { return fmt::format("[{}..{}]", range.min, range.max); }

} // namespace

void SwitchVar::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void Switch12Var::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void Switch12Var::sendToPsx() { gf_queueForPsx(number, value == 1 ? 2 : 1); }

void PushVar::setValue(std::int32_t v)
{
    if (gf_momentaryAccepts(v))
        ControlVar::setValue(1);
}

void PushVar::sendToPsx()
{
    gf_queueForPsx(number, value);
    value = 0;
}

ClampVar::ClampVar(std::string name, std::uint32_t number, Range range)
    : ControlVar(std::move(name), number), range(range)
{
}

void ClampVar::setValue(std::int32_t v) { ControlVar::setValue(gf_clamp(v, range)); }

std::string ClampVar::description() const { return lf_rangeText(range); }

BandVar::BandVar(std::string name, std::uint32_t number, Range range)
    : ControlVar(std::move(name), number), range(range), band(gf_bandOf(range))
{
    value = range.max + band; // outside the range: the first report always goes out
}

void BandVar::setValue(std::int32_t v)
{
    const std::int32_t clamped = gf_clamp(v, range);
    if (gf_outsideBand(clamped, value, band))
        ControlVar::setValue(clamped);
}

std::string BandVar::description() const { return fmt::format("[{}.%.{}]", range.min, range.max); }

PotVar::PotVar(std::string name, std::uint32_t number) : ControlVar(std::move(name), number)
{
    value = kPotStartValue;
}

void PotVar::setValue(std::int32_t v)
{
    const std::int32_t clamped = gf_clamp(v, kPotRange);
    if (gf_outsideBand(clamped, value, kPotBand))
        ControlVar::setValue(clamped);
}

EncoderVar::EncoderVar(std::string name, std::uint32_t number, std::int32_t stepLimit, bool invertKey)
    : ControlVar(std::move(name), number), range{-stepLimit, stepLimit}, invert(!invertKey)
{
}

void EncoderVar::sendToPsx()
{
    if (value == 0)
        return;
    g_psxValueQueue.push({number, gf_encoderStep(value, range.max, invert)});
    value = 0;
}

void KeyCodeVar::sendToPsx()
{
    const std::int32_t code = value;
    // Code 0 is no key; codes outside the key map cannot name one either.
    if (code <= 0 || static_cast<std::uint32_t>(code) >= kCduKeyCodeCount)
        return;
    const auto key = static_cast<std::int32_t>(gf_cduKeyForCode(static_cast<std::uint32_t>(code)));
    if (key > kHighestCduKey)
        return;
    if (key == kCduToggleKey) {
        gf_queueForPsx(number, m_toggle ? kKeyReleased : kCduToggleKey);
        m_toggle = !m_toggle;
        return;
    }
    gf_queueForPsx(number, key);
    if (key == kCduKeyReleasedByList)
        g_psxElementList.push_back(number);
}

void LinkedControlVar::sendToPsx() { gf_queueForPsx(psxCode, value); }

void LinkedControlVar::sendValueToPsx(std::int32_t v) { gf_queueForPsx(psxCode, v); }

CduKeyVar::CduKeyVar(std::string name, std::uint32_t number, std::int32_t key)
    : LinkedControlVar(std::move(name), number, kXpdrKeysCode), key(key)
{
}

void CduKeyVar::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void CduKeyVar::sendToPsx() { gf_queueForPsx(psxCode, key < 10 || value == 1 ? key : kKeyReleased); }

std::string CduKeyVar::description() const { return key < 10 ? "M" : "H"; }

KeyPushVar::KeyPushVar(std::string name, std::uint32_t number, std::int32_t key, std::uint32_t psxCode)
    : LinkedControlVar(std::move(name), number, psxCode), key(key)
{
}

void KeyPushVar::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void KeyPushVar::sendToPsx() { gf_queueForPsx(psxCode, key != 0 || value == 1 ? key : kKeyReleased); }

std::string KeyPushVar::description() const { return key > 0 ? "M" : "H"; }

KeyPush23Var::KeyPush23Var(std::string name, std::uint32_t number, std::int32_t key, std::uint32_t psxCode)
    : LinkedControlVar(std::move(name), number, psxCode), key(key)
{
}

void KeyPush23Var::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void KeyPush23Var::sendToPsx() { gf_queueForPsx(psxCode, key > 22 && value != 1 ? kKeyReleased : key); }

std::string KeyPush23Var::description() const { return key < 23 ? "M" : "H"; }

void SelectorVar::setValue(std::int32_t v)
{
    if (v >= -1 && v <= kHighestCduKey)
        ControlVar::setValue(v);
}

LinkedClampVar::LinkedClampVar(std::string name, std::uint32_t number, std::uint32_t psxCode, Range range)
    : LinkedControlVar(std::move(name), number, psxCode), range(range)
{
}

void LinkedClampVar::setValue(std::int32_t v) { ControlVar::setValue(gf_clamp(v, range)); }

std::string LinkedClampVar::description() const { return lf_rangeText(range); }

void LinkedSwitchVar::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void LinkedPushVar::setValue(std::int32_t v)
{
    if (!g_initPhase)
        ControlVar::setValue(v);
}

void LinkedPushVar::sendToPsx()
{
    gf_queueForPsx(psxCode, value);
    value = 0;
}

void MessageVar::sendToPsx()
{
    const std::int32_t v = value;
    const std::int32_t severity = v % 4;
    const std::string current = g_qsStrings.get(psxCode);
    char level = '0';
    if (severity <= 0 && !current.empty())
        level = current.front(); // no severity given: keep the one PSX shows
    if (severity == 2)
        level = '1';
    std::string time = "-99"; // clear
    if (v / 4 != 0) {
        time = gf_utcTimeOfDay(); // "hh:mm:ss"
        std::erase(time, ':');
    }
    g_qsStrings.set(psxCode, fmt::format("{};6;{}", level, time));
    gf_queueForPsx(psxCode, 0); // the PSX channel writes the Qs line from the table
    gf_queueForPsx(kMfEventCode, 1);
}

} // namespace brg
