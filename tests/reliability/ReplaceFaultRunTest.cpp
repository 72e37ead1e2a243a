// Whole runs of the program in-process on the real file services over a throw-away Wine prefix,
// with a failure staged at each stage of the replace of a multi-megabyte Launch.local and at the
// reads before it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "app/RunBrelmont.h"
#include "hosts/posix/PosixFileSystem.h"
#include "tests/reliability/Sandbox.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont::reliability {
namespace {

using posix::FaultPoint;

enum class On { Read, Replace, Lock };

// The real file services with one staged failure, armed only when the program turns to the named
// file: the session log and the files read on the way there must not use it up.
class FaultAtFile final : public platform::FileSystem {
  public:
    explicit FaultAtFile(const fs::path& winePrefix) : real_(winePrefix.string()) {}

    void Arm(On on, std::string name, FaultPoint point, int nth, int errnoValue) {
        plan_ = Plan{on, std::move(name), point, nth, errnoValue};
    }
    // True once the staged failure was handed to the call it was meant for.
    bool Used() const { return !plan_; }

    std::string HostPath(const std::string& path) const override { return real_.HostPath(path); }
    bool OrdinaryFileExists(const std::string& path) override {
        return real_.OrdinaryFileExists(path);
    }
    std::uint64_t FileLength(const std::string& path) override { return real_.FileLength(path); }
    std::string ReadFile(const std::string& path, std::uint64_t length) override {
        const Armed armed(*this, On::Read, path);
        return real_.ReadFile(path, length);
    }
    void ReplaceFileContents(const std::string& path,
                             std::span<const std::string_view> pieces) override {
        const Armed armed(*this, On::Replace, path);
        real_.ReplaceFileContents(path, pieces);
    }
    void AppendToFile(const std::string& path, std::string_view contents) override {
        real_.AppendToFile(path, contents);
    }
    bool IsDirectory(const std::string& path) override { return real_.IsDirectory(path); }
    std::string CurrentDirectory() override { return real_.CurrentDirectory(); }
    void ChangeDirectory(const std::string& path) override { real_.ChangeDirectory(path); }
    std::unique_ptr<platform::DirectoryLock> LockDirectory(const std::string& path) override {
        const Armed armed(*this, On::Lock, path);
        return real_.LockDirectory(path);
    }

  private:
    struct Plan {
        On on;
        std::string name;
        FaultPoint point;
        int nth;
        int errnoValue;
    };

    // Stages the failure for the one call it is meant for and takes it back afterwards, struck or
    // not, so it cannot strike a later call.
    class Armed {
      public:
        Armed(FaultAtFile& files, On on, const std::string& path) : files_(files) {
            const auto& plan = files.plan_;
            if (plan && plan->on == on &&
                files.HostPath(path).find(plan->name) != std::string::npos) {
                files.real_.InjectFault(plan->point, plan->nth, plan->errnoValue);
                files.plan_.reset();
                active_ = true;
            }
        }
        ~Armed() {
            if (active_) {
                files_.real_.ClearFaults();
            }
        }

      private:
        FaultAtFile& files_;
        bool active_ = false;
    };

    posix::PosixFileSystem real_;
    std::optional<Plan> plan_;
};

// One run of the program with the scripted front end, which answers Yes and records what it shows.
struct InProcessRun {
    explicit InProcessRun(const Sandbox& box) : files(box.prefix) {
        process.programDirectory = box.bin.string();
    }

    int Run(const std::string& arguments) {
        process.argumentText = arguments;
        return RunBrelmont({files, eventLog, clock, process}, ui);
    }

    // Status lines, boxes and the uncaught-error report as one text.
    std::string Shown() const {
        std::string shown;
        for (const auto& line : ui.statusLines) {
            shown += line + "\n";
        }
        for (const auto& box : ui.boxes) {
            shown += box.text + "\n";
        }
        if (ui.uncaughtError) {
            shown += "Run-time error '" + std::to_string(ui.uncaughtError->first) +
                     "': " + ui.uncaughtError->second + "\n";
        }
        return shown;
    }

    FaultAtFile files;
    brelmont::testing::RecordingEventLog eventLog;
    brelmont::testing::FixedClock clock;
    brelmont::testing::FakeProcess process;
    brelmont::testing::ScriptedFrontEnd ui;
};

std::set<std::string> Entries(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

mode_t PermissionBits(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

constexpr int kLastChunk = 0;

struct Stage {
    const char* name;
    FaultPoint point;
    int nth;  // kLastChunk: the write of the last chunk
    int errnoValue;
    int number;  // the error number the run reports
};

const Stage kStages[] = {
    {"DirectoryOpen", FaultPoint::DirectoryOpen, 1, EMFILE, 67},
    {"CreateOnReadOnlyDisk", FaultPoint::Open, 1, EROFS, 70},
    {"FirstWrite", FaultPoint::Write, 1, ENOSPC, 61},
    {"SecondWrite", FaultPoint::Write, 2, EDQUOT, 61},
    {"LastWrite", FaultPoint::Write, kLastChunk, EIO, 57},
    {"Permissions", FaultPoint::Permissions, 1, EPERM, 70},
    {"Flush", FaultPoint::Flush, 1, EIO, 57},
    {"Close", FaultPoint::Close, 1, ENOSPC, 61},
    {"Rename", FaultPoint::Rename, 1, EBUSY, 70},
    {"DirectoryFlush", FaultPoint::DirectoryFlush, 1, EIO, 57},
};

struct Edit {
    const char* name;
    const char* action;
    // Launch.local before the run, around `half` of filler on either side; none: missing, and
    // then the loader file is as big, so that the new file too is written in several chunks.
    std::optional<std::string> middle;
};

void PrintTo(const Edit& edit, std::ostream* os) {
    *os << edit.name;
}

class ReplaceFaultRun : public ::testing::TestWithParam<Edit> {};

TEST_P(ReplaceFaultRun, EveryStageKeepsTheOldFileAndReportsTheError) {
    const Edit& edit = GetParam();
    Sandbox box;
    const std::string half = FillerBlocks(7 * posix::kWriteChunk / 4);
    const std::optional<std::string> old =
        edit.middle ? std::optional(half + *edit.middle + half) : std::nullopt;
    if (!old) {
        std::string settings = "[Sample-1.2]\r\n";
        while (settings.size() < 2 * half.size()) {
            settings += "setting=" + std::string(128 << 10, 's') + "\r\n";
        }
        WriteBytes(box.loader, settings + "/ [EOA]\r\n");
    }
    const std::string arguments = std::string(edit.action) + "," + box.loader.string();
    const auto restore = [&] {
        fs::remove(box.launch);
        if (old) {
            WriteBytes(box.launch, *old);
            fs::permissions(box.launch, static_cast<fs::perms>(0640));
        }
    };

    restore();
    ASSERT_EQ(InProcessRun(box).Run(arguments), 0);
    const std::string fresh = box.Launch();
    ASSERT_NE(old, fresh);
    const int chunks =
        static_cast<int>((fresh.size() + posix::kWriteChunk - 1) / posix::kWriteChunk);
    ASSERT_GE(chunks, 3);

    for (const Stage& stage : kStages) {
        if (!old && stage.point == FaultPoint::Permissions) {
            continue;  // a new file has no old permissions to take over
        }
        SCOPED_TRACE(stage.name);
        restore();
        InProcessRun run(box);
        run.files.Arm(On::Replace, "/Launch.local", stage.point,
                      stage.nth == kLastChunk ? chunks : stage.nth, stage.errnoValue);

        EXPECT_EQ(run.Run(arguments), 4);

        EXPECT_TRUE(run.files.Used());
        const std::string outcome = "Result = " + std::to_string(stage.number);
        EXPECT_EQ(run.ui.statusLines.back(), outcome);
        EXPECT_TRUE(ReadBytes(box.bin / "logs" / "Brelmont.log")
                        .ends_with(": Update outcome: " + outcome + "\r\n"));
        // Past the rename the new file is in place whole; before it the old one stays.
        const bool renamed = stage.point == FaultPoint::DirectoryFlush;
        if (renamed || old) {
            EXPECT_TRUE(box.Launch() == (renamed ? fresh : *old));
            if (old) {
                EXPECT_EQ(PermissionBits(box.launch), 0640u);
            }
            EXPECT_EQ(Entries(box.data), std::set<std::string>{"Launch.local"});
        } else {
            EXPECT_EQ(Entries(box.data), std::set<std::string>{});
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, ReplaceFaultRun,
                         ::testing::Values(Edit{"Add", "install", kOtherBlocks},
                                           Edit{"Replace", "install",
                                                "[Sample-1.1]\r\nrun=old.exe\r\n/ [EOA]\r\n"},
                                           Edit{"Remove", "uinstall", kSampleLoader},
                                           Edit{"Create", "install", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

// Inputs that cannot be read (as root no file mode makes them so), and a lock that cannot be had.
struct ReadFault {
    const char* name;
    const char* action;
    On on;
    const char* file;
    FaultPoint point;
    int errnoValue;
    int exit;
    std::string shown;
    std::optional<std::string> launchAfter = std::nullopt;  // none: untouched
};

void PrintTo(const ReadFault& c, std::ostream* os) {
    *os << c.name;
}

const std::string kLaunchBefore = kOtherBlocks + kSampleLoader;

class ReadFaultRun : public ::testing::TestWithParam<ReadFault> {};

TEST_P(ReadFaultRun, EndsAsDescribed) {
    const ReadFault& c = GetParam();
    Sandbox box;
    WriteBytes(box.launch, kLaunchBefore);
    InProcessRun run(box);
    run.files.Arm(c.on, c.file, c.point, 1, c.errnoValue);

    EXPECT_EQ(run.Run(std::string(c.action) + "," + box.loader.string()), c.exit);

    EXPECT_TRUE(run.files.Used());
    EXPECT_NE(run.Shown().find(c.shown), std::string::npos) << run.Shown();
    EXPECT_EQ(box.Launch(), c.launchAfter.value_or(kLaunchBefore));
    EXPECT_EQ(Entries(box.data), std::set<std::string>{"Launch.local"});
}

const std::string kUnreadable = "Run-time error '-2147221434': Permission denied, Step = 2";

INSTANTIATE_TEST_SUITE_P(
    Inputs, ReadFaultRun,
    ::testing::Values(ReadFault{"LoaderInstall", "install", On::Read, "/Sample.local",
                                FaultPoint::Open, EACCES, 4, "Error at Step: 202"},
                      ReadFault{"LoaderRemoval", "uinstall", On::Read, "/Sample.local",
                                FaultPoint::Open, EACCES, 5, kUnreadable},
                      ReadFault{"LaunchInstall", "install", On::Read, "/Launch.local",
                                FaultPoint::Open, EACCES, 4, "Error at Step: 201"},
                      ReadFault{"LaunchHalfRead", "install", On::Read, "/Launch.local",
                                FaultPoint::Read, EIO, 4, "Error at Step: 201"},
                      ReadFault{"LaunchRemoval", "uinstall", On::Read, "/Launch.local",
                                FaultPoint::Open, EACCES, 5, kUnreadable},
                      ReadFault{"Conf", "install", On::Read, "/Kelvane.conf", FaultPoint::Open,
                                EACCES, 5, kUnreadable},
                      // Without the lock another run's edit could be lost: the edit ends.
                      ReadFault{"LockRefused", "install", On::Lock, "/KelvaneData",
                                FaultPoint::Lock, ENOLCK, 4, "Result = 57"},
                      ReadFault{"LockDirectoryUnopenable", "uinstall", On::Lock, "/KelvaneData",
                                FaultPoint::DirectoryOpen, EMFILE, 4,
                                "its folder could not be locked (Too many files)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brelmont::reliability
