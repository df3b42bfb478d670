#include "monitor/variable_monitor.h"

#include "vars/catalogue.h"
#include "vars/var_pool.h"
#include "vars/var_state.h"

#include <algorithm>
#include <map>
#include <set>

namespace brg {

VariableMonitor g_variableMonitor;

void VariableMonitor::bind(std::vector<MonitorRowInfo> rows)
{
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    std::lock_guard lock(m_rowsMutex);
    for (Slot& slot : m_slots) {
        slot.flags.store(0, std::memory_order_relaxed);
        slot.changes.store(0, std::memory_order_relaxed);
    }
    std::erase_if(rows, [](const MonitorRowInfo& row) { return row.number >= kVarCount; });
    for (const MonitorRowInfo& row : rows)
        m_slots[row.number].flags.store(kBound, std::memory_order_relaxed);
    // Counted per PSX number, then laid out in order of it.
    m_followersAt.fill(0);
    for (const MonitorRowInfo& row : rows)
        if (row.psxNumber != 0 && row.psxNumber < kVarCount && row.psxNumber != row.number)
            ++m_followersAt[row.psxNumber + 1];
    for (std::size_t n = 1; n < m_followersAt.size(); ++n)
        m_followersAt[n] += m_followersAt[n - 1];
    m_followers.assign(m_followersAt.back(), 0);
    std::array<std::uint32_t, kVarCount> filled{};
    for (const MonitorRowInfo& row : rows)
        if (row.psxNumber != 0 && row.psxNumber < kVarCount && row.psxNumber != row.number)
            m_followers[m_followersAt[row.psxNumber] + filled[row.psxNumber]++] = row.number;
    m_rows = std::move(rows);
    m_generation.fetch_add(1, std::memory_order_release);
}

void VariableMonitor::recordEach(std::uint32_t number, std::int32_t value, std::uint32_t side, bool always) noexcept
{
    record(number, value, side, always);
    if (number >= kVarCount)
        return;
    for (std::uint32_t i = m_followersAt[number]; i < m_followersAt[number + 1]; ++i)
        record(m_followers[i], value, side, always);
}

void VariableMonitor::record(std::uint32_t number, std::int32_t value, std::uint32_t side, bool always) noexcept
{
    if (number >= kVarCount)
        return;
    Slot& slot = m_slots[number];
    const std::uint32_t flags = slot.flags.load(std::memory_order_relaxed);
    if (!(flags & kBound))
        return;
    std::atomic<std::int32_t>& field = side == kSiocSeen ? slot.sioc : slot.psx;
    if (!always && (flags & side) && field.load(std::memory_order_relaxed) == value)
        return;
    const Clock::TimePoint::rep now = g_clock->now().time_since_epoch().count();
    // One writer: plain loads and stores around the sequence, no read-modify-write needed. The
    // fields are stored with release (on x86 as cheap as relaxed), so a reader that sees one of
    // them sees the odd sequence before it; no fences, which ThreadSanitizer cannot follow.
    const std::uint32_t sequence = slot.sequence.load(std::memory_order_relaxed);
    slot.sequence.store(sequence + 1, std::memory_order_relaxed);
    field.store(value, std::memory_order_release);
    slot.flags.store(flags | side, std::memory_order_release);
    slot.changes.store(slot.changes.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    slot.changedAt.store(now, std::memory_order_release);
    slot.sequence.store(sequence + 2, std::memory_order_release);
    m_generation.store(m_generation.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

std::vector<MonitorRow> VariableMonitor::snapshot() const
{
    std::lock_guard lock(m_rowsMutex);
    std::vector<MonitorRow> rows;
    rows.reserve(m_rows.size());
    for (const MonitorRowInfo& info : m_rows) {
        const Slot& slot = m_slots[info.number];
        MonitorRow row{info, {}, {}, {}, 0, {}};
        std::uint32_t flags = 0;
        std::int32_t sioc = 0, psx = 0;
        Clock::TimePoint::rep changedAt = 0;
        for (;;) {
            const std::uint32_t before = slot.sequence.load(std::memory_order_acquire);
            if (before & 1)
                continue; // the worker is in the middle of this slot: a few stores, retried at once
            // Acquire: the sequence read after them cannot be older than what they show.
            flags = slot.flags.load(std::memory_order_acquire);
            sioc = slot.sioc.load(std::memory_order_acquire);
            psx = slot.psx.load(std::memory_order_acquire);
            row.changes = slot.changes.load(std::memory_order_acquire);
            changedAt = slot.changedAt.load(std::memory_order_acquire);
            if (slot.sequence.load(std::memory_order_relaxed) == before)
                break;
        }
        if (flags & kSiocSeen)
            row.sioc = sioc;
        if (flags & kPsxSeen)
            row.psx = psx;
        if (row.changes != 0)
            row.changedAt = Clock::TimePoint(Clock::TimePoint::duration(changedAt));
        if (const std::uint32_t qs = info.psxNumber != 0 ? info.psxNumber : info.number; info.psxText && qs < kQsCount)
            row.psxText = g_qsStrings.get(qs);
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

// The catalogue type of each number as the running settings built it (some numbers have a row
// for each setting of a DUAL_ENCODER key).
std::map<std::uint32_t, std::string_view> lf_typeNames(const CatalogueOptions& options)
{
    std::map<std::uint32_t, std::string_view> types;
    for (auto table : {gf_virtualSwitchRows(), gf_mainRows(), gf_lateRows()})
        for (const CatalogueRow& row : table)
            if (options.includes(row))
                types.emplace(row.number, gf_varTypeName(row.type));
    return types;
}

// "Qs12" is 12, "Qh6" 1006, "Qi5" 2005; anything else kVarCount.
std::uint32_t lf_psxNumber(const std::string& psxName)
{
    if (psxName.size() < 3 || psxName[0] != 'Q')
        return kVarCount;
    const std::uint32_t base = psxName[1] == 's' ? 0 : psxName[1] == 'h' ? 1000 : psxName[1] == 'i' ? 2000 : kVarCount;
    std::uint32_t n = 0;
    for (std::size_t i = 2; i < psxName.size(); ++i) {
        if (psxName[i] < '0' || psxName[i] > '9' || n > 999)
            return kVarCount;
        n = n * 10 + static_cast<std::uint32_t>(psxName[i] - '0');
    }
    return std::min(base + n, kVarCount);
}

} // namespace

std::vector<MonitorRowInfo> gf_monitorRows(const VarPoolImpl& pool)
{
    std::set<std::uint32_t> numbers = pool.psxNumbers;
    numbers.insert(pool.siocNumbers.begin(), pool.siocNumbers.end());
    const auto types = lf_typeNames(CatalogueOptions::fromConfiguration());
    std::vector<MonitorRowInfo> rows;
    for (std::uint32_t number : numbers) {
        const std::shared_ptr<Var> var = pool.find(number);
        if (!var)
            continue;
        std::string psxName = var->psxCodeText();
        if (psxName.empty())
            psxName = gf_psxName(number);
        const auto type = types.find(number);
        const std::uint32_t psxNumber = lf_psxNumber(psxName);
        rows.push_back({number, var->name, std::move(psxName),
                        std::string(type != types.end() ? type->second : std::string_view()),
                        psxNumber < 1000, psxNumber == number || psxNumber == kVarCount ? 0 : psxNumber});
    }
    return rows;
}

} // namespace brg
