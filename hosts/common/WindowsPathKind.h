#pragma once

// What a Windows path names, read from its text alone: the host services refuse the kinds an
// elevated run must not be pointed at by a file that anybody else could have written.

#include <string_view>

namespace brelmont::host {

enum class WindowsPathKind {
    Drive,     // C:\... , also in the long form \\?\C:\...
    Share,     // \\server\share\... , also \\?\UNC\server\share\...
    Device,    // \\.\... , \\?\ anything but a drive or UNC, \??\..., anything through GLOBALROOT
    Relative,  // no drive and no share: taken from the current folder or drive
};

namespace detail {

inline char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// `text` starts with `prefix`, separators of either kind and letters of either case alike.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t at = 0; at < prefix.size(); ++at) {
        const bool same =
            IsSeparator(prefix[at]) ? IsSeparator(text[at]) : Lower(text[at]) == Lower(prefix[at]);
        if (!same) {
            return false;
        }
    }
    return true;
}

inline bool Contains(std::string_view text, std::string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (StartsWith(text.substr(at), part)) {
            return true;
        }
    }
    return false;
}

// "C:" followed by a separator or nothing.
inline bool IsDriveRoot(std::string_view text) {
    const bool letter = text.size() >= 2 && Lower(text[0]) >= 'a' && Lower(text[0]) <= 'z';
    return letter && text[1] == ':' && (text.size() == 2 || IsSeparator(text[2]));
}

}  // namespace detail

inline WindowsPathKind WindowsPathKindOf(std::string_view path) {
    using namespace detail;
    // The object manager's root reaches every device, whatever form leads to it.
    if (Contains(path, "GLOBALROOT")) {
        return WindowsPathKind::Device;
    }
    if (StartsWith(path, "\\\\?\\")) {
        const std::string_view rest = path.substr(4);
        if (IsDriveRoot(rest)) {
            return WindowsPathKind::Drive;
        }
        return StartsWith(rest, "UNC\\") ? WindowsPathKind::Share : WindowsPathKind::Device;
    }
    if (StartsWith(path, "\\\\.\\") || StartsWith(path, "\\??\\")) {
        return WindowsPathKind::Device;
    }
    if (StartsWith(path, "\\\\")) {
        return WindowsPathKind::Share;
    }
    return IsDriveRoot(path) ? WindowsPathKind::Drive : WindowsPathKind::Relative;
}

}  // namespace brelmont::host
