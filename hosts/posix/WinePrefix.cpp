#include "hosts/posix/WinePrefix.h"

#include <pwd.h>
#include <unistd.h>

#include <string_view>

namespace brelmont::posix {
namespace {

std::string Lookup(const char* const* environment, std::string_view name) {
    for (const char* const* entry = environment; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text = *entry;
        if (text.size() > name.size() && text.starts_with(name) && text[name.size()] == '=') {
            return std::string(text.substr(name.size() + 1));
        }
    }
    return {};
}

std::string HomeDirectory(const char* const* environment) {
    std::string home = Lookup(environment, "HOME");
    if (home.empty()) {
        // Started without a HOME (from a service, say): the account's own home, as Wine does.
        if (const passwd* account = ::getpwuid(::getuid())) {
            home = account->pw_dir != nullptr ? account->pw_dir : "";
        }
    }
    return home;
}

}  // namespace

std::string WinePrefixFrom(const char* const* environment) {
    std::string prefix = Lookup(environment, "WINEPREFIX");
    return prefix.empty() ? HomeDirectory(environment) + "/.wine" : prefix;
}

}  // namespace brelmont::posix
