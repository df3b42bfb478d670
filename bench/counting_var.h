#pragma once
// A Var that only counts, so that a benchmark measures the channel and not the Var types.
#include "vars/var.h"

namespace brg {

class CountingVar : public Var {
public:
    CountingVar(std::uint32_t number, bool polled) : Var("Counting", number, 0), m_polled(polled) {}
    void initialise() override {}
    void refresh() override {}
    void sendToPsx() override { ++calls; }
    void setValue(std::int32_t v) override { value = v; }
    bool isInfoVar() const override { return m_polled; }
    bool isPolled() const override { return m_polled; }
    int calls = 0;

private:
    bool m_polled;
};

} // namespace brg
