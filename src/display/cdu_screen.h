#pragma once
// The CDU screen without a device: the text records that PSX's lines turn into, the hand-over from
// the receiving side to the painter, the row buffers, and which rows a paint has to draw. The
// window draws rows on its canvas; a terminal can draw the same rows.
#include "display/rgb.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace brg {

inline constexpr std::uint32_t kCduRows = 14;
inline constexpr std::uint32_t kCduColumns = 24;
inline constexpr std::uint32_t kCduBlankCode = 98;
inline constexpr std::uint32_t kCduUnblankCode = 99;
// A whole screen's worth of records: the blank state, every row's text and colours, the blank
// state again. The paint list never holds more.
inline constexpr std::size_t kCduScreenRecords = 2 * kCduRows + 2;

// Code 0 to 13: a large-text line for that row; 14 to 27: a colour line for row code − 14;
// 98: blank the screen; 99: unblank it.
struct CduRecord {
    std::uint32_t code = 0;
    std::string large;
    std::string colour;
    // Set on the rows of a reselection: the colour line belongs to the newly selected CDU.
    bool carriesColour = false;
    friend bool operator==(const CduRecord&, const CduRecord&) = default;
};

// 24 blanks and 24 "+": an empty row.
extern const std::string kCduBlankPattern;

// PSX's text of one row as 24 glyphs (in the CDU fonts' positions) and 24 size markers
// ("+" large, anything else small).
std::string gf_cduLargeLine(std::uint32_t row, const std::string& text);
// PSX's colour codes of one row; a short line repeats its last code.
std::string gf_cduColourLine(const std::string& text);

// The screen's own black, and the colours of PSX's colour codes ("y" is white text on grey).
inline constexpr Rgb kCduBlack{0, 0, 0};
Rgb gf_cduCodeColour(char code);
Rgb gf_cduCodeBackground(char code);

// Draws what the screen decides to draw.
class CduRowPainter {
public:
    virtual ~CduRowPainter() = default;
    virtual void clearScreen() = 0;
    // large has at least 48 characters; colour is empty (no colours) or has at least 24.
    virtual void drawRow(std::uint32_t row, const std::string& large, const std::string& colour) = 0;
};

class CduScreen {
public:
    CduScreen();

    // The receiving side, any thread: one record each, waiting for the next hand-over.
    void largeLine(std::uint32_t row, const std::string& text);
    void colourLine(std::uint32_t row, const std::string& text);
    void blankState(bool blank);
    // Replaces what waits by a whole screen of another CDU: blank, its 14 rows, then its blank state.
    void reselect(const std::array<std::string, kCduRows>& large, const std::array<std::string, kCduRows>& colour,
                  bool withColour, bool blank);
    // Moves the waiting records to the painter; false when nothing was waiting. A window that
    // does not paint (minimised) leaves them there: beyond one screen's worth they are applied
    // to the rows at once, and the next paint draws the whole screen instead.
    bool handOver();

    // Entering CDU mode: every row empty; withColour shows PSX's colour codes.
    void reset(bool withColour);
    // Draws the rows the handed-over records name, or the whole screen when there are none or
    // when wholeScreen is set (the window lost what it showed). Never throws: a record or row that
    // cannot be drawn is logged once per kind of fault and the others are drawn.
    void paint(CduRowPainter& painter, bool wholeScreen = false);

    std::vector<CduRecord> pending() const;
    std::vector<CduRecord> paintList() const;
    bool blanked() const;
    std::string row(std::uint32_t row) const;

private:
    void append(CduRecord record);
    std::uint32_t rowOf(std::uint32_t code) const;
    void apply(const CduRecord& record);
    // Applies every record of the paint list to the rows and the blank state without drawing.
    void foldPaintList();
    void drawRow(CduRowPainter& painter, std::uint32_t row);
    void drawAll(CduRowPainter& painter);
    void logFault(const std::exception& e);

    mutable std::mutex m_pendingMutex;
    std::vector<CduRecord> m_pending;

    // Everything below belongs to the painter.
    mutable std::mutex m_paintMutex;
    std::vector<CduRecord> m_paintList;
    std::array<std::string, kCduRows> m_large;
    std::array<std::string, kCduRows> m_colour;
    std::array<std::string, kCduRows> m_lastLarge;
    std::array<std::string, kCduRows> m_lastColour;
    bool m_blank = true;
    bool m_withColour = false;
    std::set<std::string> m_loggedFaults;
};

} // namespace brg
