#include "vars/collection_vars.h"

#include "net/hand_over_queues.h"
#include "vars/decoded_values.h"
#include "vars/var_state.h"

#include <algorithm>
#include <fmt/format.h>
#include <fmt/ranges.h>

namespace brg {
namespace {

// The weather radar mode selector as the four mode letters, the selected one in lower case.
std::string lf_wxModePrefix(std::int32_t mode)
{
    switch (mode) {
    case 0: return "fWTM";
    case 1: return "FwTM";
    case 2: return "FWtM";
    case 3: return "FWTm";
    default: return {};
    }
}

// The letter in lower case when the item is 1, else in upper case.
char lf_letter(std::int32_t item, char lower) { return item == 1 ? lower : static_cast<char>(lower - 'a' + 'A'); }

} // namespace

void GuardedCollectionVar::sendToPsx()
{
    std::lock_guard lock(m_mutex);
    compose();
}

void GuardedCollectionVar::setValue(std::int32_t v)
{
    std::lock_guard lock(m_mutex);
    value = v;
    compose();
}

void GuardedCollectionVar::setItem(std::uint32_t index, std::int32_t v)
{
    std::lock_guard lock(m_mutex);
    m_items.at(index) = v;
    compose();
}

std::string GuardedCollectionVar::joinedItems() const { return fmt::format("{}", fmt::join(m_items, ";")); }

void QsListVar::compose()
{
    g_qsStrings.set(number, joinedItems());
    sendQsString();
}

void QsQueuedListVar::compose()
{
    std::string text = joinedItems();
    std::fill(m_items.begin(), m_items.end(), 0); // the knob steps are sent once
    g_psxStringQueue.push({number, std::move(text)});
}

void QsTripletVar::compose()
{
    const bool largeStep = m_items[1] != 0;
    std::string text = largeStep ? fmt::format("0;{};0", m_items[0]) : fmt::format("0;0;{}", m_items[0]);
    m_items[0] = 0;
    g_psxStringQueue.push({number, std::move(text)});
}

void QsLetterVar::compose()
{
    std::string text = g_qsStrings.get(number);
    // Until PSX has sent the text, characters beyond it are left to PSX.
    const std::size_t count = std::min<std::size_t>(m_items.size(), text.size());
    for (std::size_t i = 0; i < count; ++i) {
        char& c = text[i];
        if (c == 'x' || c == 'R')
            continue;
        if (m_items[i] == 1) {
            if (c == 'n' || c == 'y' || c == 'b')
                c = static_cast<char>(c - 'a' + 'A');
        } else if (m_items[i] == 0) {
            if (c == 'N' || c == 'Y' || c == 'B')
                c = static_cast<char>(c - 'A' + 'a');
        }
    }
    g_qsStrings.set(number, std::move(text));
    sendQsString();
}

void FltControlsVar::compose()
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const std::int32_t field = g_decoded.qs120Fields[i];
        if (field != kNoFieldValue)
            m_items[i] = field;
    }
    QsListVar::compose();
}

void BrakesVar::compose()
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const std::int32_t field = g_decoded.qs357Fields[i];
        if (field != kNoFieldValue)
            m_items[i] = field;
    }
    QsListVar::compose();
}

void WxPushVar::compose()
{
    std::string text = lf_wxModePrefix(m_items[0]);
    text += lf_letter(m_items[1], 'g');
    text += lf_letter(m_items[2], 'a');
    text += lf_letter(m_items[3], 'r');
    text += lf_letter(m_items[4], 'e');
    text += lf_wxModePrefix(m_items[5]);
    text += lf_letter(m_items[6], 'g');
    g_qsStrings.set(number, std::move(text));
    sendQsString();
}

void WxTurnVar::compose()
{
    // The gain positions count from 0; PSX centres them on 0.
    g_qsStrings.set(number, fmt::format("{};{};{};{}", m_items[0], m_items[1] - 6, m_items[2], m_items[3] - 6));
    sendQsString();
}

void QhBitsVar::compose()
{
    std::int32_t bits = (m_items[0] == 1 ? 1 : 0) + (m_items[5] == 1 ? 32 : 0);
    if (m_items[7] == 1)
        bits += 128;
    else if (m_items[8] == 1)
        bits += 256;
    else if (m_items[9] == 1)
        bits += 512;
    else if (m_items[10] == 1)
        bits += 1024;
    value = bits;
    gf_queueForPsx(number, value);
}

void QhTwoPushVar::compose()
{
    if (m_items[0] == 1) {
        value = 1;
        m_items[0] = 0;
    }
    if (m_items[1] == 1) {
        value += 2;
        m_items[1] = 0;
    }
    gf_queueForPsx(number, value);
    value = 0;
}

void QhTwoStateVar::compose()
{
    std::int32_t state = 0;
    if (m_items[0] == 1) {
        state = 1;
        m_items[0] = 0; // the push button part is a single press
    }
    if (m_items[1] == 1)
        state += 2;
    value = state;
    gf_queueForPsx(number, value);
}

void QhPlus8Var::compose()
{
    value = m_items[0] + (m_items[1] == 1 ? 8 : 0);
    gf_queueForPsx(number, value);
}

void QhFirstItemVar::compose()
{
    value = m_items[0];
    gf_queueForPsx(number, value);
}

void QhThreeWayVar::compose()
{
    value = m_items[0] == 1 ? -1 : (m_items[1] == 1 ? 1 : 0);
    gf_queueForPsx(number, value);
}

void QhThreeWay25Var::compose()
{
    value = m_items[0] == 1 ? 2 : (m_items[1] == 1 ? 0 : 5);
    gf_queueForPsx(number, value);
}

} // namespace brg
