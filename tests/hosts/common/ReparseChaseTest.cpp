// Whom a Windows run lets redirect its paths: the walk and the decision over a described volume,
// the same on every host, since Wine shows no owners or reparse points.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>

#include "hosts/common/ReparseChase.h"
#include "support/RuntimeError.h"

namespace brelmont::host {
namespace {

const std::string kAdmins = "S-1-5-32-544";
const std::string kSystem = "S-1-5-18";
const std::string kUser = "S-1-5-21-1-2-3-1001";
const std::string kOther = "S-1-5-21-1-2-3-1002";

SeenObject Folder(const std::string& owner) {
    return SeenObject{true, false, owner, std::nullopt};
}
SeenObject Link(const std::string& owner, const std::string& target) {
    return SeenObject{true, true, owner, target};
}

// A volume whose folders belong to the administrators unless a row says otherwise.
using Volume = std::map<std::string, SeenObject>;

struct ChaseCase {
    std::string name;
    Volume volume;
    std::string path;
    bool strict;
    std::variant<std::string, std::int32_t> expected;  // the path arrived at, or the error
};

class ChaseTest : public ::testing::TestWithParam<ChaseCase> {};

TEST_P(ChaseTest, FollowsOnlyTrustedRedirects) {
    const ChaseCase& row = GetParam();
    const auto look = [&](const std::string& path) {
        const auto seen = row.volume.find(path);
        return seen != row.volume.end() ? seen->second : SeenObject{};
    };
    const ReparseTrust trust{row.strict, {kUser}};
    if (const auto* path = std::get_if<std::string>(&row.expected)) {
        EXPECT_EQ(ChaseReparsePoints(row.path, look, trust), *path);
        return;
    }
    try {
        ChaseReparsePoints(row.path, look, trust);
        ADD_FAILURE() << "not refused";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), std::get<std::int32_t>(row.expected)) << error.Description();
    }
}

const Volume kPlain = {{"C:\\", Folder(kSystem)},
                       {"C:\\ProgramData", Folder(kSystem)},
                       {"C:\\ProgramData\\Kelvane", Folder(kAdmins)},
                       {"C:\\ProgramData\\Kelvane\\Launch.local", Folder(kAdmins)}};

Volume With(Volume volume, const std::map<std::string, SeenObject>& more) {
    for (const auto& [path, seen] : more) {
        volume[path] = seen;
    }
    return volume;
}

const SeenObject kUserJunction = Link(kUser, "\\??\\C:\\Data");
const Volume kUserOwnsData = With(kPlain, {{"C:\\ProgramData\\Kelvane", kUserJunction},
                                           {"C:\\Data", Folder(kUser)},
                                           {"C:\\Users", Folder(kSystem)},
                                           {"C:\\Users\\u", Folder(kUser)}});

INSTANTIATE_TEST_SUITE_P(
    Walks, ChaseTest,
    ::testing::Values(
        ChaseCase{"NoRedirect", kPlain, "C:\\ProgramData\\Kelvane\\Launch.local", true,
                  "C:\\ProgramData\\Kelvane\\Launch.local"},
        ChaseCase{"MissingFileComesBackAsWritten", kPlain, "C:\\ProgramData\\Kelvane\\New\\x", true,
                  "C:\\ProgramData\\Kelvane\\New\\x"},
        ChaseCase{"AdministratorsJunctionFollowed",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane", Link(kAdmins, "\\??\\D:\\Kelvane")},
                                {"D:\\", Folder(kSystem)},
                                {"D:\\Kelvane", Folder(kAdmins)}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", true, "D:\\Kelvane\\Launch.local"},
        ChaseCase{"UserJunctionRefusedWhenElevated", kUserOwnsData,
                  "C:\\ProgramData\\Kelvane\\Launch.local", true, ErrorNumber::PermissionDenied},
        ChaseCase{"UserJunctionFollowedForTheUser", kUserOwnsData,
                  "C:\\ProgramData\\Kelvane\\Launch.local", false, "C:\\Data\\Launch.local"},
        ChaseCase{"FolderOwnersLinkFollowedUnelevated",
                  With(kPlain, {{"C:\\Users", Folder(kSystem)},
                                {"C:\\Users\\o", Folder(kOther)},
                                {"C:\\Users\\o\\x", Link(kOther, "C:\\Users\\o\\y")},
                                {"C:\\Users\\o\\y", Folder(kOther)}}),
                  "C:\\Users\\o\\x\\f", false, "C:\\Users\\o\\y\\f"},
        ChaseCase{"StrangersLinkRefusedUnelevated",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane\\Launch.local",
                                 Link(kOther, "C:\\Windows\\win.ini")}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", false, ErrorNumber::PermissionDenied},
        // A trusted link is no shortcut past an untrusted one further on.
        ChaseCase{"TrustedLinkThroughUserJunctionRefused",
                  With(kUserOwnsData,
                       {{"C:\\ProgramData\\Kelvane", Link(kAdmins, "C:\\Users\\u\\k")},
                        {"C:\\Users\\u\\k", Link(kUser, "\\??\\GLOBALROOT\\RPC Control")}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", true, ErrorNumber::PermissionDenied},
        ChaseCase{"RelativeTargetFromItsFolder",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane\\Launch.local",
                                 Link(kAdmins, "..\\Shared\\.\\Launch.local")},
                                {"C:\\ProgramData\\Shared", Folder(kAdmins)}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", true,
                  "C:\\ProgramData\\Shared\\Launch.local"},
        ChaseCase{"RootRelativeTargetFromItsDrive",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane", Link(kAdmins, "\\Kelvane")}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", true, "C:\\Kelvane\\Launch.local"},
        ChaseCase{"MountedVolumeWalkedFromItsRoot",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane", Link(kAdmins, "\\??\\Volume{v}\\")},
                                {"\\\\?\\Volume{v}\\", Folder(kSystem)}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", true, "\\\\?\\Volume{v}\\Launch.local"},
        ChaseCase{"DeviceTargetRefused",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane",
                                 Link(kAdmins, "\\??\\GLOBALROOT\\RPC Control")}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", true, ErrorNumber::PermissionDenied},
        ChaseCase{"UnreadableTargetRefused",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane", SeenObject{true, true, kAdmins, {}}}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", false, ErrorNumber::PermissionDenied},
        ChaseCase{"UnknownOwnerRefused",
                  With(kPlain, {{"C:\\ProgramData\\Kelvane", Link("", "C:\\x")}}),
                  "C:\\ProgramData\\Kelvane\\Launch.local", false, ErrorNumber::PermissionDenied},
        ChaseCase{
            "LoopEnds",
            With(kPlain, {{"C:\\a", Link(kAdmins, "C:\\b")}, {"C:\\b", Link(kAdmins, "C:\\a")}}),
            "C:\\a\\x", true, ErrorNumber::PathFileAccessError},
        ChaseCase{"RelativePathNotWalked", kUserOwnsData, "ProgramData\\Kelvane", true,
                  "ProgramData\\Kelvane"}),
    [](const auto& info) { return info.param.name; });

struct RootCase {
    std::string path;
    std::optional<std::string> root;  // none: not walked
    std::vector<std::string> names;
};

class RootedPathTest : public ::testing::TestWithParam<RootCase> {};

TEST_P(RootedPathTest, SplitsAsWindowsReadsTheText) {
    const std::optional<RootedPath> rooted = RootedPathOf(GetParam().path);
    ASSERT_EQ(rooted.has_value(), GetParam().root.has_value()) << GetParam().path;
    if (rooted) {
        EXPECT_EQ(rooted->root, *GetParam().root);
        EXPECT_EQ(rooted->names, GetParam().names);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RootedPathTest,
    ::testing::Values(RootCase{"C:\\a\\.\\b\\..\\c\\", "C:\\", {"a", "c"}},
                      RootCase{"c:/a/../../b", "c:\\", {"b"}},
                      RootCase{"\\\\?\\C:\\x", "C:\\", {"x"}},
                      RootCase{"\\\\?\\UNC\\srv\\sh\\x", "\\\\srv\\sh\\", {"x"}},
                      RootCase{"\\\\srv\\sh", "\\\\srv\\sh\\", {}},
                      RootCase{"\\\\?\\Volume{v}\\x", "\\\\?\\Volume{v}\\", {"x"}},
                      RootCase{"\\\\srv", std::nullopt, {}},
                      RootCase{"\\\\.\\pipe\\x", std::nullopt, {}},
                      RootCase{"\\\\?\\GLOBALROOT\\Device", std::nullopt, {}},
                      RootCase{"C:x", std::nullopt, {}}, RootCase{"C:", std::nullopt, {}}));

}  // namespace
}  // namespace brelmont::host
