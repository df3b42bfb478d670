#include "vars/var_state.h"

namespace brg {

std::string QsStringTable::get(std::uint32_t index) const
{
    std::lock_guard lock(m_mutex);
    return m_texts.at(index);
}

void QsStringTable::set(std::uint32_t index, std::string text)
{
    std::lock_guard lock(m_mutex);
    m_texts.at(index) = std::move(text);
}

void QsStringTable::clear()
{
    std::lock_guard lock(m_mutex);
    for (auto& text : m_texts)
        text.clear();
}

} // namespace brg
