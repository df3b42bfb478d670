#include "vars/position_vars.h"

#include "base/exceptions.h"
#include "vars/var_pool.h"
#include "vars/var_state.h"

#include <fmt/format.h>
#include <stdexcept>

namespace brg {

void PositionVar::initialise()
{
    const std::shared_ptr<Var> var = vars::getVar(Qcode{base});
    if (!var)
        throw UserErrorException(100, fmt::format("Controlling_object {} is not present", base));
    m_controller = std::dynamic_pointer_cast<CollectionVar>(var);
    if (!m_controller)
        throw std::runtime_error(fmt::format("Controlling_object {} is not a collection", base));
}

void PositionVar::setItem(std::int32_t v)
{
    if (!m_controller)
        throw std::runtime_error(fmt::format("{} {} used before initialise", name, number));
    m_controller->setItem(position, v);
}

void SwitchPositionVar::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void SwitchPositionVar::sendToPsx()
{
    // Only the closed contact speaks; opening it is the next contact's closing.
    if (value == 1)
        setItem(itemValue);
}

void ItemSwitchVar::setValue(std::int32_t v)
{
    if (gf_isSwitchValue(v))
        ControlVar::setValue(v);
}

void ItemSwitchVar::sendToPsx() { setItem(value); }

void ItemPushVar::setValue(std::int32_t v)
{
    if (gf_momentaryAccepts(v))
        ControlVar::setValue(1);
}

void ItemPushVar::sendToPsx()
{
    setItem(value);
    value = 0;
}

void ItemClampVar::setValue(std::int32_t v) { ControlVar::setValue(gf_clamp(v, range)); }

void ItemClampVar::sendToPsx() { setItem(value); }

std::string ItemClampVar::description() const { return fmt::format("[{}..{}]", range.min, range.max); }

ItemBandVar::ItemBandVar(std::string name, std::uint32_t number, Range range, std::uint32_t base,
                         std::uint32_t position)
    : PositionVar(std::move(name), number, base, position), range(range), band(gf_bandOf(range))
{
    value = range.max + band; // as BandVar: the first report always goes out
}

void ItemBandVar::setValue(std::int32_t v)
{
    const std::int32_t clamped = gf_clamp(v, range);
    if (gf_outsideBand(clamped, value, band))
        ControlVar::setValue(clamped);
}

void ItemBandVar::sendToPsx() { setItem(value); }

std::string ItemBandVar::description() const { return fmt::format("[{}.%.{}]", range.min, range.max); }

ItemPotVar::ItemPotVar(std::string name, std::uint32_t number, std::uint32_t position)
    : PositionVar(std::move(name), number, kBase, position)
{
    value = kPotStartValue;
}

void ItemPotVar::setValue(std::int32_t v)
{
    const std::int32_t clamped = gf_clamp(v, kPotRange);
    if (gf_outsideBand(clamped, value, kPotBand))
        ControlVar::setValue(clamped);
}

void ItemPotVar::sendToPsx() { setItem(1); }

void ItemEncoderVar::sendToPsx()
{
    if (value == 0)
        return;
    setItem(gf_encoderStep(value, range.max, invert));
    value = 0;
}

} // namespace brg
