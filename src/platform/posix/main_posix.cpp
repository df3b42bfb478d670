#include "app/version.h"

#include <cstdio>

int main()
{
    std::printf("%s %s: the bridge is not yet runnable in this build.\n", brg::kProgramName,
                brg::kProgramVersion);
    return 0;
}
