#pragma once
// The users' reference of Talvesync.cfg and a sample file, both made from the configuration
// items themselves so that neither can drift from what the program reads.
#include <string>

namespace brg {

// Every key as Markdown: type, default, range and what it does.
std::string gf_configReference();

// A Talvesync.cfg with every key: comments give its meaning, default and range; a key whose
// absence matters (the SIOC overrides, the lists, OCCDU, the CDU key codes) is commented out.
std::string gf_configSample();

} // namespace brg
