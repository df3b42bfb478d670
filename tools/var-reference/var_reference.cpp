// Prints the whole variable catalogue as a Markdown table: the users' variable reference.
// Usage: var-reference > docs/variables.md
#include "vars/catalogue_reference.h"

#include <cstdio>

int main()
{
    const std::string reference = brg::gf_catalogueReference();
    return std::fwrite(reference.data(), 1, reference.size(), stdout) == reference.size() ? 0 : 1;
}
