#pragma once
// Info types: PSX values converted for the cockpit displays and indicators.
#include "vars/var.h"

#include <string>

namespace brg {

// An info variable whose value PSX delivers directly through setValue; nothing to poll.
class ForwardedInfoVar : public InfoVar {
public:
    using InfoVar::InfoVar;
    void refresh() override {}
    bool isPolled() const override { return false; }
};

class ValueVar : public ForwardedInfoVar {
public:
    using ForwardedInfoVar::ForwardedInfoVar;
    std::string description() const override { return "Qcode value"; }
};

// A field of a compound PSX string, delivered under this number by the PSX decoders.
class LinkedForwardVar : public ForwardedInfoVar {
public:
    LinkedForwardVar(std::string name, std::uint32_t number, std::uint32_t psxCode)
        : ForwardedInfoVar(std::move(name), number), psxCode(psxCode) {}
    std::string description() const override { return "Qcode value"; }
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t psxCode;
};

// A Qh switch position reported back to SIOC.
class SwitchEchoVar : public ForwardedInfoVar {
public:
    SwitchEchoVar(std::string name, std::uint32_t number, std::uint32_t psxCode)
        : ForwardedInfoVar(std::move(name), number), psxCode(psxCode) {}
    std::string description() const override { return "Qh value (Virtual Switch position)"; }
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t psxCode;
};

// The standby compass: small swings are not worth a SIOC message.
class BandForwardVar : public ForwardedInfoVar {
public:
    static constexpr std::uint32_t kNumber = 2214;
    explicit BandForwardVar(std::string name) : ForwardedInfoVar(std::move(name), kNumber) {}
    void setValue(std::int32_t v) override;
    std::string description() const override { return "Qcode value"; }
};

// An info variable recomputed every 200 ms; it tells SIOC only what changed.
class PolledInfoVar : public InfoVar {
public:
    using InfoVar::InfoVar;

protected:
    void sendIfChanged(std::int32_t v)
    {
        if (v != value)
            InfoVar::setValue(v);
    }
};

// The mode control panel windows: blanked or lamp-tested as the panel's LCD state says, else the
// PSX value of their own number in packed decimal, converted only when it changes.
class McpDisplayVar : public PolledInfoVar {
public:
    McpDisplayVar(std::string name, std::uint32_t number, std::uint32_t blankPattern, std::uint32_t testPattern)
        : PolledInfoVar(std::move(name), number), m_blankPattern(blankPattern), m_testPattern(testPattern) {}
    void refresh() final;

protected:
    // Converts the PSX value after the gate let it through.
    virtual void update(std::uint32_t v) = 0;
    // True, and remembered, when v differs from the value last converted.
    bool sourceChanged(std::uint32_t v);
    void forgetSource() { m_lastSource = kNoSource; }

private:
    static constexpr std::uint32_t kNoSource = 12345;
    const std::uint32_t m_blankPattern;
    const std::uint32_t m_testPattern;
    std::uint32_t m_lastSource = kNoSource;
};

class Bcd3Var : public McpDisplayVar {
public:
    Bcd3Var(std::string name, std::uint32_t number);
    std::string description() const override { return "BCD3"; }

protected:
    void update(std::uint32_t v) override;
};

// The speed window: Mach numbers (401 to 950) get the decimal point, above that it is blank.
class Bcd3DpVar : public McpDisplayVar {
public:
    Bcd3DpVar(std::string name, std::uint32_t number);
    std::string description() const override { return "BCD3 + b 12 (DP)"; }

protected:
    void update(std::uint32_t v) override;
};

// The altitude window, in hundreds of feet.
class Bcd5Var : public McpDisplayVar {
public:
    Bcd5Var(std::string name, std::uint32_t number);
    std::string description() const override { return "BCD5"; }

protected:
    void update(std::uint32_t v) override;
};

// The vertical speed window: signed, blank while the V/S mode is off.
class Bcd4bnVar : public McpDisplayVar {
public:
    Bcd4bnVar(std::string name, std::uint32_t number);
    std::string description() const override { return "BCD4bn"; }

protected:
    void update(std::uint32_t v) override;
};

class SquawkVar : public PolledInfoVar {
public:
    using PolledInfoVar::PolledInfoVar;
    void refresh() override;
    std::string description() const override { return "BCD4 + b 16 (ident)"; }
};

// The transponder code as the panel shows it while being typed.
class SquawkDisplayVar : public PolledInfoVar {
public:
    static constexpr std::uint32_t kNumber = 3028;
    SquawkDisplayVar(std::string name, std::uint32_t psxCode)
        : PolledInfoVar(std::move(name), kNumber), psxCode(psxCode) {}
    void refresh() override;
    std::string description() const override
    {
        return "BCD4 (trailing A's possible, such as 1AAA; ---- means PASS)";
    }
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t psxCode;
};

class FlagVar : public PolledInfoVar {
public:
    static constexpr std::uint32_t kNumber = 3055;
    FlagVar(std::string name, std::uint32_t psxCode) : PolledInfoVar(std::move(name), kNumber), psxCode(psxCode) {}
    void refresh() override;
    std::string description() const override { return "integer: 0/1"; }
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t psxCode;
};

// Time, date or year of a captain's or first officer's clock; its number tells which.
class ClockVar : public PolledInfoVar {
public:
    ClockVar(std::string name, std::uint32_t number, std::uint32_t powerCode, std::uint32_t psxCode)
        : PolledInfoVar(std::move(name), number), powerCode(powerCode), psxCode(psxCode) {}
    void refresh() override;
    std::string description() const override;
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t powerCode;
    const std::uint32_t psxCode;

private:
    static constexpr std::uint32_t kNoSource = 123456;
    std::uint32_t m_lastSource = kNoSource;
};

// The clock's lower display: the chronograph while it runs, else the elapsed time.
class ChronoVar : public PolledInfoVar {
public:
    ChronoVar(std::string name, std::uint32_t number, std::uint32_t powerCode, std::uint32_t psxCode)
        : PolledInfoVar(std::move(name), number), powerCode(powerCode), psxCode(psxCode) {}
    void refresh() override;
    std::string description() const override { return "BCD4 (for ET & Chrono) + b 16 (DP)"; }
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t powerCode;
    const std::uint32_t psxCode;
};

// An active or standby frequency of a radio control panel.
class RadioFreqVar : public PolledInfoVar {
public:
    RadioFreqVar(std::string name, std::uint32_t number, std::uint32_t psxCode, std::uint32_t modeCode,
                 std::uint32_t powerCode)
        : PolledInfoVar(std::move(name), number), psxCode(psxCode), modeCode(modeCode), powerCode(powerCode) {}
    void refresh() override;
    std::string description() const override { return "VHF: BCD6 + b 24(DP), HF: BCD6b + b 25(DP)"; }
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t psxCode;
    const std::uint32_t modeCode;
    const std::uint32_t powerCode;
};

// An audio panel's call light or volume, live only while that panel has power.
class GatedValueVar : public PolledInfoVar {
public:
    GatedValueVar(std::string name, std::uint32_t number, std::uint32_t side, std::uint32_t psxCode)
        : PolledInfoVar(std::move(name), number), side(side), psxCode(psxCode) {}
    void refresh() override;
    std::string description() const override { return psxCode == 2102 ? "0..99" : "b 0"; }
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t side; // 0 left, 1 centre, 2 right
    const std::uint32_t psxCode;
};

class AudioBitsVar : public PolledInfoVar {
public:
    AudioBitsVar(std::string name, std::uint32_t number, std::uint32_t side)
        : PolledInfoVar(std::move(name), number), side(side) {}
    void refresh() override;
    std::string description() const override
    {
        return "b 0(VHFL) 1(VHFC) 2(VHFR) 3(FLT) 4(CAB) 5(PA) 6(HFL) 7(HFR) 8(SATL) 9(SATR) 10(SPKR) 11(VA) "
               "12(AM)";
    }

    const std::uint32_t side;
};

class AudioSelectVar : public PolledInfoVar {
public:
    AudioSelectVar(std::string name, std::uint32_t number, std::uint32_t side)
        : PolledInfoVar(std::move(name), number), side(side) {}
    void refresh() override;
    std::string description() const override
    {
        return "-1: ALL OFF, 0: VHF L, 1: VHF L, 2: VHF L, 3: FLT, 4: CAB, 5: PA, 6: HF L, 7: HF R, 8: SAT L, "
               "9: SAT R";
    }

    const std::uint32_t side;
};

} // namespace brg
