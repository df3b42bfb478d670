#include "vars/var.h"

#include <fmt/format.h>
#include <stdexcept>

namespace brg {

namespace {
std::atomic<VarQueue> g_toPsx{nullptr};
std::atomic<VarQueue> g_toSioc{nullptr};
} // namespace

void gf_setVarQueues(VarQueue toPsx, VarQueue toSioc)
{
    g_toPsx = toPsx;
    g_toSioc = toSioc;
}

void gf_queueForPsx(std::uint32_t number, std::int32_t value) { g_toPsx.load()(number, value); }

void gf_queueForSioc(std::uint32_t number, std::int32_t value) { g_toSioc.load()(number, value); }

std::string gf_psxName(std::uint32_t number)
{
    if (number < 1000)
        return fmt::format("Qs{}", number);
    if (number < 2000)
        return fmt::format("Qh{}", number - 1000);
    if (number < 3000)
        return fmt::format("Qi{}", number - 2000);
    return {};
}

std::string CollectionVar::description() const { return fmt::format("Collection of {}...", m_items.size()); }

void CollectionVar::setItem(std::uint32_t index, std::int32_t v)
{
    m_items.at(index) = v;
    sendToPsx();
}

} // namespace brg
