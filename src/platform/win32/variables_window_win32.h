#pragma once
// The Variables window: every bound variable with its last SIOC and PSX values, live. A list view
// in owner-data mode asks for the cells it shows, so the rows are never copied into it; a filter
// box narrows them; rows changed in the last two seconds stand out. It runs on the main window's
// thread, beside the bridge, and closing it leaves the bridge running.
#include "monitor/monitor_view.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct HWND__;
struct HINSTANCE__;

namespace brg {

class VariablesWindow {
public:
    // The system menu command of the main window that opens it (below the system's own 0xF000).
    static constexpr unsigned kOpenCommand = 0x0110;
    static constexpr const wchar_t* kClassName = L"TalvesyncVariables";

    explicit VariablesWindow(HINSTANCE__* instance);
    ~VariablesWindow();
    VariablesWindow(const VariablesWindow&) = delete;
    VariablesWindow& operator=(const VariablesWindow&) = delete;

    // Opens it at the place and size of the VARIABLES_WINDOW_* keys, or brings it to the front.
    void open();
    bool isOpen() const { return m_window != nullptr; }
    // Whether it is open and where it stands, into the VARIABLES_WINDOW_* keys of Talvesync.cfg.
    void saveState();

private:
    struct Placement {
        int x, y, width, height;
    };

    static std::intptr_t __stdcall windowProcedure(HWND__* window, unsigned message, std::uintptr_t wParam,
                                                   std::intptr_t lParam);
    std::intptr_t handle(HWND__* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void create();
    void layOut();
    void refresh(bool filterChanged);
    std::intptr_t onNotify(const void* header);
    std::optional<Placement> placement() const;

    HINSTANCE__* m_instance;
    HWND__* m_window = nullptr;
    HWND__* m_label = nullptr;
    HWND__* m_filter = nullptr;
    HWND__* m_list = nullptr;
    std::unique_ptr<MonitorFeed> m_feed; // while open: the monitor records
    std::vector<MonitorRow> m_rows;      // by number, as last handed over
    std::vector<std::size_t> m_shown;    // the rows the filter lets through, in list order
    std::string m_filterText;
    MonitorTime m_now{};
    std::optional<Placement> m_closedAt; // where the user closed it
    std::wstring m_cell;                 // the text of the cell last asked for
};

} // namespace brg
