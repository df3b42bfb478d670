#pragma once
// Collection types: one PSX variable composed from items that virtual switch positions set.
#include "vars/var.h"

#include <mutex>
#include <string>

namespace brg {

// Items are set on the worker thread while a few PSX decodings re-send a collection from the
// main thread, so every path that reads or writes the items holds one guard.
class GuardedCollectionVar : public CollectionVar {
public:
    using CollectionVar::CollectionVar;
    void sendToPsx() final;
    void setValue(std::int32_t v) final;
    void setItem(std::uint32_t index, std::int32_t v) final;

protected:
    // Composes the PSX value from the items and queues it; runs under the guard.
    virtual void compose() = 0;
    // The items joined in decimal with ";" between them.
    std::string joinedItems() const;

private:
    mutable std::mutex m_mutex;
};

// A Qs text of the items joined by ";".
class QsListVar : public GuardedCollectionVar {
public:
    using GuardedCollectionVar::GuardedCollectionVar;

protected:
    void compose() override;
};

// Radio tuning knobs: each text goes out once through the string hand-over queue, then the
// steps start again from 0.
class QsQueuedListVar : public GuardedCollectionVar {
public:
    QsQueuedListVar(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 3) {}

protected:
    void compose() override;
};

// One tuning knob (item 0) whose switch (item 1) chooses the large or the small step.
class QsTripletVar : public GuardedCollectionVar {
public:
    QsTripletVar(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 2) {}

protected:
    void compose() override;
};

// A panel letter string: item i switches the case of character i ("n", "y", "b").
class QsLetterVar : public GuardedCollectionVar {
public:
    using GuardedCollectionVar::GuardedCollectionVar;

protected:
    void compose() override;
};

// Qs120: the three axes; an axis that no hardware drives keeps the value PSX last reported.
class FltControlsVar : public QsListVar {
public:
    static constexpr std::uint32_t kNumber = 120;
    explicit FltControlsVar(std::string name) : QsListVar(std::move(name), kNumber, 3) {}

protected:
    void compose() override;
};

// Qs357: the two toe brakes, as FltControlsVar.
class BrakesVar : public QsListVar {
public:
    static constexpr std::uint32_t kNumber = 357;
    explicit BrakesVar(std::string name) : QsListVar(std::move(name), kNumber, 2) {}

protected:
    void compose() override;
};

// Qs104: the weather radar panel's push buttons and mode selectors as letters.
class WxPushVar : public GuardedCollectionVar {
public:
    static constexpr std::uint32_t kNumber = 104;
    explicit WxPushVar(std::string name) : GuardedCollectionVar(std::move(name), kNumber, 7) {}

protected:
    void compose() override;
};

// Qs105: the weather radar panel's tilt and gain knobs.
class WxTurnVar : public GuardedCollectionVar {
public:
    static constexpr std::uint32_t kNumber = 105;
    explicit WxTurnVar(std::string name) : GuardedCollectionVar(std::move(name), kNumber, 4) {}

protected:
    void compose() override;
};

// A fire handle: pulled, override and the four discharge positions as bits.
class QhBitsVar : public GuardedCollectionVar {
public:
    QhBitsVar(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 11) {}

protected:
    void compose() override;
};

// Two push buttons on one Qh variable, as bits 0 and 1 of a single press.
class QhTwoPushVar : public GuardedCollectionVar {
public:
    QhTwoPushVar(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 2) {}

protected:
    void compose() override;
};

// A push button (bit 0, consumed when sent) and a switch (bit 1).
class QhTwoStateVar : public GuardedCollectionVar {
public:
    QhTwoStateVar(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 2) {}

protected:
    void compose() override;
};

class QhPlus8Var : public GuardedCollectionVar {
public:
    QhPlus8Var(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 2) {}

protected:
    void compose() override;
};

// A rotary selector whose positions each set item 0 to their own value.
class QhFirstItemVar : public GuardedCollectionVar {
public:
    QhFirstItemVar(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 1) {}

protected:
    void compose() override;
};

// A three-way toggle made of two contacts: -1, 0, 1.
class QhThreeWayVar : public GuardedCollectionVar {
public:
    QhThreeWayVar(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 2) {}

protected:
    void compose() override;
};

// The same with the values 2, 5 (centre) and 0.
class QhThreeWay25Var : public GuardedCollectionVar {
public:
    QhThreeWay25Var(std::string name, std::uint32_t number) : GuardedCollectionVar(std::move(name), number, 2) {}

protected:
    void compose() override;
};

} // namespace brg
