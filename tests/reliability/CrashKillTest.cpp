// SIGKILL at random moments while the real program rewrites a large Launch.local: afterwards the
// file is always exactly its old or its new content.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <iostream>
#include <random>
#include <thread>

#include "tests/reliability/Sandbox.h"

namespace brelmont::reliability {
namespace {

using std::chrono::microseconds;
using Clock = std::chrono::steady_clock;

// True once the run has ended; it stays to be waited for.
bool Ended(pid_t run) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(run), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == run;
}

bool HasTemporary(const fs::path& directory) {
    for (const auto& entry : fs::directory_iterator(directory)) {
        if (entry.path().filename() != "Launch.local") {
            return true;
        }
    }
    return false;
}

// Waits, polling, until the temporary file is there (true) or the run has ended (false).
bool AwaitTemporary(const fs::path& directory, pid_t run) {
    for (;;) {
        if (HasTemporary(directory)) {
            return true;
        }
        if (Ended(run)) {
            return false;
        }
        std::this_thread::sleep_for(microseconds(100));
    }
}

// What the kills test is the file layer's atomicity, which a sanitizer adds nothing to; its runs
// are slower, so a sanitizer build makes fewer of them.
#ifdef __SANITIZE_ADDRESS__
constexpr int kKills = 20;
#else
constexpr int kKills = 60;
#endif

TEST(CrashKill, LaunchLocalIsOldOrNewAfterEveryKill) {
    constexpr unsigned kSeed = 20240607;  // fixed, so that a failing kill can be replayed
    Sandbox box;
    const std::string half = FillerBlocks(1 << 20);
    const std::string old = half + kSampleLoader + half;
    const std::string fresh = half + half;
    const Start removal{.arguments = {"uinstall," + box.loader.string()}, .input = std::nullopt};

    // One run to the end gives the spans the kills are spread over: the whole run, and the part
    // from the temporary file's creation to its rename, when a kill does the most harm.
    WriteBytes(box.launch, old);
    const auto began = Clock::now();
    const pid_t probe = StartProgram(box, removal);
    auto writing = Clock::now();
    if (AwaitTemporary(box.data, probe)) {
        writing = Clock::now();
        while (HasTemporary(box.data)) {
            std::this_thread::sleep_for(microseconds(100));
        }
    } else {
        writing = began;  // no temporary file seen: the whole run counts as writing
    }
    const auto written = Clock::now();
    ASSERT_EQ(WaitProgram(probe), 0);
    const auto span = std::chrono::duration_cast<microseconds>(Clock::now() - began);
    const auto window = std::chrono::duration_cast<microseconds>(written - writing);
    ASSERT_TRUE(box.Launch() == fresh);

    std::mt19937 random(kSeed);
    std::uniform_int_distribution<long> anyMoment(0, span.count() * 5 / 4);
    std::uniform_int_distribution<long> whileWriting(0, window.count() * 5 / 4);
    int keptOld = 0;
    int gotNew = 0;
    int temporaries = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        WriteBytes(box.launch, old);
        const pid_t child = StartProgram(box, removal);
        // Even kills: any moment of the run; odd ones: while the new file is being written.
        if (kill % 2 == 0) {
            std::this_thread::sleep_for(microseconds(anyMoment(random)));
        } else if (AwaitTemporary(box.data, child)) {
            std::this_thread::sleep_for(microseconds(whileWriting(random)));
        }
        ::kill(child, SIGKILL);
        WaitProgram(child);
        const std::string now = box.Launch();
        ASSERT_TRUE(now == old || now == fresh)
            << "kill " << kill << ": Launch.local holds " << now.size() << " bytes, neither the "
            << old.size() << " old nor the " << fresh.size() << " new";
        ++(now == old ? keptOld : gotNew);
        // A killed run cannot take its temporary file away; it is hidden and never read.
        for (const auto& entry : fs::directory_iterator(box.data)) {
            const std::string name = entry.path().filename().string();
            if (name != "Launch.local") {
                EXPECT_TRUE(name.starts_with(".Launch.local.brelmont-")) << name;
                fs::remove(entry.path());
                ++temporaries;
            }
        }
    }
    std::cout << "kills: " << kKills << ", old kept: " << keptOld << ", new in place: " << gotNew
              << ", temporaries left by killed runs: " << temporaries
              << ", one run: " << span.count() / 1000
              << " ms, of it writing: " << window.count() / 1000 << " ms\n";
    RecordProperty("kills", kKills);
    RecordProperty("old_kept", keptOld);
    RecordProperty("new_in_place", gotNew);
    RecordProperty("temporaries_left", temporaries);
}

}  // namespace
}  // namespace brelmont::reliability
