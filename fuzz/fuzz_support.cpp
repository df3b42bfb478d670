#include "fuzz_support.h"

#include "app/process_state.h"
#include "net/hand_over_queues.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/to_sioc_channel.h"
#include "sioc/script_scan.h"
#include "vars/var_pool.h"

#include <fstream>
#include <set>
#include <unistd.h>

namespace brg::fuzz {

const std::filesystem::path& gf_workFolder()
{
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("talvesync-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::filesystem::current_path(path);
        return path;
    }();
    return folder;
}

void gf_writeFile(const std::filesystem::path& path, std::string_view content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void gf_bindWholeCatalogue()
{
    gf_resetProcessState();
    auto pool = std::make_shared<VarPoolImpl>();
    g_varPool = pool;
    std::set<std::uint32_t> everything;
    for (std::uint32_t n = 1000; n < kVarCount; ++n)
        everything.insert(n);
    for (std::uint32_t n : kSwitchNumbersNotInScripts)
        everything.erase(n);
    VarPoolImpl catalogue;
    catalogue.buildCatalogue();
    std::set<std::uint32_t> known;
    for (std::uint32_t n : everything)
        if (catalogue.find(n))
            known.insert(n);
    pool->selectVariables(known);
    for (const auto& [number, var] : pool->vars)
        var->initialise();
    for (const auto& [number, var] : pool->vars)
        if (var->isInfoVar() && var->isPolled())
            g_infoVars.push_back(var);
    g_FromPSXClient->initInicio(pool->psxNumbers);
    g_FromSIOCClient->initInicio(pool->siocNumbers);
    g_varPool.reset();
    g_initPhase = false;
}

void gf_runCycle()
{
    // A variable that refuses its value stops the worker in the program; here the next input
    // starts again from freshly bound variables, as a new run would.
    bool failed = false;
    const auto guarded = [&failed](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
            failed = true;
        }
    };
    guarded([] { g_FromPSXClient->flushQueue(); });
    while (!g_psxElementList.empty()) {
        g_ToPSXClient->pushElement({g_psxElementList.back(), -1});
        g_psxElementList.pop_back();
    }
    guarded([] { g_FromSIOCClient->flushQueue(); });
    guarded([] {
        for (const auto& var : g_infoVars)
            var->refresh();
    });
    while (auto pair = g_psxValueQueue.tryPop())
        g_ToPSXClient->pushElement({pair->first, pair->second});
    while (auto text = g_psxStringQueue.tryPop()) {
        g_qsStrings.set(text->first, std::move(text->second));
        g_ToPSXClient->pushElement({text->first, 0});
    }
    guarded([] { g_ToPSXClient->flushQueue(); });
    guarded([] { g_ToSIOCClient->flushQueue(); });
    if (failed)
        gf_bindWholeCatalogue();
}

} // namespace brg::fuzz
