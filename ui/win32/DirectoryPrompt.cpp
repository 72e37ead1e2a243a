#include "ui/win32/DirectoryPrompt.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "support/RuntimeError.h"
#include "ui/win32/Placement.h"
#include "ui/win32/SystemDlls.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// A file name may run to the longest path Windows allows.
constexpr std::size_t kFileBuffer = 32768;

// "Directories|*.~#~" as the dialog wants it: each "|" a NUL, and a NUL more at the end.
std::wstring DialogFilter(const std::string& filter) {
    std::wstring pairs = Wide(filter);
    for (wchar_t& c : pairs) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    pairs.append(2, L'\0');
    return pairs;
}

}  // namespace

std::string DirectoryOfChosenFile(const std::string& path, std::size_t nameOffset) {
    std::string directory = path.substr(0, std::min(nameOffset, path.size()));
    // A drive's root keeps its separator, as a working directory there does.
    while (directory.size() > 1 && (directory.back() == '\\' || directory.back() == '/') &&
           !(directory.size() == 3 && directory[1] == ':')) {
        directory.pop_back();
    }
    return directory;
}

namespace {

// Centres the dialog over its owner once it is laid out.
UINT_PTR CALLBACK PlaceBrowseDialog(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
        const HWND dialog = ::GetParent(child);
        CentreOver(dialog, ::GetWindow(dialog, GW_OWNER));
    }
    return 0;
}

}  // namespace

std::string BrowseForDirectory(HWND owner, const platform::BrowseRequest& request,
                               const std::string& initialDirectory) {
    const std::wstring filter = DialogFilter(request.filter);
    const std::wstring proposed = Wide(request.proposedFileName);
    const std::wstring folder = Wide(initialDirectory);
    const std::wstring title = Wide(request.title);
    std::vector<wchar_t> file(kFileBuffer, L'\0');
    proposed.copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    // No read-only box, and whatever stands in the name box is taken unchecked: only the folder
    // counts.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_ENABLEHOOK;
    dialog.lpfnHook = &PlaceBrowseDialog;
    DWORD extendedError = 0;
    if (!GetSaveFileNameLate(dialog, extendedError)) {
        if (extendedError == 0) {
            return {};
        }
        throw RuntimeError(ErrorNumber::InvalidProcedureCall, "CommonDialog");
    }
    // A folder typed into the name box is where the user pointed, even where the dialog hands it
    // back as a file name instead of opening it.
    const std::wstring chosen = file.data();
    const DWORD attributes = ::GetFileAttributesW(chosen.c_str());
    const bool isFolder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // The name's offset counts UTF-16 units: cut there before the text turns into UTF-8.
    return DirectoryOfChosenFile(
        Narrow(chosen.substr(0, isFolder ? chosen.size() : dialog.nFileOffset)), std::string::npos);
}

}  // namespace brelmont::win32
