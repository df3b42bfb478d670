// Prints the Talvesync.cfg reference (Markdown) or, with --sample, a sample Talvesync.cfg.
// Usage: cfg-reference > docs/configuration.md
//        cfg-reference --sample > docs/Talvesync.cfg.sample
#include "config/config_reference.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && std::string_view(argv[1]) != "--sample")) {
        std::fputs("usage: cfg-reference [--sample]\n", stderr);
        return 2;
    }
    const std::string text = argc == 2 ? brg::gf_configSample() : brg::gf_configReference();
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
