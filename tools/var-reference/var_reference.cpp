// Prints the whole variable catalogue as a Markdown table, the users' variable reference, or with
// --csv the same table for a spreadsheet.
// Usage: var-reference > docs/variables.md
//        var-reference --csv > docs/variables.csv
#include "vars/catalogue_reference.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && std::string_view(argv[1]) != "--csv")) {
        std::fputs("usage: var-reference [--csv]\n", stderr);
        return 2;
    }
    const std::string text = argc == 2 ? brg::gf_catalogueCsv() : brg::gf_catalogueReference();
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
