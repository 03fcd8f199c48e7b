#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "HostSystemCalls.h"
#include "HostTest.h"
#include "TempDir.h"
#include "du/FileWriter.h"

namespace {

using artest::ReadFile;
using artest::WriteFile;
using du::FileWriter;

// Stands in for the runtime's system calls for one test: every call is written down in `g_calls`
// ("write", "direct write" past the page cache, "fsync file", "fsync folder", "link", "rename"),
// and the faults asked for happen.
std::vector<std::string> g_calls;
artest::SystemCalls g_real;
bool g_noUnnamedFiles = false;      // openat with O_TMPFILE fails as on a file system without them
int g_writeError = 0;               // every write fails with this errno
int g_directWriteError = 0;         // writes past the page cache fail with this errno,
int g_directWritesTaken = 0;        // after this many of them were taken
bool g_directWritesHalved = false;  // a write past the page cache takes half its bytes (4 KiB-wise)
int g_blockWritesOn = -1;           // a pipe: the first write reports on it, then the writer hangs
int g_folderSyncError = 0;          // syncing the folder fails with this errno
bool g_termInRename = false;        // SIGTERM arrives just before the rename

struct WatchedCalls {
  WatchedCalls() {
    g_real = artest::RealSystemCalls();
    g_calls.clear();
    artest::HostSystemCalls() = {
        [](int folder, const char* name, int flags, mode_t mode) {
          if (g_noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) return errno = EOPNOTSUPP, -1;
          return g_real.openat(folder, name, flags, mode);
        },
        [](int fd, const void* bytes, std::size_t length) -> ssize_t {
          const int flags = ::fcntl(fd, F_GETFL);
          const bool direct = flags >= 0 && (flags & O_DIRECT) != 0;
          g_calls.push_back(direct ? "direct write" : "write");
          if (g_blockWritesOn >= 0 && ::write(g_blockWritesOn, "w", 1) == 1) ::pause();
          if (g_writeError != 0) return errno = g_writeError, -1;
          if (direct && g_directWriteError != 0 && g_directWritesTaken-- <= 0)
            return errno = g_directWriteError, -1;
          if (direct && g_directWritesHalved) length = std::max(length / 2 & ~4095ul, 4096ul);
          return g_real.write(fd, bytes, length);
        },
        [](int fd) {
          struct stat st {};
          ::fstat(fd, &st);
          g_calls.push_back(S_ISDIR(st.st_mode) ? "fsync folder" : "fsync file");
          if (S_ISDIR(st.st_mode) && g_folderSyncError != 0) return errno = g_folderSyncError, -1;
          return g_real.fsync(fd);
        },
        [](int from, const char* a, int to, const char* b, int flags) {
          g_calls.push_back("link");
          return g_real.linkat(from, a, to, b, flags);
        },
        [](int from, const char* a, int to, const char* b) {
          g_calls.push_back("rename");
          if (g_termInRename) ::raise(SIGTERM);
          return g_real.renameat(from, a, to, b);
        }};
  }
  ~WatchedCalls() {
    artest::HostSystemCalls() = g_real;
    g_noUnnamedFiles = false;
    g_writeError = 0;
    g_directWriteError = 0;
    g_directWritesTaken = 0;
    g_directWritesHalved = false;
    g_blockWritesOn = -1;
    g_folderSyncError = 0;
    g_termInRename = false;
  }
};

class FileWriterTest : public artest::HostTest {
 protected:
  bool Write(const std::string& path, const std::string& text, unsigned buffer = 8192) {
    if (!writer_->Open(path, 0, buffer, true)) return false;
    writer_->Write1ByteArray(text.data(), static_cast<std::uint32_t>(text.size()));
    return writer_->Close();
  }
  mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
  }

  WatchedCalls watched_;
  du::SmartPtr<FileWriter> writer_ = FileWriter::Construct();
  artest::TempDir dir_;
  const std::string path_ = dir_.File("targets.xml");
};

// Each of its tests runs with unnamed files (true) and as on a file system without them.
class FileWriterEitherWayTest : public FileWriterTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override { g_noUnnamedFiles = !GetParam(); }
  const bool unnamed_ = GetParam();
};
INSTANTIATE_TEST_SUITE_P(UnnamedFiles, FileWriterEitherWayTest, ::testing::Bool());

// The new file is durable before it replaces the old one, and the replacement is durable
// before Close returns; with or without unnamed files, and for a writer used twice.
TEST_P(FileWriterEitherWayTest, SyncsTheFileBeforeTheRenameAndTheFolderAfter) {
  for (const char* text : {"first", "second"}) {
    g_calls.clear();
    ASSERT_TRUE(Write(path_, text)) << writer_->GetLastError();
    std::vector<std::string> expected{"write", "fsync file", "rename", "fsync folder"};
    if (unnamed_) expected.insert(expected.begin() + 2, "link");
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(ReadFile(path_), text);
    EXPECT_EQ(dir_.Listing(), "targets.xml;");
  }
}

// Every way a save can fail keeps the previous file and leaves the folder as it was.
TEST_P(FileWriterEitherWayTest, FailedSavesKeepThePreviousFileAndSayWhy) {
  struct Row {
    const char* name;
    int writeError;
    bool released;  // the writer goes without Close
    bool occupied;  // the target is a folder
    const char* reason;
  };
  const Row rows[] = {
      {"disk full", ENOSPC, false, false, "cannot write the new"},
      {"released without close", 0, true, false, ""},
      {"target is a folder", 0, false, true, "cannot replace"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    artest::TempDir dir;
    const std::string path = dir.File("t");
    if (!row.occupied) WriteFile(path, "precious");
    g_writeError = row.writeError;
    auto writer = FileWriter::Construct();
    ASSERT_TRUE(writer->Open(path, 0, 0, true));
    if (row.occupied) {  // after Open, which refuses a folder
      std::filesystem::create_directory(path);
      WriteFile(path + "/inside", "kept");
    }
    writer->Write1ByteArray("new", 3);
    if (!row.released) {
      EXPECT_FALSE(writer->Close());
      EXPECT_NE(writer->GetLastError().find(row.reason), std::string::npos)
          << writer->GetLastError();
    }
    writer = nullptr;
    EXPECT_EQ(ReadFile(row.occupied ? path + "/inside" : path), row.occupied ? "kept" : "precious");
    EXPECT_EQ(dir.Listing(), "t;");
  }
}

// A save killed while it writes leaves at most a temporary that the next save removes; a save
// still writing keeps its temporary through another save of the file, and then lands.
TEST_P(FileWriterEitherWayTest, NextSaveRemovesWhatAKilledSaveLeftAndSparesALiveOne) {
  for (bool killed : {true, false}) {
    SCOPED_TRACE(killed ? "killed" : "live");
    WriteFile(path_, "old");
    auto live = FileWriter::Construct();
    if (killed) {
      int ready[2];
      ASSERT_EQ(::pipe(ready), 0);
      const pid_t child = ::fork();
      if (child == 0) {
        g_blockWritesOn = ready[1];
        if (live->Open(path_, 0, 0, true)) live->Write1ByteArray("new", 3);
        ::_exit(1);  // only when the write did not block
      }
      char byte = 0;
      ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the child blocks inside its write";
      ::kill(child, SIGKILL);
      ::waitpid(child, nullptr, 0);
      ::close(ready[0]);
      ::close(ready[1]);
    } else {
      ASSERT_TRUE(live->Open(path_, 0, 0, true));
      ASSERT_TRUE(live->Write1ByteArray("live", 4));
    }
    EXPECT_EQ(ReadFile(path_), "old");
    const std::string left = dir_.Listing();
    if (unnamed_)
      EXPECT_EQ(left, "targets.xml;");
    else
      EXPECT_EQ(left.rfind(".targets.xml.tmp", 0), 0u) << left;
    ASSERT_TRUE(Write(path_, "saved"));
    EXPECT_EQ(dir_.Listing(), killed ? "targets.xml;" : left);
    EXPECT_EQ(ReadFile(path_), "saved");
    if (killed) continue;
    EXPECT_TRUE(live->Close()) << live->GetLastError();
    EXPECT_EQ(ReadFile(path_), "live");
    EXPECT_EQ(dir_.Listing(), "targets.xml;");
  }
}

// Once the new file is named, the rename follows whatever signal comes (SIGKILL aside), and a
// rename that may not last through a crash fails the save.
TEST_P(FileWriterEitherWayTest, FinishesTheRenameBeforeASignalAndFailsWhenTheFolderCannotSync) {
  WriteFile(path_, "old");
  const pid_t child = ::fork();
  if (child == 0) {
    g_termInRename = true;
    Write(path_, "new");
    ::_exit(0);  // only when the signal never came
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(ReadFile(path_), "new");
  EXPECT_EQ(dir_.Listing(), "targets.xml;");
  g_folderSyncError = EIO;
  EXPECT_FALSE(Write(path_, "newer"));
  EXPECT_NE(writer_->GetLastError().find("cannot sync the folder of"), std::string::npos);
  EXPECT_EQ(ReadFile(path_), "newer") << "in place all the same";
}

bool FolderTakesDirectWrites(const std::string& folder) {
  const std::string probe = folder + "/direct-probe";
  const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY | O_DIRECT | O_CLOEXEC, 0600);
  void* block = std::aligned_alloc(4096, 4096);
  const bool taken = fd >= 0 && block && ::write(fd, std::memset(block, 0, 4096), 4096) == 4096;
  std::free(block);
  if (fd >= 0) ::close(fd);
  ::unlink(probe.c_str());
  return taken;
}

// A large write goes past the page cache in whole aligned blocks, its ends through the cache;
// however the disk takes those blocks, the file gets every byte in order, or the save fails and
// keeps the previous file.
TEST_F(FileWriterTest, LargeWritesGoPastThePageCacheAndLoseNoByte) {
  if (!FolderTakesDirectWrites(dir_.path())) GTEST_SKIP() << "no direct writes in " << dir_.path();
  std::string large((std::size_t{16} << 20) + 5000, ' ');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>('a' + i % 23);
  struct Row {
    const char* name;
    int error;  // of the direct writes past the first `taken`
    int taken;
    bool halved;
    bool saved;
    // Before the sync (empty: not checked). The gathered "abc" and the 4,093 bytes up to an
    // aligned offset go first, the last 907 bytes last.
    std::vector<std::string> calls;
  };
  const std::string direct = "direct write", cached = "write";
  const Row rows[] = {
      {"taken", 0, 0, false, true, {cached, cached, direct, direct, direct, direct, cached}},
      {"taken half at a time", 0, 0, true, true, {}},
      {"refused by the file system", EINVAL, 0, false, true, {cached, cached, direct, cached}},
      {"refused midway", EINVAL, 2, false, true, {cached, cached, direct, direct, direct, cached}},
      {"disk full", ENOSPC, 0, false, false, {cached, cached, direct}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFile(path_, "precious");
    g_calls.clear();
    g_directWriteError = row.error;
    g_directWritesTaken = row.taken;
    g_directWritesHalved = row.halved;
    ASSERT_TRUE(writer_->Open(path_, 0, 8192, true));
    ASSERT_TRUE(writer_->Write1ByteArray("abc", 3));
    const bool written =
        writer_->Write1ByteArray(large.data(), static_cast<std::uint32_t>(large.size()));
    EXPECT_EQ(writer_->Close() && written, row.saved) << writer_->GetLastError();
    const std::string kept = ReadFile(path_);
    EXPECT_TRUE(row.saved ? kept == "abc" + large : kept == "precious") << kept.size() << " bytes";
    const auto sync = std::find(g_calls.begin(), g_calls.end(), "fsync file");
    const std::vector<std::string> calls(g_calls.begin(), sync);
    if (!row.calls.empty()) {
      EXPECT_EQ(calls, row.calls);
    } else {  // each block in more than one write
      EXPECT_GT(std::count(calls.begin(), calls.end(), direct), 4);
    }
    const std::string why = row.saved ? "" : std::strerror(ENOSPC);
    EXPECT_NE(writer_->GetLastError().find(why), std::string::npos) << writer_->GetLastError();
  }
}

// Links, modes and the umask: what a save keeps of the file and of the process.
TEST_F(FileWriterTest, KeepsLinksAndModesAndAppliesTheUmask) {
  const std::string real = dir_.File("real.xml"), link = dir_.File("link.xml");
  WriteFile(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("real.xml", link.c_str()), 0);
  ASSERT_TRUE(Write(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link stays";
  EXPECT_EQ(ReadFile(real), "new");
  EXPECT_EQ(ModeOf(real), 0600u) << "the mode of the replaced file is kept";

  const mode_t previous = ::umask(027);
  ASSERT_TRUE(Write(dir_.File("fresh.xml"), "x"));
  EXPECT_EQ(::umask(previous), 027u) << "the umask is left alone";
  EXPECT_EQ(ModeOf(dir_.File("fresh.xml")), 0640u);
}

TEST_F(FileWriterTest, BuffersInOrderAndRefusesMisuseWithAReason) {
  ASSERT_TRUE(writer_->Open(path_, 0, 4, true));
  for (const char* piece : {"ab", "cdefg", "", "hij"})
    ASSERT_TRUE(writer_->Write1ByteArray(piece, static_cast<std::uint32_t>(std::strlen(piece))));
  EXPECT_FALSE(writer_->Open(path_, 0, 4, true)) << "open already";
  EXPECT_EQ(ReadFile(path_), "") << "the target changes only when closed";
  ASSERT_TRUE(writer_->Close());
  EXPECT_EQ(ReadFile(path_), "abcdefghij");
  EXPECT_FALSE(writer_->Close());
  EXPECT_FALSE(writer_->Write1ByteArray("x", 1));
  EXPECT_EQ(writer_->GetLastError(), "the writer is not open");
  EXPECT_FALSE(writer_->Open(path_, 0, 0, false)) << "must not replace when told not to";
  EXPECT_FALSE(writer_->Open(dir_.File("missing/targets.xml"), 0, 0, true));
  EXPECT_NE(writer_->GetLastError().find("No such file or directory"), std::string::npos)
      << writer_->GetLastError();
  EXPECT_EQ(ReadFile(path_), "abcdefghij");
}

}  // namespace
