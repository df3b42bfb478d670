#pragma once
// Control types: a cockpit switch, knob or key reported by SIOC, checked and written to PSX.
#include "vars/control_rules.h"
#include "vars/var.h"

#include <string>

namespace brg {

class SwitchVar : public ControlVar {
public:
    using ControlVar::ControlVar;
    void setValue(std::int32_t v) override;
    std::string description() const override { return "A"; }
};

// A two-way switch that PSX knows as 1 (off) and 2 (on).
class Switch12Var : public ControlVar {
public:
    using ControlVar::ControlVar;
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override { return "A"; }
};

class PushVar : public ControlVar {
public:
    using ControlVar::ControlVar;
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override { return "M"; }
};

class ClampVar : public ControlVar {
public:
    ClampVar(std::string name, std::uint32_t number, Range range);
    void setValue(std::int32_t v) override;
    std::string description() const override;

    const Range range;
};

class BandVar : public ControlVar {
public:
    BandVar(std::string name, std::uint32_t number, Range range);
    void setValue(std::int32_t v) override;
    std::string description() const override;

    const Range range;
    const std::int32_t band;
};

class PotVar : public ControlVar {
public:
    PotVar(std::string name, std::uint32_t number);
    void setValue(std::int32_t v) override;
    std::string description() const override { return "P270"; }
};

// A relative knob: each report is a step that goes to PSX through the value hand-over queue.
class EncoderVar : public ControlVar {
public:
    // invertKey is the configuration's Invert* key: 0 negates the steps.
    EncoderVar(std::string name, std::uint32_t number, std::int32_t stepLimit, bool invertKey);
    void sendToPsx() override;
    std::string description() const override { return "e"; }

    const Range range;
    const bool invert;
};

// A CDU keyboard reporting key codes; the CDU key map turns them into CDU keys.
class KeyCodeVar : public ControlVar {
public:
    using ControlVar::ControlVar;
    void sendToPsx() override;
    std::string description() const override { return "K"; }

private:
    bool m_toggle = false;
};

// A control that writes a PSX variable other than its own number.
class LinkedControlVar : public ControlVar {
public:
    LinkedControlVar(std::string name, std::uint32_t number, std::uint32_t psxCode)
        : ControlVar(std::move(name), number), psxCode(psxCode) {}
    void sendToPsx() override;
    void sendValueToPsx(std::int32_t v) override;
    std::string psxCodeText() const override { return gf_psxName(psxCode); }

    const std::uint32_t psxCode;
};

// A transponder key: digits go out on press and release, the others send -1 on release.
class CduKeyVar : public LinkedControlVar {
public:
    CduKeyVar(std::string name, std::uint32_t number, std::int32_t key);
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override;

    const std::int32_t key;
};

class KeyPushVar : public LinkedControlVar {
public:
    KeyPushVar(std::string name, std::uint32_t number, std::int32_t key, std::uint32_t psxCode);
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override;

    const std::int32_t key;
};

class KeyPush23Var : public LinkedControlVar {
public:
    KeyPush23Var(std::string name, std::uint32_t number, std::int32_t key, std::uint32_t psxCode);
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override;

    const std::int32_t key;
};

class SelectorVar : public LinkedControlVar {
public:
    using LinkedControlVar::LinkedControlVar;
    void setValue(std::int32_t v) override;
    std::string description() const override { return "-1..68"; }
};

class LinkedValueVar : public LinkedControlVar {
public:
    using LinkedControlVar::LinkedControlVar;
    std::string description() const override { return "Qcode value"; }
};

class LinkedClampVar : public LinkedControlVar {
public:
    LinkedClampVar(std::string name, std::uint32_t number, std::uint32_t psxCode, Range range);
    void setValue(std::int32_t v) override;
    std::string description() const override;

    const Range range;
};

class LinkedSwitchVar : public LinkedControlVar {
public:
    using LinkedControlVar::LinkedControlVar;
    void setValue(std::int32_t v) override;
    std::string description() const override { return "A"; }
};

class LinkedPushVar : public LinkedControlVar {
public:
    using LinkedControlVar::LinkedControlVar;
    void setValue(std::int32_t v) override;
    void sendToPsx() override;
    std::string description() const override { return "M"; }
};

// A master-caution message: the value's bits 0 and 1 are the severity, bit 2 sets or clears it;
// psxCode is the Qs number of the message text.
class MessageVar : public LinkedControlVar {
public:
    using LinkedControlVar::LinkedControlVar;
    void sendToPsx() override;
    std::string description() const override { return "bits 0 & 1: Severity, b 2: Set/Clear MF"; }
};

} // namespace brg
