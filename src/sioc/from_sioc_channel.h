#pragma once
// The receiving side of the SIOC link: decodes IOCP lines into (number, value) elements and
// applies them to the bound variables.
#include "net/channel.h"
#include "vars/var.h"
#include "vars/var_pool.h"

#include <array>
#include <functional>
#include <memory>
#include <set>

namespace brg {

class FromSiocChannel : public ReceivingChannel {
public:
    // Finds the variable of a number; empty when there is none.
    using VarLookup = std::function<std::shared_ptr<Var>(Qcode)>;

    FromSiocChannel() : ReceivingChannel("FromSIOC") {}

    // Binds every number to its variable; throws "initInicio" at the first number without one.
    void initInicio(const std::set<std::uint32_t>& numbers, const VarLookup& lookup = vars::getVar);
    void decodeMessage(const std::string& line) override;

    // The variable of each SIOC number, filled at start-up before the worker runs.
    std::array<std::shared_ptr<Var>, kVarCount> varTable;

protected:
    // Applies the value to the number's variable; a number without one is dropped.
    void flushElement(const ChannelElement& element) override;

private:
    std::set<std::uint32_t> m_droppedNumbers; // worker thread only
};

} // namespace brg
