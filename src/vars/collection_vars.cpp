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
    items.at(index) = v;
    compose();
}

std::string GuardedCollectionVar::joinedItems() const { return fmt::format("{}", fmt::join(items, ";")); }

void QsListVar::compose()
{
    g_qsStrings.set(number, joinedItems());
    sendQsString();
}

void QsQueuedListVar::compose()
{
    std::string text = joinedItems();
    std::fill(items.begin(), items.end(), 0); // the knob steps are sent once
    g_psxStringQueue.push({number, std::move(text)});
}

void QsTripletVar::compose()
{
    const bool largeStep = items[1] != 0;
    std::string text = largeStep ? fmt::format("0;{};0", items[0]) : fmt::format("0;0;{}", items[0]);
    items[0] = 0;
    g_psxStringQueue.push({number, std::move(text)});
}

void QsLetterVar::compose()
{
    std::string text = g_qsStrings.get(number);
    // Until PSX has sent the text, characters beyond it are left to PSX.
    const std::size_t count = std::min<std::size_t>(items.size(), text.size());
    for (std::size_t i = 0; i < count; ++i) {
        char& c = text[i];
        if (c == 'x' || c == 'R')
            continue;
        if (items[i] == 1) {
            if (c == 'n' || c == 'y' || c == 'b')
                c = static_cast<char>(c - 'a' + 'A');
        } else if (items[i] == 0) {
            if (c == 'N' || c == 'Y' || c == 'B')
                c = static_cast<char>(c - 'A' + 'a');
        }
    }
    g_qsStrings.set(number, std::move(text));
    sendQsString();
}

void FltControlsVar::compose()
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::int32_t field = g_decoded.qs120Fields[i];
        if (field != kNoFieldValue)
            items[i] = field;
    }
    QsListVar::compose();
}

void BrakesVar::compose()
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::int32_t field = g_decoded.qs357Fields[i];
        if (field != kNoFieldValue)
            items[i] = field;
    }
    QsListVar::compose();
}

void WxPushVar::compose()
{
    std::string text = lf_wxModePrefix(items[0]);
    text += lf_letter(items[1], 'g');
    text += lf_letter(items[2], 'a');
    text += lf_letter(items[3], 'r');
    text += lf_letter(items[4], 'e');
    text += lf_wxModePrefix(items[5]);
    text += lf_letter(items[6], 'g');
    g_qsStrings.set(number, std::move(text));
    sendQsString();
}

void WxTurnVar::compose()
{
    // The gain positions count from 0; PSX centres them on 0.
    g_qsStrings.set(number, fmt::format("{};{};{};{}", items[0], items[1] - 6, items[2], items[3] - 6));
    sendQsString();
}

void QhBitsVar::compose()
{
    std::int32_t bits = (items[0] == 1 ? 1 : 0) + (items[5] == 1 ? 32 : 0);
    if (items[7] == 1)
        bits += 128;
    else if (items[8] == 1)
        bits += 256;
    else if (items[9] == 1)
        bits += 512;
    else if (items[10] == 1)
        bits += 1024;
    value = bits;
    gf_queueForPsx(number, value);
}

void QhTwoPushVar::compose()
{
    if (items[0] == 1) {
        value = 1;
        items[0] = 0;
    }
    if (items[1] == 1) {
        value += 2;
        items[1] = 0;
    }
    gf_queueForPsx(number, value);
    value = 0;
}

void QhTwoStateVar::compose()
{
    std::int32_t state = 0;
    if (items[0] == 1) {
        state = 1;
        items[0] = 0; // the push button part is a single press
    }
    if (items[1] == 1)
        state += 2;
    value = state;
    gf_queueForPsx(number, value);
}

void QhPlus8Var::compose()
{
    value = items[0] + (items[1] == 1 ? 8 : 0);
    gf_queueForPsx(number, value);
}

void QhFirstItemVar::compose()
{
    value = items[0];
    gf_queueForPsx(number, value);
}

void QhThreeWayVar::compose()
{
    value = items[0] == 1 ? -1 : (items[1] == 1 ? 1 : 0);
    gf_queueForPsx(number, value);
}

void QhThreeWay25Var::compose()
{
    value = items[0] == 1 ? 2 : (items[1] == 1 ? 0 : 5);
    gf_queueForPsx(number, value);
}

} // namespace brg
