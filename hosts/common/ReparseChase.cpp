#include "hosts/common/ReparseChase.h"

#include <algorithm>
#include <array>
#include <deque>

#include "support/RuntimeError.h"

namespace brelmont::host {
namespace {

// As many as Windows itself follows in one open before it gives up.
constexpr int kMostRedirects = 63;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return Lower(a) == Lower(b); });
}

bool IsDriveRoot(std::string_view text) {
    return text.size() >= 2 && Lower(text[0]) >= 'a' && Lower(text[0]) <= 'z' && text[1] == ':' &&
           (text.size() == 2 || text[2] == '\\');
}

std::string WithBackslashes(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

// Adds the names of `text` to `names`, taking "." and ".." away from the text as Windows does.
void AppendNames(std::string_view text, std::vector<std::string>& names) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\\'), text.size());
        const std::string_view name = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
            continue;
        }
        names.emplace_back(name);
    }
}

// "\\server\share\rest": the root keeps the server and the share.
std::optional<RootedPath> ShareRooted(std::string_view afterSlashes) {
    const std::size_t serverEnd = afterSlashes.find('\\');
    if (serverEnd == 0 || serverEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t shareEnd =
        std::min(afterSlashes.find('\\', serverEnd + 1), afterSlashes.size());
    if (shareEnd == serverEnd + 1) {
        return std::nullopt;
    }
    RootedPath rooted{"\\\\" + std::string(afterSlashes.substr(0, shareEnd)) + "\\", {}};
    AppendNames(afterSlashes.substr(std::min(shareEnd + 1, afterSlashes.size())), rooted.names);
    return rooted;
}

std::optional<RootedPath> LongFormRooted(std::string_view rest) {
    if (IsDriveRoot(rest)) {
        RootedPath rooted{std::string(rest.substr(0, 2)) + "\\", {}};
        AppendNames(rest.substr(2), rooted.names);
        return rooted;
    }
    if (StartsWithNoCase(rest, "UNC\\")) {
        return ShareRooted(rest.substr(4));
    }
    // A volume by its name, as a mount point leads to it.
    if (StartsWithNoCase(rest, "Volume{")) {
        const std::size_t end = std::min(rest.find('\\'), rest.size());
        RootedPath rooted{"\\\\?\\" + std::string(rest.substr(0, end)) + "\\", {}};
        AppendNames(rest.substr(end), rooted.names);
        return rooted;
    }
    return std::nullopt;
}

std::string Joined(const RootedPath& path) {
    std::string text = path.root;
    for (std::size_t at = 0; at < path.names.size(); ++at) {
        text += (at == 0 ? "" : "\\") + path.names[at];
    }
    return text;
}

// Where a redirect standing in `folder` leads. A relative link is taken from its own folder, one
// that starts with "\" from that folder's root.
std::optional<RootedPath> TargetOf(const std::string& stored, const RootedPath& folder) {
    const std::string target = WithBackslashes(stored);
    if (target.starts_with("\\??\\")) {
        return LongFormRooted(std::string_view(target).substr(4));
    }
    if (target.starts_with("\\\\") || IsDriveRoot(target)) {
        return RootedPathOf(target);
    }
    if (target.size() >= 2 && target[1] == ':') {
        return std::nullopt;  // "C:x": relative to a drive's current folder, which has none here
    }
    RootedPath resolved{folder.root,
                        target.starts_with("\\") ? std::vector<std::string>{} : folder.names};
    AppendNames(target, resolved.names);
    return resolved;
}

[[noreturn]] void RefuseRedirect(const std::string& path, const std::string& why) {
    throw RuntimeError(ErrorNumber::PermissionDenied, "Brelmont",
                       "Permission denied: " + path + " is a link " + why);
}

}  // namespace

bool IsAdministrativeOwner(const std::string& sid) {
    static constexpr std::array<std::string_view, 3> kAdministrative = {
        "S-1-5-32-544",                                                    // Administrators
        "S-1-5-18",                                                        // SYSTEM
        "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
    };
    return std::find(kAdministrative.begin(), kAdministrative.end(), sid) != kAdministrative.end();
}

bool TrustsRedirect(const std::string& owner, const std::string& folderOwner,
                    const ReparseTrust& trust) {
    if (owner.empty()) {
        return false;
    }
    if (IsAdministrativeOwner(owner)) {
        return true;
    }
    // This user's own links, unelevated, lead only where this user could write anyway; elevated,
    // this user's unelevated programs could have made them.
    if (trust.strict) {
        return false;
    }
    return owner == folderOwner ||
           std::find(trust.thisUser.begin(), trust.thisUser.end(), owner) != trust.thisUser.end();
}

std::optional<RootedPath> RootedPathOf(const std::string& path) {
    const std::string text = WithBackslashes(path);
    if (StartsWithNoCase(text, "\\\\?\\") || StartsWithNoCase(text, "\\??\\")) {
        return LongFormRooted(std::string_view(text).substr(4));
    }
    if (text.starts_with("\\\\.\\")) {
        return std::nullopt;
    }
    if (text.starts_with("\\\\")) {
        return ShareRooted(std::string_view(text).substr(2));
    }
    if (text.size() >= 3 && IsDriveRoot(text)) {
        RootedPath rooted{text.substr(0, 2) + "\\", {}};
        AppendNames(std::string_view(text).substr(2), rooted.names);
        return rooted;
    }
    return std::nullopt;
}

std::string ChaseReparsePoints(const std::string& path, const LookAt& look,
                               const ReparseTrust& trust) {
    const std::optional<RootedPath> rooted = RootedPathOf(path);
    if (!rooted) {
        return path;
    }
    RootedPath walked{rooted->root, {}};
    std::deque<std::string> pending(rooted->names.begin(), rooted->names.end());
    std::string folderOwner = look(walked.root).owner;
    int redirects = 0;
    while (!pending.empty()) {
        walked.names.push_back(pending.front());
        pending.pop_front();
        const std::string here = Joined(walked);
        const SeenObject seen = look(here);
        if (!seen.exists) {
            // Nothing further exists that could lead elsewhere: what follows is made by the run.
            walked.names.insert(walked.names.end(), pending.begin(), pending.end());
            break;
        }
        if (!seen.redirects) {
            folderOwner = seen.owner;
            continue;
        }
        if (!TrustsRedirect(seen.owner, folderOwner, trust)) {
            RefuseRedirect(here, trust.strict
                                     ? "that only an administrator may make for an elevated run"
                                     : "that neither its folder's owner nor this user owns");
        }
        walked.names.pop_back();
        const std::optional<RootedPath> target =
            seen.target ? TargetOf(*seen.target, walked) : std::nullopt;
        if (!target) {
            RefuseRedirect(here, "whose target cannot be followed");
        }
        if (++redirects > kMostRedirects) {
            throw RuntimeError(ErrorNumber::PathFileAccessError, "Brelmont",
                               "Path/File access error: " + path + " leads through too many links");
        }
        // The target is walked in its turn: a trusted link may lead through an untrusted one.
        pending.insert(pending.begin(), target->names.begin(), target->names.end());
        walked = RootedPath{target->root, {}};
        folderOwner = look(walked.root).owner;
    }
    return Joined(walked);
}

}  // namespace brelmont::host
