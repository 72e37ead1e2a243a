#include "ui/win32/PathLookupDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/Dpi.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/Placement.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

constexpr int kClientWidth = 373;
constexpr int kClientHeight = 221;
// The column is 100 twips narrower than the list, as the list was designed.
constexpr int kColumnMargin = 7;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// The in-memory template of an empty dialog: no menu, the dialog class, no title. The controls
// come in Form_Load, placed in pixels.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE dialog;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

// A control's place in the dialog's client area, in pixels.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

// A control of the dialog; LayOut gives it its place and font.
HWND MakeControl(HINSTANCE instance, HWND parent, const wchar_t* windowClass,
                 const std::string& text, DWORD style, DWORD extendedStyle, int id) {
    return ::CreateWindowExW(extendedStyle, windowClass, Wide(text).c_str(),
                             WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

// Where each control stands in the 96-DPI design.
struct ControlPlace {
    int id;
    Place place;
};
constexpr ControlPlace kControlPlaces[] = {
    {PathLookupDialog::kListId, {8, 48, 353, 137}},
    {PathLookupDialog::kCancelId, {296, 192, 65, 25}},
    {PathLookupDialog::kLabelId, {16, 8, 345, 33}},
    {PathLookupDialog::kOkId, {224, 192, 65, 25}},
};

// Over the middle of the owner, or of the work area when there is no owner; never off the top
// or left edge of the screen.
void PlaceDialog(HWND dialog, HWND owner, UINT dpi) {
    const SIZE frame = FrameSize(Scaled(kClientWidth, dpi), Scaled(kClientHeight, dpi),
                                 static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)),
                                 static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)), dpi);
    ::SetWindowPos(dialog, nullptr, 0, 0, frame.cx, frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOver(dialog, owner);
}

bool BelongsTo(HWND dialog, HWND window) {
    return window == dialog || ::IsChild(dialog, window);
}

}  // namespace

PathLookupDialog::PathLookupDialog(HINSTANCE instance, const platform::PathChoiceRequest& request)
    : instance_(instance), request_(request) {}

platform::PathChoice PathLookupDialog::Run(HWND owner) {
    EmptyDialogTemplate layout{};
    layout.dialog.style = kDialogStyle;
    const UniqueWindow dialog(::CreateDialogIndirectParamW(instance_, &layout.dialog, owner,
                                                           &PathLookupDialog::DialogProc,
                                                           reinterpret_cast<LPARAM>(this)));
    if (!dialog.Valid()) {
        return choice_;
    }
    Form_Load(dialog.Get(), owner);
    const bool ownerWasEnabled = owner != nullptr && !::EnableWindow(owner, FALSE);
    ::ShowWindow(dialog.Get(), SW_SHOWNORMAL);
    while (!done_) {
        MSG message{};
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The session is ending: leave WM_QUIT for the main loop and close as the close box
            // would.
            if (got == 0) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
            }
            break;
        }
        // Key preview: Enter is taken away from the dialog manager, which would press a default
        // button; no button is the default. Enter on a focused button presses that button, as
        // Windows users expect; in the list it does nothing.
        const bool enterKey = (message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
                               message.message == WM_CHAR) &&
                              (message.wParam == VK_RETURN || message.wParam == '\r') &&
                              BelongsTo(dialog.Get(), message.hwnd);
        if (enterKey) {
            const int id = ::GetDlgCtrlID(message.hwnd);
            if (message.message == WM_KEYDOWN && (id == kOkId || id == kCancelId)) {
                ::SendMessageW(dialog.Get(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(message.hwnd));
            }
            continue;
        }
        if (!::IsDialogMessageW(dialog.Get(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    // The owner comes back before the dialog goes, so that it takes the activation.
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
    }
    return choice_;
}

INT_PTR CALLBACK PathLookupDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<PathLookupDialog*>(lParam)->dialog_ = dialog;
        return TRUE;
    }
    auto* self = reinterpret_cast<PathLookupDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    return self != nullptr ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR PathLookupDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kOkId:
                    cmdOK_Click();
                    return TRUE;
                case kCancelId:
                    cmdCancel_Click();
                    return TRUE;
                case IDCANCEL:  // Esc
                    Finish({platform::PathChoiceEnd::Closed, {}});
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == kListId && header->code == NM_DBLCLK) {
                LV_DblClick();
                return TRUE;
            }
            return FALSE;
        }
        case WM_CLOSE:
            Finish({platform::PathChoiceEnd::Closed, {}});
            return TRUE;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the size Windows suggests, the layout anew.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(dialog_, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            LayOut(HIWORD(wParam));
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void PathLookupDialog::Form_Load(HWND dialog, HWND owner) {
    ::SetWindowTextW(dialog, Wide(request_.caption).c_str());
    // Made in tab order: the list, Cancel, the label (which takes no focus), OK.
    LV_ = MakeControl(
        instance_, dialog, WC_LISTVIEWW, "",
        WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
        WS_EX_CLIENTEDGE, kListId);
    MakeControl(instance_, dialog, L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, kCancelId);
    MakeControl(instance_, dialog, L"STATIC", request_.label, SS_LEFT | SS_NOPREFIX, 0, kLabelId);
    MakeControl(instance_, dialog, L"BUTTON", "OK", WS_TABSTOP | BS_PUSHBUTTON, 0, kOkId);
    const UINT dpi = DpiOf(dialog);
    PlaceDialog(dialog, owner, dpi);
    LayOut(dpi);
    FillPathList();
    ::SetFocus(LV_);
    // The first row current but not selected, and the focus shown: a keyboard user sees where
    // the focus is, and Space or Down selects it.
    if (!request_.entries.empty()) {
        LVITEMW focused{};
        focused.stateMask = LVIS_FOCUSED;
        focused.state = LVIS_FOCUSED;
        ::SendMessageW(LV_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focused));
    }
    ::SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// The design's 96-DPI places and fonts at `dpi`.
void PathLookupDialog::LayOut(UINT dpi) {
    dpi_ = dpi;
    // The new fonts are in use before the old ones go.
    UniqueFont dialogFont = MakeFont(L"Arial", 9.0, dpi);
    UniqueFont labelFont = MakeFont(L"MS Sans Serif", 9.75, dpi);
    UniqueFont listFont = MakeFont(L"Arial", 9.75, dpi);
    ::SendMessageW(dialog_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont.Get()), FALSE);
    for (const ControlPlace& control : kControlPlaces) {
        const HWND window = ::GetDlgItem(dialog_, control.id);
        ::SetWindowPos(window, nullptr, Scaled(control.place.left, dpi),
                       Scaled(control.place.top, dpi), Scaled(control.place.width, dpi),
                       Scaled(control.place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        const HFONT font = control.id == kListId    ? listFont.Get()
                           : control.id == kLabelId ? labelFont.Get()
                                                    : dialogFont.Get();
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    ::SendMessageW(LV_, LVM_SETCOLUMNWIDTH, 0, ColumnWidth());
    dialogFont_ = std::move(dialogFont);
    labelFont_ = std::move(labelFont);
    listFont_ = std::move(listFont);
}

int PathLookupDialog::ColumnWidth() const {
    RECT list{};
    ::GetWindowRect(LV_, &list);
    return list.right - list.left - Scaled(kColumnMargin, dpi_);
}

void PathLookupDialog::FillPathList() {
    ::SendMessageW(LV_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = ColumnWidth();
    std::wstring header = Wide(request_.columnHeader);
    column.pszText = header.data();
    ::SendMessageW(LV_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (std::size_t i = 0; i < request_.entries.size(); ++i) {
        std::wstring text = Wide(request_.entries[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        ::SendMessageW(LV_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ::EnableWindow(LV_, request_.entries.empty() ? FALSE : TRUE);
}

void PathLookupDialog::cmdOK_Click() {
    const LRESULT selected =
        ::SendMessageW(LV_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0));
    if (selected < 0 || static_cast<std::size_t>(selected) >= request_.entries.size()) {
        return;
    }
    // The entry as the program gave it, byte for byte.
    Finish({platform::PathChoiceEnd::Chosen, request_.entries[static_cast<std::size_t>(selected)]});
}

void PathLookupDialog::cmdCancel_Click() {
    Finish({platform::PathChoiceEnd::Cancelled, {}});
}

void PathLookupDialog::LV_DblClick() {
    // The double-click has already made the entry under it the selected one.
    cmdOK_Click();
}

void PathLookupDialog::Finish(platform::PathChoice choice) {
    choice_ = std::move(choice);
    done_ = true;
}

}  // namespace brelmont::win32
