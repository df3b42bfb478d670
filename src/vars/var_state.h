#pragma once
// The process-wide values the variables read and write. Defined, with the rest of the process
// state, in app/process_state.cpp, which also resets them for tests.
#include "vars/var.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace brg {

class VarPoolImpl;

// The current text of each Qs variable; written on the main and the worker thread.
class QsStringTable {
public:
    // Throws std::out_of_range for an index of 562 or more.
    std::string get(std::uint32_t index) const;
    void set(std::uint32_t index, std::string text);
    void clear();

private:
    mutable std::mutex m_mutex;
    std::array<std::string, kQsCount> m_texts;
};

// The last value PSX reported per variable number (0 where it never did).
extern std::array<std::atomic<std::uint32_t>, kVarCount> g_psxValues;
extern QsStringTable g_qsStrings;

// The info variables whose refresh() runs every 200 ms, in ascending number order.
extern std::vector<std::shared_ptr<Var>> g_infoVars;
// Set until the end of synchronisation; momentary controls ignore SIOC while it is set.
extern std::atomic<bool> g_initPhase;
extern std::shared_ptr<VarPoolImpl> g_varPool;

} // namespace brg
