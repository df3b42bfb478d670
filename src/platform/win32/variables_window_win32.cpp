#include "platform/win32/variables_window_win32.h"

#include "config/config_file.h"
#include "config/config_items.h"
#include "display/utf16.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace brg {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr int kFilterId = 101;
constexpr int kListId = 102;
constexpr int kMargin = 6;
constexpr int kFilterHeight = 22;
constexpr int kLabelWidth = 40;
constexpr int kMinimumWidth = 320, kMinimumHeight = 200;
constexpr WORD kIconResource = 100;
// A pale yellow: the changed row stands out and its text stays readable.
constexpr COLORREF kChangedBackground = RGB(255, 236, 140);

struct ColumnLayout {
    MonitorColumn column;
    int width;
    int format;
};
constexpr std::array<ColumnLayout, kMonitorColumnCount> kColumns{{
    {MonitorColumn::Number, 60, LVCFMT_RIGHT},
    {MonitorColumn::Name, 170, LVCFMT_LEFT},
    {MonitorColumn::Psx, 70, LVCFMT_LEFT},
    {MonitorColumn::Type, 120, LVCFMT_LEFT},
    {MonitorColumn::SiocValue, 85, LVCFMT_RIGHT},
    {MonitorColumn::PsxValue, 140, LVCFMT_RIGHT},
    {MonitorColumn::Changed, 95, LVCFMT_LEFT},
    {MonitorColumn::Changes, 65, LVCFMT_RIGHT},
}};

std::wstring lf_wide(std::string_view text)
{
    try {
        const std::u16string wide = gf_utf8ToUtf16(text);
        return {wide.begin(), wide.end()};
    } catch (const std::invalid_argument&) {
        // A PSX text that is not UTF-8: its bytes as they are.
        return {text.begin(), text.end()};
    }
}

std::string lf_narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

} // namespace

VariablesWindow::VariablesWindow(HINSTANCE instance) : m_instance(instance)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(&VariablesWindow::windowProcedure);
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

VariablesWindow::~VariablesWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}

void VariablesWindow::open()
{
    if (!m_window)
        create();
    if (!m_window)
        return;
    if (IsIconic(m_window))
        ShowWindow(m_window, SW_RESTORE);
    SetForegroundWindow(m_window);
}

void VariablesWindow::create()
{
    using namespace cfg;
    m_window = CreateWindowExW(0, kClassName, L"Talvesync Variables", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               VARIABLES_WINDOW_X.value(), VARIABLES_WINDOW_Y.value(), VARIABLES_WINDOW_WIDTH.value(),
                               VARIABLES_WINDOW_HEIGHT.value(), nullptr, nullptr, m_instance, this);
    if (!m_window)
        return;
    const auto child = [this](DWORD exStyle, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id) {
        HWND control = CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return control;
    };
    m_label = child(0, L"STATIC", L"Filter:", SS_CENTERIMAGE, 0);
    m_filter = child(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kFilterId);
    m_list = child(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                   WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL, kListId);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_GRIDLINES);
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        std::wstring title = lf_wide(gf_monitorColumnTitle(kColumns[i].column));
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        column.cx = kColumns[i].width;
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(m_list, static_cast<int>(i), &column);
    }
    m_feed = std::make_unique<MonitorFeed>();
    layOut();
    ShowWindow(m_window, SW_SHOWNORMAL);
    SetTimer(m_window, kTimerId, static_cast<UINT>(MonitorFeed::kInterval.count()), nullptr);
    refresh(true);
}

void VariablesWindow::layOut()
{
    if (!m_list)
        return;
    RECT client{};
    GetClientRect(m_window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    MoveWindow(m_label, kMargin, kMargin, kLabelWidth, kFilterHeight, TRUE);
    MoveWindow(m_filter, kMargin + kLabelWidth, kMargin, std::max(width / 3, 120), kFilterHeight, TRUE);
    const int top = 2 * kMargin + kFilterHeight;
    MoveWindow(m_list, 0, top, width, std::max(height - top, 0), TRUE);
}

// New rows from the monitor, or a new filter: the list learns its new length and repaints what it
// shows; the cells themselves it asks for as it paints them.
void VariablesWindow::refresh(bool filterChanged)
{
    bool rowsChanged = false;
    if (auto rows = m_feed->poll(g_clock->now())) {
        m_rows = std::move(*rows);
        m_now = MonitorTime::now();
        rowsChanged = true;
    }
    if (!rowsChanged && !filterChanged)
        return;
    m_shown.clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (gf_monitorMatches(m_rows[i], m_filterText))
            m_shown.push_back(i);
    ListView_SetItemCountEx(m_list, static_cast<int>(m_shown.size()), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    InvalidateRect(m_list, nullptr, FALSE);
}

std::intptr_t VariablesWindow::onNotify(const void* header)
{
    const auto* notify = static_cast<const NMHDR*>(header);
    if (notify->hwndFrom != m_list)
        return 0;
    if (notify->code == LVN_GETDISPINFOW) {
        auto* info = const_cast<NMLVDISPINFOW*>(static_cast<const NMLVDISPINFOW*>(header));
        const auto item = static_cast<std::size_t>(info->item.iItem);
        if (!(info->item.mask & LVIF_TEXT) || item >= m_shown.size() || info->item.iSubItem < 0
            || info->item.iSubItem >= static_cast<int>(kColumns.size()))
            return 0;
        const MonitorColumn column = kColumns[static_cast<std::size_t>(info->item.iSubItem)].column;
        m_cell = lf_wide(gf_monitorCell(m_rows[m_shown[item]], column, m_now));
        if (info->item.pszText && info->item.cchTextMax > 0)
            lstrcpynW(info->item.pszText, m_cell.c_str(), info->item.cchTextMax);
        else
            info->item.pszText = m_cell.data();
        return 0;
    }
    if (notify->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        auto* draw = const_cast<NMLVCUSTOMDRAW*>(static_cast<const NMLVCUSTOMDRAW*>(header));
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            const auto item = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
            if (item < m_shown.size() && gf_monitorHighlighted(m_rows[m_shown[item]], m_now.steady)) {
                draw->clrTextBk = kChangedBackground;
                draw->clrText = RGB(0, 0, 0);
                return CDRF_NEWFONT;
            }
        }
        return CDRF_DODEFAULT;
    }
    return 0;
}

std::optional<VariablesWindow::Placement> VariablesWindow::placement() const
{
    // The restored place and size, also of a window minimised or maximised at the moment.
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    if (!m_window || !GetWindowPlacement(m_window, &place))
        return std::nullopt;
    const RECT& r = place.rcNormalPosition;
    return Placement{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void VariablesWindow::saveState()
{
    const bool open = isOpen();
    // A user who never opened it finds no new lines in the file.
    if (!open && !m_closedAt && !cfg::VARIABLES_WINDOW.value())
        return;
    const std::optional<Placement> at = open ? placement() : m_closedAt;
    try {
        cfg::setCfgParam(cfg::VARIABLES_WINDOW.key(), open ? "1" : "0");
        if (at) {
            cfg::VARIABLES_WINDOW_X.set(at->x);
            cfg::VARIABLES_WINDOW_Y.set(at->y);
            cfg::VARIABLES_WINDOW_WIDTH.set(at->width);
            cfg::VARIABLES_WINDOW_HEIGHT.set(at->height);
        }
    } catch (const std::exception&) {
        // The program is ending and its log closed: a file that cannot be written keeps what it had.
    }
}

std::intptr_t __stdcall VariablesWindow::windowProcedure(HWND__* window, unsigned message, std::uintptr_t wParam,
                                                         std::intptr_t lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<VariablesWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || (self->m_window && self->m_window != window))
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(window, message, wParam, lParam);
}

std::intptr_t VariablesWindow::handle(HWND__* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerId)
            refresh(false);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kFilterId && HIWORD(wParam) == EN_CHANGE) {
            std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_filter)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(GetWindowTextW(m_filter, text.data(), static_cast<int>(text.size()))));
            m_filterText = lf_narrow(text);
            refresh(true);
        }
        return 0;
    case WM_NOTIFY:
        return onNotify(reinterpret_cast<const void*>(lParam));
    case WM_SIZE:
        layOut();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {kMinimumWidth, kMinimumHeight};
        return 0;
    }
    case WM_SETFOCUS:
        if (m_filter)
            SetFocus(m_filter);
        return 0;
    case WM_CLOSE:
        // Only this window: the bridge runs on.
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        m_closedAt = placement();
        KillTimer(m_window, kTimerId);
        m_feed.reset();
        m_rows.clear();
        m_shown.clear();
        m_window = m_label = m_filter = m_list = nullptr;
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace brg
