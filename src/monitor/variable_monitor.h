#pragma once
// The live view of every bound variable: the last value that crossed to or from SIOC and to or
// from PSX, when it last changed and how often. The channels' drains record each value as it
// crosses; viewers (the Variables window, the console table) take copies.
//
// Recording costs one relaxed load while nobody watches. While someone does, a value costs a
// compare and, when it changed, a few relaxed stores in a fixed slot: no allocation and no lock.
// One thread records (the worker, which drains every channel); each slot is a sequence lock,
// so a viewer's copy of a row is never half old, half new.
#include "base/clock.h"
#include "vars/var.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace brg {

class VarPoolImpl;

// What a row shows that never changes while the bridge runs.
struct MonitorRowInfo {
    std::uint32_t number = 0;
    std::string name;
    std::string psxName; // "Qh134", or "" for a variable of the bridge's own with no PSX variable
    std::string type;    // the catalogue type, as in the variable reference
    bool psxText = false; // of a Qs variable: its PSX value is the text of g_qsStrings
    // The number of the PSX variable when it is not the row's own (a lamp fed from Qh424 shows
    // Qh424's values); 0 for none.
    std::uint32_t psxNumber = 0;
};

// One row as a viewer gets it.
struct MonitorRow {
    MonitorRowInfo info;
    std::optional<std::int32_t> sioc; // empty until a value crossed while watched
    std::optional<std::int32_t> psx;
    std::string psxText;              // for info.psxText rows, the current text
    std::uint32_t changes = 0;
    std::optional<Clock::TimePoint> changedAt;
};

class VariableMonitor {
public:
    // The rows of the bound variables (start-up thread, before the worker runs); replaces any
    // rows bound before. Values recorded so far are forgotten.
    void bind(std::vector<MonitorRowInfo> rows);
    void clear() { bind({}); }

    // A viewer starts or stops watching; recording runs while at least one watches.
    void watch() { m_watchers.fetch_add(1); }
    void unwatch() { m_watchers.fetch_sub(1); }
    bool watched() const noexcept { return m_watchers.load(std::memory_order_relaxed) != 0; }

    // The recording thread only (the worker, in the channels' drains).
    void recordSioc(std::uint32_t number, std::int32_t value) noexcept
    {
        if (watched())
            record(number, value, kSiocSeen, false);
    }
    void recordPsx(std::uint32_t number, std::int32_t value) noexcept
    {
        if (watched())
            recordEach(number, value, kPsxSeen, false);
    }
    // A Qs text went to PSX: the text itself is in g_qsStrings, the change is counted here.
    void recordPsxText(std::uint32_t number) noexcept
    {
        if (watched())
            recordEach(number, 0, kPsxSeen, true);
    }

    // Counts every recorded change and every bind: a viewer with the same count has seen it all.
    std::uint64_t generation() const noexcept { return m_generation.load(std::memory_order_acquire); }

    // A copy of every bound row, by number. Any thread.
    std::vector<MonitorRow> snapshot() const;

private:
    static constexpr std::uint32_t kBound = 1, kSiocSeen = 2, kPsxSeen = 4;

    struct Slot {
        std::atomic<std::uint32_t> sequence{0}; // odd while the recording thread writes
        std::atomic<std::uint32_t> flags{0};
        std::atomic<std::int32_t> sioc{0};
        std::atomic<std::int32_t> psx{0};
        std::atomic<std::uint32_t> changes{0};
        std::atomic<Clock::TimePoint::rep> changedAt{0}; // g_clock's ticks since its epoch
    };

    void record(std::uint32_t number, std::int32_t value, std::uint32_t side, bool always) noexcept;

    std::atomic<int> m_watchers{0};
    std::atomic<std::uint64_t> m_generation{0};
    void recordEach(std::uint32_t number, std::int32_t value, std::uint32_t side, bool always) noexcept;

    std::array<Slot, kVarCount> m_slots;
    // The rows that show another number's PSX values: those of number n are
    // m_followers[m_followersAt[n]] up to m_followers[m_followersAt[n + 1]]. Set by bind.
    std::array<std::uint32_t, kVarCount + 1> m_followersAt{};
    std::vector<std::uint32_t> m_followers;
    mutable std::mutex m_rowsMutex; // guards m_rows (bind and snapshot, never the recording)
    std::vector<MonitorRowInfo> m_rows;
};

// The monitor of the process.
extern VariableMonitor g_variableMonitor;

// The rows of the pool's variables that the channels bind (the PSX and the SIOC numbers).
std::vector<MonitorRowInfo> gf_monitorRows(const VarPoolImpl& pool);

} // namespace brg
