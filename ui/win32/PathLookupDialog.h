#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/FrontEnd.h"
#include "ui/win32/UniqueWindowObjects.h"

namespace brelmont::win32 {

// The dialog frmPathLookup in which the user picks one of several Kelvane program directories.
// Its own modal loop keeps Enter from the dialog manager, so that Enter neither chooses nor
// closes; Esc and the close box end it as Closed, the Cancel button as Cancelled.
class PathLookupDialog {
  public:
    // Control identifiers. The buttons stay clear of IDOK and IDCANCEL, which the dialog manager
    // sends for Enter and Esc.
    static constexpr int kListId = 101;
    static constexpr int kCancelId = 102;
    static constexpr int kLabelId = 103;
    static constexpr int kOkId = 104;

    PathLookupDialog(HINSTANCE instance, const platform::PathChoiceRequest& request);
    PathLookupDialog(const PathLookupDialog&) = delete;
    PathLookupDialog& operator=(const PathLookupDialog&) = delete;

    // Shows the dialog modally to `owner` (may be null) and returns how it ended.
    platform::PathChoice Run(HWND owner);

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Form_Load(HWND dialog, HWND owner);
    void LayOut(UINT dpi);
    int ColumnWidth() const;
    void FillPathList();
    void cmdOK_Click();
    void cmdCancel_Click();
    void LV_DblClick();
    void Finish(platform::PathChoice choice);

    HINSTANCE instance_;
    const platform::PathChoiceRequest& request_;
    UniqueFont dialogFont_;
    UniqueFont labelFont_;
    UniqueFont listFont_;
    HWND dialog_ = nullptr;
    UINT dpi_ = 96;
    HWND LV_ = nullptr;
    platform::PathChoice choice_;
    bool done_ = false;
};

}  // namespace brelmont::win32
