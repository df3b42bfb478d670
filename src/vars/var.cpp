#include "vars/var.h"

#include <fmt/format.h>
#include <stdexcept>

namespace brg {

std::string psxName(std::uint32_t number)
{
    if (number < 1000)
        return fmt::format("Qs{}", number);
    if (number < 2000)
        return fmt::format("Qh{}", number - 1000);
    if (number < 3000)
        return fmt::format("Qi{}", number - 2000);
    return {};
}

std::string CollectionVar::description() const { return fmt::format("Collection of {}...", items.size()); }

void CollectionVar::setItem(std::uint32_t index, std::int32_t v)
{
    items.at(index) = v;
    sendToPsx();
}

} // namespace brg
