#pragma once
// The variable model: every bridged quantity is one Var with a fixed number, name and conversion.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace brg {

// A variable number: Qs n is n, Qh n is 1000 + n, Qi n is 2000 + n; 3000 to 5688 are the
// bridge's own derived numbers.
enum class Qcode : std::uint32_t {};

inline constexpr std::uint32_t kVarCount = 5689; // numbers 0 to 5688
inline constexpr std::uint32_t kQsCount = 562;   // Qs texts 0 to 561
inline constexpr std::int32_t kInfoVarStartValue = 373737;

// "Qs12", "Qh45", "Qi7", or "" from 3000 on.
std::string gf_psxName(std::uint32_t number);

// Queue a (number, value) pair on the PSX or the SIOC sending channel. The channels sit above
// this folder, so the process state hands in the two queues once, at start.
using VarQueue = void (*)(std::uint32_t number, std::int32_t value);
void gf_setVarQueues(VarQueue toPsx, VarQueue toSioc);
void gf_queueForPsx(std::uint32_t number, std::int32_t value);
void gf_queueForSioc(std::uint32_t number, std::int32_t value);

class Var {
public:
    Var(std::string name, std::uint32_t number, std::int32_t initialValue)
        : name(std::move(name)), number(number), value(initialValue) {}
    virtual ~Var() = default;
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;

    virtual void initialise() = 0;
    virtual void refresh() = 0;
    virtual void sendToPsx() = 0;
    virtual void setValue(std::int32_t v) = 0;
    virtual bool isInfoVar() const = 0;
    virtual bool isPolled() const = 0;
    virtual std::string description() const { return {}; }
    virtual std::string psxCodeText() const { return {}; }

    const std::string name;
    const std::uint32_t number;
    // Set on the worker thread and, for a few PSX decodings, on the main thread.
    std::atomic<std::int32_t> value;
};

// A variable whose value comes from the cockpit hardware (SIOC) and is written to PSX.
class ControlVar : public Var {
public:
    ControlVar(std::string name, std::uint32_t number) : Var(std::move(name), number, 0) {}

    void initialise() override {}
    void refresh() override {}
    void sendToPsx() override { gf_queueForPsx(number, value); }
    void setValue(std::int32_t v) override
    {
        value = v;
        sendToPsx();
    }
    bool isInfoVar() const override { return false; }
    bool isPolled() const override { return false; }

    // Queues v for PSX without storing it.
    virtual void sendValueToPsx(std::int32_t v) { gf_queueForPsx(number, v); }
    // Queues (number, 0); the PSX channel writes the current text of g_qsStrings[number].
    virtual void sendQsString() { gf_queueForPsx(number, 0); }
};

// A control variable whose PSX value is composed from items set by its virtual switch positions.
class CollectionVar : public ControlVar {
public:
    CollectionVar(std::string name, std::uint32_t number, std::uint32_t itemCount)
        : ControlVar(std::move(name), number), m_items(itemCount, 0) {}

    std::string description() const override;
    // Stores v as item `index` (below the item count), then sends to PSX.
    virtual void setItem(std::uint32_t index, std::int32_t v);

    std::uint32_t itemCount() const { return static_cast<std::uint32_t>(m_items.size()); }

protected:
    std::vector<std::int32_t> m_items;
};

// A variable computed from PSX values and written to SIOC.
class InfoVar : public Var {
public:
    InfoVar(std::string name, std::uint32_t number) : Var(std::move(name), number, kInfoVarStartValue) {}

    void initialise() override {}
    void sendToPsx() override {}
    void setValue(std::int32_t v) override
    {
        value = v;
        gf_queueForSioc(number, value);
    }
    bool isInfoVar() const override { return true; }
    bool isPolled() const override { return true; }
};

} // namespace brg
