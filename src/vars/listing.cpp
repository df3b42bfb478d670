#include "vars/listing.h"

#include <fmt/format.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace brg {

namespace {

constexpr std::size_t kEntriesPerLine = 5;
constexpr std::size_t kNamePartWidth = 20; // name and closing quote, padded with blanks

void lf_appendLine(VarPoolImpl& pool, std::string line)
{
    if (pool.listing.size() >= pool.listing.max_size())
        throw std::length_error("list too long");
    pool.listing.push_back(std::move(line));
}

} // namespace

void gf_makeListing(VarPoolImpl& pool)
{
    std::vector<std::shared_ptr<Var>> selected;
    selected.reserve(pool.vars.size());
    for (const auto& entry : pool.vars)
        selected.push_back(entry.second);

    std::string line;
    std::size_t entries = 0;
    for (const auto& var : selected) {
        const std::string namePart = fmt::format("{:<{}}", var->name + '"', kNamePartWidth);
        line += fmt::format("{} \"{}", var->number, namePart);
        if (++entries % kEntriesPerLine == 0) {
            lf_appendLine(pool, std::move(line));
            line.clear();
            entries = 0;
        }
    }
    if (entries != 0)
        lf_appendLine(pool, std::move(line));
}

} // namespace brg
