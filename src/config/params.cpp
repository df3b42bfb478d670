#include "config/params.h"

#include "base/log.h"
#include "base/str2int32.h"

#include <algorithm>
#include <fmt/format.h>
#include <stdexcept>
#include <vector>

namespace brg {

namespace {

std::vector<CfgItem*>& lf_items()
{
    static std::vector<CfgItem*> items;
    return items;
}

} // namespace

CfgItem::CfgItem(std::string_view key) : m_key(key) { lf_items().push_back(this); }

const std::vector<CfgItem*>& CfgItem::all() { return lf_items(); }

void CfgItem::resetAll()
{
    for (CfgItem* item : lf_items())
        item->resetToDefault();
}

BoolParam::BoolParam(std::string_view key, bool defaultValue)
    : CfgItem(key), m_default(defaultValue), m_value(defaultValue)
{
}

void BoolParam::read(const CfgFile& file)
{
    const auto digit = file.lookup(CfgPattern::Boolean, key());
    m_value.store(digit ? *digit == "1" : m_default);
    g_log.write(fmt::format("{}={}", key(), value() ? 1 : 0));
}

IntParam::IntParam(std::string_view key, std::int32_t defaultValue, std::int32_t minimum, std::int32_t maximum)
    : CfgItem(key), m_default(defaultValue), m_minimum(minimum), m_maximum(maximum), m_value(defaultValue)
{
}

void IntParam::read()
{
    if (const auto file = CfgFile::load())
        read(*file);
    else
        log();
}

void IntParam::read(const CfgFile& file)
{
    std::int32_t value = m_default;
    if (const auto digits = file.lookup(CfgPattern::Integer, key())) {
        try {
            value = base::str2int32(*digits);
        } catch (const std::invalid_argument&) {
            // The pattern lets only digits through, so this is a number beyond 32 bits.
            g_log.write("read in value EXCEPTION " + *digits);
            value = m_value.load();
        }
    }
    m_value.store(clamp(value));
    log();
}

void IntParam::set(std::int32_t value)
{
    setRunning(value);
    cfg::setCfgParam(key(), fmt::format("{}", this->value()));
}

void IntParam::setRunning(std::int32_t value) { m_value.store(clamp(value)); }

void IntParam::setPosition(std::int32_t value, bool save)
{
    const std::int32_t clamped = clamp(value);
    const std::int32_t stored = clamped == m_minimum || clamped == m_maximum ? this->value() : clamped;
    if (save)
        set(stored);
    else
        setRunning(stored);
}

std::int32_t IntParam::clamp(std::int32_t value) const { return std::clamp(value, m_minimum, m_maximum); }

void IntParam::log() const { g_log.write(fmt::format("{}={}", key(), value())); }

StringParam::StringParam(std::string_view key, std::string defaultValue, CfgPattern pattern)
    : CfgItem(key), m_default(std::move(defaultValue)), m_pattern(pattern), m_value(m_default)
{
}

std::string StringParam::value() const
{
    std::lock_guard lock(m_mutex);
    return m_value;
}

void StringParam::read(const CfgFile& file)
{
    if (auto found = file.lookup(m_pattern, key())) {
        store(std::move(*found));
        g_log.write(fmt::format("{}={}", key(), value()));
        return;
    }
    store(m_default);
    if (m_pattern == CfgPattern::Host)
        g_log.write(fmt::format("No {} parameter found in {} default {} is taken.", key(), kCfgFilePath, m_default));
    else
        g_log.write(fmt::format("{}={}", key(), m_default));
}

void StringParam::resetToDefault() { store(m_default); }

void StringParam::store(std::string value)
{
    std::lock_guard lock(m_mutex);
    m_value = std::move(value);
}

} // namespace brg
