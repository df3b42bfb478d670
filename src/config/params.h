#pragma once
// The configuration items: one setting each, with its key and default, read from Talvesync.cfg.
// value() may be called from any thread.
#include "config/config_file.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace brg {

// Every item registers itself so that gf_resetConfiguration() reaches them all.
class CfgItem {
public:
    explicit CfgItem(std::string_view key);
    virtual ~CfgItem() = default;
    CfgItem(const CfgItem&) = delete;
    CfgItem& operator=(const CfgItem&) = delete;

    const std::string& key() const { return m_key; }
    // The value as the log shows it after "KEY=".
    virtual std::string valueText() const = 0;
    virtual void resetToDefault() = 0;
    // Every item that exists, in the order of construction.
    static void resetAll();
    static const std::vector<CfgItem*>& all();

private:
    std::string m_key;
};

class BoolParam : public CfgItem {
public:
    BoolParam(std::string_view key, bool defaultValue);

    bool value() const { return m_value.load(); }
    bool defaultValue() const { return m_default; }
    // Looks the key up with the boolean pattern (missing or malformed: the default) and logs
    // key=1 or key=0.
    void read(const CfgFile& file);
    // The running configuration only; the file is left alone.
    void setRunning(bool on) { m_value.store(on); }
    std::string valueText() const override { return value() ? "1" : "0"; }
    void resetToDefault() override { m_value.store(m_default); }

private:
    bool m_default;
    std::atomic<bool> m_value;
};

class IntParam : public CfgItem {
public:
    IntParam(std::string_view key, std::int32_t defaultValue, std::int32_t minimum, std::int32_t maximum);

    std::int32_t value() const { return m_value.load(); }
    std::int32_t defaultValue() const { return m_default; }
    std::int32_t minimum() const { return m_minimum; }
    std::int32_t maximum() const { return m_maximum; }
    // Looks the key up with the integer pattern (missing or malformed: the default; too large for
    // 32 bits: the current value), clamps and logs key=value. Without a file the value stays.
    void read();
    void read(const CfgFile& file);
    // Clamps, stores and saves the value in Talvesync.cfg (throws what setCfgParam throws).
    void set(std::int32_t value);
    // Clamps and stores, for the running configuration only.
    void setRunning(std::int32_t value);
    // A window coordinate as the system reports it. One that lands on a bound after clamping (a
    // minimised window lies far outside the screen) keeps the current value. save: as set().
    void setPosition(std::int32_t value, bool save);
    std::string valueText() const override { return std::to_string(value()); }
    void resetToDefault() override { m_value.store(m_default); }

private:
    std::int32_t clamp(std::int32_t value) const;
    void log() const;

    std::int32_t m_default;
    std::int32_t m_minimum;
    std::int32_t m_maximum;
    std::atomic<std::int32_t> m_value;
};

class StringParam : public CfgItem {
public:
    // An address item (pattern Host) reports a missing key with a line of its own.
    StringParam(std::string_view key, std::string defaultValue, CfgPattern pattern = CfgPattern::Text);

    std::string value() const;
    const std::string& defaultValue() const { return m_default; }
    CfgPattern pattern() const { return m_pattern; }
    // Looks the key up with the item's pattern (missing: the default) and logs the result.
    void read(const CfgFile& file);
    std::string valueText() const override { return value(); }
    void resetToDefault() override;

private:
    void store(std::string value);

    std::string m_default;
    CfgPattern m_pattern;
    mutable std::mutex m_mutex;
    std::string m_value;
};

} // namespace brg
