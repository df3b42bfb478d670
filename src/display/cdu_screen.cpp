#include "display/cdu_screen.h"

#include "base/log.h"

#include <stdexcept>

namespace brg {

const std::string kCduBlankPattern = std::string(kCduColumns, ' ') + std::string(kCduColumns, '+');

namespace {

// The CDU fonts keep some glyphs at other letters' positions.
char lf_glyph(char c)
{
    switch (c) {
    case '_': return ' ';
    case 'b': return 'c';
    case 't': return 'n';
    case 'u': return '^';
    case 'l': return '_';
    case 'r': return 'e';
    case 'o': return 'b';
    default: return c;
    }
}

} // namespace

std::string gf_cduLargeLine(std::uint32_t row, const std::string& text)
{
    const bool largeByDefault = row % 2 == 0 || row == 13;
    std::string line;
    const std::size_t n = text.size();
    if (n == 0)
        line = kCduBlankPattern;
    else if (n < kCduColumns)
        line = text + std::string(kCduColumns - n, '_') + std::string(kCduColumns, '+');
    else if (n == kCduColumns)
        line = text + std::string(kCduColumns, largeByDefault ? '+' : '-');
    else if (n < 2 * kCduColumns)
        line = text + std::string(2 * kCduColumns - n, text.back());
    else
        line = text;
    for (std::size_t c = 0; c < kCduColumns; ++c)
        line[c] = lf_glyph(line[c]);
    return line;
}

std::string gf_cduColourLine(const std::string& text)
{
    if (!text.empty() && text.size() < kCduColumns)
        return text + std::string(kCduColumns - text.size(), text.back());
    return text;
}

Rgb gf_cduCodeColour(char code)
{
    switch (code) {
    case 'a':
    case 'm': return {255, 0, 255};
    case 'b': return {0, 0, 255};
    case 'c': return {0, 255, 255};
    case 'g': return {0, 255, 0};
    case 'r': return {255, 0, 0};
    default: return {255, 255, 255};
    }
}

Rgb gf_cduCodeBackground(char code) { return code == 'y' ? Rgb{128, 128, 128} : kCduBlack; }

CduScreen::CduScreen() { m_large.fill(kCduBlankPattern); }

void CduScreen::append(CduRecord record)
{
    std::lock_guard lock(m_pendingMutex);
    m_pending.push_back(std::move(record));
}

void CduScreen::largeLine(std::uint32_t row, const std::string& text)
{
    append({row, gf_cduLargeLine(row, text), {}});
}

void CduScreen::colourLine(std::uint32_t row, const std::string& text)
{
    append({row + kCduRows, {}, gf_cduColourLine(text)});
}

void CduScreen::blankState(bool blank) { append({blank ? kCduBlankCode : kCduUnblankCode, {}, {}}); }

void CduScreen::reselect(const std::array<std::string, kCduRows>& large,
                         const std::array<std::string, kCduRows>& colour, bool withColour, bool blank)
{
    std::lock_guard lock(m_pendingMutex);
    m_pending.clear();
    m_pending.push_back({kCduBlankCode, {}, {}});
    for (std::uint32_t r = 0; r < kCduRows; ++r)
        m_pending.push_back({r, gf_cduLargeLine(r, large[r]), withColour ? gf_cduColourLine(colour[r]) : "",
                             withColour});
    m_pending.push_back({blank ? kCduBlankCode : kCduUnblankCode, {}, {}});
}

bool CduScreen::handOver()
{
    std::lock_guard pendingLock(m_pendingMutex);
    if (m_pending.empty())
        return false;
    std::lock_guard paintLock(m_paintMutex);
    // Records not yet painted (a window that did not paint) stay ahead of the new ones.
    m_paintList.insert(m_paintList.end(), std::make_move_iterator(m_pending.begin()),
                       std::make_move_iterator(m_pending.end()));
    m_pending.clear();
    // A minimised window gets no paint for as long as the flight goes on.
    if (m_paintList.size() > kCduScreenRecords)
        foldPaintList();
    return true;
}

void CduScreen::foldPaintList()
{
    for (const CduRecord& record : m_paintList) {
        try {
            if (record.code == kCduBlankCode || record.code == kCduUnblankCode)
                m_blank = record.code == kCduBlankCode;
            else
                apply(record);
        } catch (const std::exception& e) {
            logFault(e);
        }
    }
    m_paintList.clear();
}

void CduScreen::reset(bool withColour)
{
    std::lock_guard lock(m_paintMutex);
    m_withColour = withColour;
    m_large.fill(kCduBlankPattern);
    if (withColour)
        for (std::string& line : m_colour)
            line.clear();
}

std::uint32_t CduScreen::rowOf(std::uint32_t code) const
{
    const std::uint32_t row = m_withColour && code >= kCduRows && code < 2 * kCduRows ? code - kCduRows : code;
    if (row >= kCduRows)
        throw std::out_of_range("CDU row out of range");
    return row;
}

void CduScreen::apply(const CduRecord& record)
{
    const std::uint32_t row = rowOf(record.code);
    if (record.code < kCduRows) {
        m_large[row] = record.large;
        if (m_withColour) {
            m_lastLarge[row] = record.large;
            if (record.carriesColour)
                m_lastColour[row] = record.colour;
            m_colour[row] = m_lastColour[row];
        }
    } else {
        m_colour[row] = record.colour;
        m_lastColour[row] = record.colour;
        m_large[row] = m_lastLarge[row];
    }
}

void CduScreen::drawRow(CduRowPainter& painter, std::uint32_t row)
{
    const std::string& large = m_large[row];
    const std::string& colour = m_colour[row];
    if (large.size() < 2 * kCduColumns || (!colour.empty() && colour.size() < kCduColumns))
        throw std::out_of_range("invalid string position");
    painter.drawRow(row, large, colour);
}

void CduScreen::drawAll(CduRowPainter& painter)
{
    for (std::uint32_t r = 0; r < kCduRows; ++r) {
        try {
            drawRow(painter, r);
        } catch (const std::exception& e) {
            logFault(e);
        }
    }
}

// A broken row is drawn again at every paint: its text is worth one log line, not thousands.
void CduScreen::logFault(const std::exception& e)
{
    if (m_loggedFaults.insert(e.what()).second)
        g_log.write(std::string("? paintCdu: ") + e.what());
}

void CduScreen::paint(CduRowPainter& painter, bool wholeScreen)
{
    std::lock_guard lock(m_paintMutex);
    try {
        if (wholeScreen)
            foldPaintList();
        if (m_paintList.empty()) {
            if (m_blank)
                painter.clearScreen();
            else
                drawAll(painter);
            return;
        }
        for (const CduRecord& record : m_paintList) {
            try {
                if (record.code == kCduBlankCode) {
                    g_log.write("BLANK screen");
                    m_blank = true;
                    painter.clearScreen();
                } else if (record.code == kCduUnblankCode) {
                    m_blank = false;
                    drawAll(painter);
                } else if (!m_blank) {
                    const std::uint32_t row = rowOf(record.code);
                    m_large[row] = kCduBlankPattern;
                    if (m_withColour)
                        m_colour[row].clear();
                    drawRow(painter, row); // erases the row
                    apply(record);
                    drawRow(painter, row);
                } else {
                    apply(record);
                }
            } catch (const std::exception& e) {
                logFault(e);
            }
        }
    } catch (const std::exception& e) {
        logFault(e);
    }
    m_paintList.clear();
}

std::vector<CduRecord> CduScreen::pending() const
{
    std::lock_guard lock(m_pendingMutex);
    return m_pending;
}

std::vector<CduRecord> CduScreen::paintList() const
{
    std::lock_guard lock(m_paintMutex);
    return m_paintList;
}

bool CduScreen::blanked() const
{
    std::lock_guard lock(m_paintMutex);
    return m_blank;
}

std::string CduScreen::row(std::uint32_t row) const
{
    std::lock_guard lock(m_paintMutex);
    return m_large.at(row);
}

} // namespace brg
