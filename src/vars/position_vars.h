#pragma once
// Virtual switch positions: one SIOC variable per hardware contact, knob or lever, each setting
// one item of the collection variable (its base) that composes the PSX value.
#include "vars/collection_vars.h"
#include "vars/control_rules.h"
#include "vars/var.h"

#include <memory>
#include <string>

namespace brg {

class PositionVar : public ControlVar {
public:
    PositionVar(std::string name, std::uint32_t number, std::uint32_t base, std::uint32_t position)
        : ControlVar(std::move(name), number), base(base), position(position) {}
    // Binds the collection; it must be in the pool by now (UserErrorException 100 otherwise).
    void initialise() override;
    std::string psxCodeText() const override { return gf_psxName(base); }

    const std::uint32_t base;
    const std::uint32_t position;

protected:
    void setItem(std::int32_t v);

private:
    std::shared_ptr<CollectionVar> m_controller;
};

// One contact of a rotary selector: while closed it sets its item to itemValue.
class SwitchPositionVar : public PositionVar {
public:
    SwitchPositionVar(std::string name, std::uint32_t number, std::uint32_t base, std::uint32_t position,
                      std::int32_t itemValue)
        : PositionVar(std::move(name), number, base, position), itemValue(itemValue) {}
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override { return "R"; }

    const std::int32_t itemValue;
};

class ItemSwitchVar : public PositionVar {
public:
    using PositionVar::PositionVar;
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override { return "A"; }
};

// The same, marked as one contact of a three-way toggle.
class ItemSwitchOVar : public ItemSwitchVar {
public:
    using ItemSwitchVar::ItemSwitchVar;
    std::string description() const override { return "O"; }
};

class ItemPushVar : public PositionVar {
public:
    using PositionVar::PositionVar;
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override { return "M"; }
};

class ItemClampVar : public PositionVar {
public:
    ItemClampVar(std::string name, std::uint32_t number, Range range, std::uint32_t base, std::uint32_t position)
        : PositionVar(std::move(name), number, base, position), range(range) {}
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override;

    const Range range;
};

class ItemBandVar : public PositionVar {
public:
    ItemBandVar(std::string name, std::uint32_t number, Range range, std::uint32_t base, std::uint32_t position);
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override;

    const Range range;
    const std::int32_t band;
};

// A weather radar tilt potentiometer on Qs105.
class ItemPotVar : public PositionVar {
public:
    static constexpr std::uint32_t kBase = 105;
    ItemPotVar(std::string name, std::uint32_t number, std::uint32_t position);
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override { return "P270"; }
};

class ItemEncoderVar : public PositionVar {
public:
    // invertKey is the configuration's Invert* key: 0 negates the steps.
    ItemEncoderVar(std::string name, std::uint32_t number, std::int32_t stepLimit, std::uint32_t base,
                   std::uint32_t position, bool invertKey)
        : PositionVar(std::move(name), number, base, position), range{-stepLimit, stepLimit}, invert(!invertKey) {}
    void sendToPsx() override;
    std::string description() const override { return "e"; }

    const Range range;
    const bool invert;
};

} // namespace brg
