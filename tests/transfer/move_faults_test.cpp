// What faults leave behind a move: every page whole in the work area or at the destination
// (byte for byte, never cut under its final name), and a second move that finishes the job.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "../support/scratch_dir.h"
#include "config/numeric_text.h"
#include "move_test_support.h"
#include "operator/scripted_operator.h"
#include "transfer/job_patterns.h"
#include "transfer/move_files.h"
#include "transfer/page_placement.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
constexpr const char* kSemaphoreName = "semaf.txt";
using testing::PageContent;
using testing::ReadAll;
using testing::TreeOf;
using testing::WritePage;

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Runs `command` through the shell; true when it succeeded.
bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs `work` in a child process and gives its exit status (-1 when it did not exit).
int InChild(const std::function<int()>& work) {
    const pid_t child = fork();
    if (child == 0) _exit(work());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A small file system of its own, so that the destination really fills.
class SmallFileSystem {
public:
    SmallFileSystem(const fs::path& at, const std::string& size) : at_(at) {
        fs::create_directories(at);
        mounted_ = mount("tmpfs", at.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) umount2(at_.c_str(), MNT_DETACH);
    }
    bool Grow(const std::string& size) {
        return mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT, ("size=" + size).c_str()) == 0;
    }
    bool mounted() const { return mounted_; }

private:
    fs::path at_;
    bool mounted_ = false;
};

// Makes a file or directory immutable for as long as it lives; root passes every permission
// check but this one.
class Immutable {
public:
    explicit Immutable(const fs::path& path) : path_(path) {
        set_ = Shell("chattr +i '" + path.string() + "'");
    }
    ~Immutable() {
        if (set_) Shell("chattr -i '" + path_.string() + "'");
    }
    bool set() const { return set_; }

private:
    fs::path path_;
    bool set_ = false;
};

class MoveFaultsTest : public ::testing::Test {
protected:
    MoveFaultsTest()
        : work_(scratch_ / "work"),
          job_(testing::BoxJob(work_, scratch_ / "out")),
          patterns_(BuildJobDiscoveryPatterns(job_, 2)) {
        UseDestination(scratch_ / "out");
    }

    void UseDestination(const fs::path& out) {
        out_ = out;
        job_.invioa = out.string();
    }

    // Boxes AX000.. each of `sheets` duplex sheets of `size` bytes (every third page larger
    // when `large` is given); remembers every page's content by its place in the work area.
    void ScanBoxes(int boxes, int sheets, std::size_t size, std::size_t large = 0) {
        for (int box = 0; box < boxes; ++box) {
            for (int sheet = 1; sheet <= sheets; ++sheet) {
                for (const char* side : {"fro", "bac"}) {
                    char relative[64];
                    std::snprintf(relative, sizeof relative, "2024/BAX/AX%03d/%04d%s.tif", box,
                                  sheet, side);
                    const std::size_t bytes = large != 0 && pages_.size() % 3 == 2 ? large : size;
                    pages_[relative] = PageContent(relative, bytes);
                    WritePage(work_ / relative, pages_[relative]);
                }
            }
        }
        boxes_ = boxes;
    }

    static std::string Arrived(const std::string& relative) {
        const fs::path path(relative);
        return (path.parent_path() / Upper(path.filename().string())).string();
    }

    int MoveBox(int box) {
        MoveContext context{job_, operator_, progress_, export_, &patterns_};
        char name[16];
        std::snprintf(name, sizeof name, "AX%03d", box);
        return MoveFiles2(context, (work_ / "2024/BAX" / name).string(), job_.invioa, "/s");
    }

    // Moves every box, the last first as the transfer run does.
    void MoveAll() {
        for (int box = boxes_ - 1; box >= 0; --box)
            MoveBox(box);
    }

    // Every page lies whole in the work area or under its final name at the destination; in
    // both places only when `both_allowed` (a move stopped between its two steps). `old` gives
    // what a destination held before the move, which a page that did not arrive leaves there.
    void ExpectEveryPageInOnePlace(bool both_allowed,
                                   const std::map<std::string, std::string>& old = {}) {
        const auto left = TreeOf(work_);
        const auto arrived = TreeOf(out_);
        for (const auto& [relative, content] : pages_) {
            const auto in_work = left.find(relative);
            const auto at_destination = arrived.find(Arrived(relative));
            const bool here = in_work != left.end();
            bool there = at_destination != arrived.end();
            if (here) {
                EXPECT_EQ(in_work->second, content) << relative << " changed in the work area";
            }
            if (there && old.contains(Arrived(relative)) &&
                at_destination->second == old.at(Arrived(relative)))
                there = false;
            if (there) {
                EXPECT_EQ(at_destination->second, content) << relative << " arrived cut";
            }
            EXPECT_TRUE(here || there) << relative << " is lost";
            if (!both_allowed) {
                EXPECT_FALSE(here && there) << relative << " lies in both places";
            }
        }
        for (const auto& [relative, content] : arrived) {
            if (fs::path(relative).filename() == kSemaphoreName) continue;
            if (fs::path(relative).filename() == kMoveTempName) {
                EXPECT_TRUE(both_allowed) << relative << " left behind";
                continue;
            }
            bool known = old.contains(relative);
            for (const auto& page : pages_)
                known = known || Arrived(page.first) == relative;
            EXPECT_TRUE(known) << relative << " is no page";
        }
    }

    int KillAtRandomMoments(int rounds, int boxes, std::mt19937& random);

    // After a fault is gone: a second move takes every page to the destination, and with
    // semaphores on, every directory that received pages holds one.
    void ExpectSecondMoveCompletes() {
        MoveAll();
        ExpectEveryPageInOnePlace(false);
        EXPECT_TRUE(TreeOf(work_).empty());
        std::size_t arrived = 0;
        for (const auto& [relative, content] : TreeOf(out_)) {
            if (fs::path(relative).filename() == kSemaphoreName) continue;
            ++arrived;
            if (LeadingNumber(job_.semaforo) > 0) {
                EXPECT_TRUE(fs::exists(out_ / fs::path(relative).parent_path() / kSemaphoreName))
                    << relative << " arrived unannounced";
            }
        }
        EXPECT_EQ(arrived, pages_.size());
    }

    ::scantora::testing::ScratchDir scratch_;
    fs::path work_;
    fs::path out_;
    JobRecord job_;
    DiscoveryPatterns patterns_;
    ScriptedOperator operator_;
    testing::RecordingProgress progress_;
    PageExport export_;
    std::map<std::string, std::string> pages_;
    int boxes_ = 0;
};

TEST_F(MoveFaultsTest, ADestinationThatFillsKeepsTheRestInTheWorkAreaAndOlderFilesAsTheyWere) {
    SmallFileSystem small(scratch_ / "small", "256k");
    if (!small.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    UseDestination(scratch_ / "small/out");
    ScanBoxes(2, 3, 60 * 1024);
    std::map<std::string, std::string> old;
    for (const auto& [relative, content] : pages_) {
        old[Arrived(relative)] = "an older page " + relative;
        WritePage(out_ / Arrived(relative), old[Arrived(relative)]);
    }
    MoveAll();
    EXPECT_FALSE(TreeOf(work_).empty()) << "the file system was meant to fill";
    EXPECT_LT(TreeOf(work_).size(), pages_.size()) << "some pages were meant to fit";
    ExpectEveryPageInOnePlace(false, old);
    for (const auto& [relative, content] : TreeOf(work_))
        EXPECT_EQ(ReadAll(out_ / Arrived(relative)), old[Arrived(relative)]);

    ASSERT_TRUE(small.Grow("4m"));
    ExpectSecondMoveCompletes();
}

TEST_F(MoveFaultsTest, AFileSizeLimitFailsTheLargePagesOnly) {
    UseDestination(fs::path("/dev/shm") / ("move_faults_" + std::to_string(getpid())));
    ScanBoxes(2, 3, 20 * 1024, 200 * 1024);
    const int status = InChild([this] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100 * 1024, 100 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        MoveAll();
        return 0;
    });
    EXPECT_EQ(status, 0);
    ExpectEveryPageInOnePlace(false);
    for (const auto& [relative, content] : TreeOf(work_))
        EXPECT_GT(content.size(), 100u * 1024);
    EXPECT_EQ(TreeOf(work_).size(), pages_.size() / 3);
    ExpectSecondMoveCompletes();
    fs::remove_all(out_);
}

TEST_F(MoveFaultsTest, AnUnwritableDestinationDirectoryMovesNothing) {
    ScanBoxes(1, 2, 4096);
    fs::create_directories(out_ / "2024/BAX/AX000");
    {
        Immutable locked(out_ / "2024/BAX/AX000");
        if (!locked.set()) GTEST_SKIP() << "chattr +i is not available here";
        EXPECT_EQ(MoveBox(0), -1);
        ExpectEveryPageInOnePlace(false);
        EXPECT_EQ(TreeOf(work_).size(), pages_.size());
    }
    // Another user, for whom the permissions hold.
    fs::permissions(out_ / "2024/BAX/AX000", fs::perms(0555));
    for (const auto& entry : fs::recursive_directory_iterator(work_))
        if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::all);
    const int status = InChild([this] {
        if (setgid(65534) != 0 || setuid(65534) != 0) return 99;
        return MoveBox(0) + 2;
    });
    EXPECT_EQ(status, 1) << "-1 expected";
    ExpectEveryPageInOnePlace(false);
    EXPECT_EQ(TreeOf(work_).size(), pages_.size());

    fs::permissions(out_ / "2024/BAX/AX000", fs::perms(0755));
    ExpectSecondMoveCompletes();
}

TEST_F(MoveFaultsTest, AFileWhereADirectoryShouldBeMovesNothing) {
    ScanBoxes(1, 2, 4096);
    WritePage(out_ / "2024", "not a directory");
    EXPECT_EQ(MoveBox(0), -1);
    ExpectEveryPageInOnePlace(false, {{"2024", "not a directory"}});
    EXPECT_EQ(ReadAll(out_ / "2024"), "not a directory");
    fs::remove(out_ / "2024");
    ExpectSecondMoveCompletes();
}

TEST_F(MoveFaultsTest, APageThatCannotLeaveTheWorkAreaIsNotLeftAtTheDestinationToo) {
    ScanBoxes(1, 1, 4096);
    const fs::path stuck = work_ / "2024/BAX/AX000/0001fro.tif";
    {
        Immutable locked(stuck);
        if (!locked.set()) GTEST_SKIP() << "chattr +i is not available here";
        MoveBox(0);
        ExpectEveryPageInOnePlace(false);
        EXPECT_TRUE(fs::exists(stuck));
        EXPECT_FALSE(fs::exists(out_ / Arrived("2024/BAX/AX000/0001fro.tif")));
    }
    ExpectSecondMoveCompletes();
}

TEST_F(MoveFaultsTest, SourcesThatDisappearOrChangeDuringTheMove) {
    ScanBoxes(1, 3, 4096);
    job_.barcode = "1";
    const fs::path box = work_ / "2024/BAX/AX000";
    // While the first page is read for the export (it already lies at the destination), its
    // source is replaced by a new scan and another page vanishes before its turn; while the
    // second is read, its source vanishes.
    int calls = 0;
    std::string replaced;
    std::string vanished;
    std::string second;
    export_ = [&](const std::string& file, int16_t, const BarcodeExports&) {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(box))
            names.push_back(entry.path());
        const std::string current = fs::path(file).filename().string();
        ++calls;
        for (const fs::path& path : names) {
            const std::string name = path.filename().string();
            if (calls == 1 && Upper(name) == current) {
                replaced = name;
                fs::remove(path);
                WritePage(path, "a new scan");
            } else if (calls == 1 && vanished.empty()) {
                vanished = name;
                fs::remove(path);
            } else if (calls == 2 && Upper(name) == current) {
                second = name;
                fs::remove(path);
            }
        }
        return BarcodeRead{};
    };
    MoveBox(0);
    ASSERT_FALSE(replaced.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(ReadAll(box / replaced), "a new scan") << "a new file is not the page that moved";
    EXPECT_FALSE(fs::exists(out_ / Arrived("2024/BAX/AX000/" + vanished)));
    EXPECT_EQ(TreeOf(out_).size(), pages_.size() - 1);
    EXPECT_EQ(ReadAll(out_ / Arrived("2024/BAX/AX000/" + replaced)),
              pages_["2024/BAX/AX000/" + replaced]);
    // The vanished page is gone for everyone; the new scan is the next transfer's.
    pages_.erase("2024/BAX/AX000/" + vanished);
    fs::remove(box / replaced);
    ExpectEveryPageInOnePlace(false);
    EXPECT_TRUE(TreeOf(work_).empty());
    EXPECT_FALSE(fs::exists(box / second));
}

// Kills a process moving the boxes at `rounds` random moments of a whole move; whatever the
// moment, no page is lost or cut, and a second move completes the transfer. Gives the number of
// rounds that stopped the move halfway (something arrived, something is left).
int MoveFaultsTest::KillAtRandomMoments(int rounds, int boxes, std::mt19937& random) {
    const auto reset = [this, boxes] {
        fs::remove_all(work_);
        fs::remove_all(out_);
        pages_.clear();
        ScanBoxes(boxes, 2, 8192);
    };
    // The length of a whole move: the median of three.
    std::vector<long> spans;
    for (int run = 0; run < 3; ++run) {
        reset();
        const auto started = std::chrono::steady_clock::now();
        MoveAll();
        spans.push_back(std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count());
    }
    std::sort(spans.begin(), spans.end());
    // A child on a busy machine may be slower or faster than this process was: the span
    // follows what the kills find, so that most of them land inside the move.
    long span = spans[1];
    int halfway = 0;
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        reset();
        const long delay = std::uniform_int_distribution<long>(0, span + span / 5)(random);
        const pid_t child = fork();
        if (child == 0) {
            MoveAll();
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        SCOPED_TRACE("killed after " + std::to_string(delay) + " us of " + std::to_string(span));
        ExpectEveryPageInOnePlace(true);
        const bool started = !TreeOf(out_).empty();
        const bool finished = TreeOf(work_).empty();
        if (started && !finished) ++halfway;
        if (!started) span += span / 8 + 1;
        if (finished) span -= span / 8;
        ExpectSecondMoveCompletes();
    }
    return halfway;
}

TEST_F(MoveFaultsTest, KilledAtTwoHundredRandomMoments) {
    std::mt19937 random(20261207);
    job_.semaforo = "1";
    job_.semaforo_momentocreaz = "1";
    // Within one file system (hard links), then onto another one (copies).
    const int linked = KillAtRandomMoments(100, 6, random);
    UseDestination(fs::path("/dev/shm") / ("move_kill_" + std::to_string(getpid())));
    // Copies onto a tmpfs are quick: more of them, so that the kills can land inside.
    const int copied = KillAtRandomMoments(100, 16, random);
    fs::remove_all(out_);
    RecordProperty("halfway_linked", linked);
    RecordProperty("halfway_copied", copied);
    // Many kills must land inside the move, or the test would prove nothing.
    EXPECT_GT(linked, 10);
    EXPECT_GT(copied, 10);
}

}  // namespace
}  // namespace scantora
