#include "sioc/script_scan.h"

#include "base/display.h"
#include "base/exceptions.h"
#include "base/log.h"
#include "config/selection_lists.h"
#include "sioc/sioc_parameters.h"
#include "sioc/ssi_reader.h"
#include "vars/var_pool.h"
#include "vars/var_state.h"

#include <fmt/core.h>

#include <set>
#include <stdexcept>

namespace brg {
namespace {

// The window refuses to close while this is alive.
class ReadingScript {
public:
    ReadingScript() { g_readingScript = true; }
    ~ReadingScript() { g_readingScript = false; }
    ReadingScript(const ReadingScript&) = delete;
    ReadingScript& operator=(const ReadingScript&) = delete;
};

std::set<std::uint32_t> lf_declaredNumbers(const std::string& path)
{
    const ReadingScript reading;
    SsiReader reader;
    if (!reader.openFile(path)) {
        const std::string& reason = reader.openFailure();
        throw UserErrorException(16, path + " not found" + (reason.empty() ? "" : " (" + reason + ")"));
    }
    g_display->setStatus("");
    try {
        reader.readNumbers();
    } catch (const std::runtime_error& e) {
        reader.closeFile();
        throw UserErrorException(16, path + " not found (" + e.what() + ")");
    }
    reader.closeFile();
    return reader.numbers();
}

} // namespace

void sioc::scanScript(const std::string& path)
{
    g_log.write("Reading file " + path);
    std::set<std::uint32_t> detected = lf_declaredNumbers(path);
    for (std::uint32_t number : kSwitchNumbersNotInScripts)
        detected.erase(number);
    gf_applySelectionLists(detected);
    if (detected.empty())
        throw UserErrorException(1, "No variables found in " + path);

    const std::shared_ptr<VarPoolImpl> pool = g_varPool;
    if (!pool)
        throw std::runtime_error("scanScript: g_varPool == null");
    pool->selectVariables(detected);
    for (std::uint32_t number : detected)
        if (!pool->find(number))
            throw UserErrorException(2, fmt::format("Var {} in your {} is not a Talvesync variable", number, path));
    for (const auto& [number, var] : pool->vars)
        var->initialise();
    for (std::uint32_t number : detected)
        if (std::shared_ptr<Var> var = pool->find(number); var->isInfoVar() && var->isPolled())
            g_infoVars.push_back(std::move(var));
}

void sioc::detectVariables()
{
    const std::shared_ptr<const SiocParameters> parameters = g_siocparameters.load();
    if (!parameters || !parameters->script)
        throw std::runtime_error("g_siocparameters == null");
    sioc::scanScript(*parameters->script);

    const std::uint32_t count = g_varPool->count;
    g_display->setVariableCount(count);
    g_display->repaint();
    g_log.write(fmt::format("\n{} Talvesync variable{} detected:", count, count == 1 ? "" : "s"));
    for (const std::string& line : g_varPool->listing)
        g_log.write(line);
    g_log.write(fmt::format("\nNumber of infovars to be checked: {}", g_infoVars.size()));
}

} // namespace brg
