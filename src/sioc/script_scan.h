#pragma once
// Which Talvesync variables the cockpit uses: those the user's compiled SIOC script declares.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace brg {

// Set while the SIOC script is read; closing is refused meanwhile.
extern std::atomic<bool> g_readingScript;

// Switches that SIOC sees as one variable per position: a script uses those position variables,
// never the switch's own number, so the switch numbers are not taken from a script.
inline constexpr std::array<std::uint32_t, 74> kSwitchNumbersNotInScripts{
    1013, 1014, 1032, 1033, 1034, 1035, 1053, 1054, 1076, 1116, 1117, 1118, 1119, 1120, 1121,
    1122, 1123, 1124, 1125, 1126, 1127, 1129, 1130, 1131, 1133, 1137, 1170, 1178, 1183, 1184,
    1185, 1186, 1187, 1192, 1193, 1213, 1214, 1215, 1224, 1229, 1230, 1231, 1232, 1234, 1235,
    1236, 1263, 1265, 1275, 1276, 1277, 1278, 1279, 1286, 1288, 1293, 1300, 1301, 1319, 1320,
    1321, 1322, 1358, 1386, 1387, 1390, 1391, 1398, 1399, 1420, 1421, 1422, 1423, 1424};

namespace sioc {

// Reads the script at `path` and selects its variables in g_varPool: the declared numbers without
// the switch numbers above, narrowed by WHITELIST or BLACKLIST. Then every selected Var is
// initialised in ascending order and the polled info variables are appended to g_infoVars.
// Throws UserErrorException 16 when the file cannot be opened or read (with the reason, when
// there is more to say than that it is missing), 1 when no variable is left and
// 2 for a number the catalogue does not know.
void scanScript(const std::string& path);

// scanScript on the script of g_siocparameters, then the variable count to the display and the
// counts and the listing to the log. Throws std::runtime_error when g_siocparameters is not set.
void detectVariables();

} // namespace sioc

} // namespace brg
