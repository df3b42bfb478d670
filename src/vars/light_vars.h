#pragma once
// Light types: a PSX light word with lamp-test and power logic folded into output bits that the
// SIOC script tests.
#include "vars/info_vars.h"

#include <string>

namespace brg {

// Reads the PSX word of `source` (its own number for some types) and sends it with bits added.
class LightVar : public PolledInfoVar {
public:
    LightVar(std::string name, std::uint32_t number, std::uint32_t source)
        : PolledInfoVar(std::move(name), number), source(source) {}
    void refresh() final;
    std::string psxCodeText() const override { return source == number ? std::string() : gf_psxName(source); }

    const std::uint32_t source;

protected:
    virtual std::uint32_t lightValue(std::uint32_t v) const = 0;
};

// An MCP push button's lamps, powered through the dimming relays K4a and K6b.
class LightVar3 : public LightVar {
public:
    using LightVar::LightVar;
    std::string description() const override { return "b 14 15 16"; }

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVar3b : public LightVar {
public:
    LightVar3b(std::string name, std::uint32_t number, std::uint32_t powerCode)
        : LightVar(std::move(name), number, number), powerCode(powerCode) {}
    std::string description() const override { return "b 14 15 16"; }

    const std::uint32_t powerCode;

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

// Fire and warning lights with two power sources.
class LightVar8 : public LightVar {
public:
    LightVar8(std::string name, std::uint32_t number, std::uint32_t powerCode1, std::uint32_t powerCode2,
              std::uint32_t source)
        : LightVar(std::move(name), number, source), powerCode1(powerCode1), powerCode2(powerCode2) {}
    std::string description() const override { return "b 14 15 16 17 18 19 20 21"; }

    const std::uint32_t powerCode1;
    const std::uint32_t powerCode2;

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVar14 : public LightVar {
public:
    LightVar14(std::string name, std::uint32_t number, std::uint32_t powerCode, std::uint32_t source)
        : LightVar(std::move(name), number, source), powerCode(powerCode) {}
    std::string description() const override { return "b 14"; }

    const std::uint32_t powerCode;

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVarElt : public LightVar {
public:
    using LightVar::LightVar;
    std::string description() const override { return "b 14"; }

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVarB : public LightVar {
public:
    LightVarB(std::string name, std::uint32_t number, std::uint32_t powerCode, std::uint32_t source)
        : LightVar(std::move(name), number, source), powerCode(powerCode) {}
    std::string description() const override { return "b 3"; }

    const std::uint32_t powerCode;

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVarSquib : public LightVar {
public:
    using LightVar::LightVar;
    std::string description() const override { return "b 3"; }

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVarEvac : public LightVar {
public:
    using LightVar::LightVar;
    std::string description() const override { return "b 5"; }

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVarT : public LightVar {
public:
    LightVarT(std::string name, std::uint32_t number, std::uint32_t powerCode, std::uint32_t source)
        : LightVar(std::move(name), number, source), powerCode(powerCode) {}
    std::string description() const override { return "b 11 12 13 14 15(T)"; }

    const std::uint32_t powerCode;

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

// A radio control panel's indicator lamps, including AM on the HF radios.
class LightVarRadio : public LightVar {
public:
    LightVarRadio(std::string name, std::uint32_t number, std::uint32_t powerCode)
        : LightVar(std::move(name), number, number), powerCode(powerCode) {}
    std::string description() const override
    {
        return "b 14(VHFL) 15(VHFC) 16(VHFR) 17(HFL) 18(HFR) 19(OTL) 20 (AM)";
    }

    const std::uint32_t powerCode;

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

class LightVarCdu : public LightVar {
public:
    LightVarCdu(std::string name, std::uint32_t number, std::uint32_t powerCode)
        : LightVar(std::move(name), number, number), powerCode(powerCode) {}
    std::string description() const override { return "b 14(EXEC) 15(DSPY) 16(FAIL) 17(MSG) 18(OFST)"; }

    const std::uint32_t powerCode;

protected:
    std::uint32_t lightValue(std::uint32_t v) const override;
};

} // namespace brg
