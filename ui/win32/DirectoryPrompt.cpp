#include "ui/win32/DirectoryPrompt.h"

#include <commdlg.h>

#include <algorithm>
#include <optional>
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

// What the hook needs to judge an answer while the dialog is still up.
struct BrowseContext {
    std::wstring proposed;  // the name box's placeholder
    std::wstring title;
};

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder an answer of the dialog points at: a folder typed into the name box or chosen, or
// the folder shown when the name box still holds the placeholder. None for a name that leads
// nowhere (a folder that does not exist, a drive that does not exist): its parent is no folder the
// user chose.
std::optional<std::string> ChosenFolder(const OPENFILENAMEW& dialog, const std::wstring& proposed) {
    const std::wstring chosen = dialog.lpstrFile;
    if (IsFolder(chosen)) {
        return DirectoryOfChosenFile(Narrow(chosen), std::string::npos);
    }
    const std::size_t offset = std::min<std::size_t>(dialog.nFileOffset, chosen.size());
    const std::wstring name = chosen.substr(offset);
    // The name's offset counts UTF-16 units: cut there before the text turns into UTF-8.
    const std::wstring folder = chosen.substr(0, offset);
    const bool placeholder =
        ::CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), proposed.c_str(),
                               static_cast<int>(proposed.size()), TRUE) == CSTR_EQUAL;
    if (placeholder && IsFolder(folder)) {
        return DirectoryOfChosenFile(Narrow(folder), std::string::npos);
    }
    return std::nullopt;
}

// Centres the dialog over its owner once it is laid out, and keeps it up while its answer leads
// to no folder.
UINT_PTR CALLBACK BrowseHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) {
        return 0;
    }
    const HWND dialog = ::GetParent(child);
    const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notice->hdr.code == CDN_INITDONE) {
        CentreOver(dialog, ::GetWindow(dialog, GW_OWNER));
    } else if (notice->hdr.code == CDN_FILEOK) {
        const auto* context = reinterpret_cast<const BrowseContext*>(notice->lpOFN->lCustData);
        if (!ChosenFolder(*notice->lpOFN, context->proposed)) {
            const std::wstring text =
                std::wstring(notice->lpOFN->lpstrFile) + L"\r\nThis folder does not exist.";
            ::MessageBoxW(dialog, text.c_str(), L"Brelmont", MB_OK | MB_ICONWARNING);
            ::SetWindowLongPtrW(child, DWLP_MSGRESULT, 1);
            return 1;
        }
    }
    return 0;
}

}  // namespace

std::string BrowseForDirectory(HWND owner, const platform::BrowseRequest& request,
                               const std::string& initialDirectory) {
    const std::wstring filter = DialogFilter(request.filter);
    const BrowseContext context{Wide(request.proposedFileName), Wide(request.title)};
    const std::wstring folder = Wide(initialDirectory);
    std::vector<wchar_t> file(kFileBuffer, L'\0');
    context.proposed.copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = context.title.c_str();
    // No read-only box, and no check of the name as a file's: the hook judges it as a folder.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_ENABLEHOOK;
    dialog.lpfnHook = &BrowseHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(&context);
    DWORD extendedError = 0;
    if (!GetSaveFileNameLate(dialog, extendedError)) {
        if (extendedError == 0) {
            return {};
        }
        throw RuntimeError(ErrorNumber::InvalidProcedureCall, "CommonDialog");
    }
    // The hook let only a folder through; should the folder have gone since, nothing was chosen.
    return ChosenFolder(dialog, context.proposed).value_or(std::string());
}

}  // namespace brelmont::win32
