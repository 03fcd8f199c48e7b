// du::FileWriter: writes a file so that a failed or interrupted save never destroys the
// previous one and leaves nothing behind.
//
// Open creates an unnamed file (O_TMPFILE) in the target's folder; Close flushes it, syncs it,
// gives it a temporary name (linkat), renames it over the target and syncs the folder, so that
// after a crash either the old or the new file is there, whole. A save killed before Close
// leaves nothing, as an unnamed file dies with its process. Between the naming and the rename
// (no system call links a file over another) every signal that can be held waits, so only
// SIGKILL or a crash in those microseconds leaves a named temporary ".NAME.tmpXXXXXX". Where the
// file system has no unnamed files, Open creates that named temporary at once instead. Either
// way the writer holds an advisory lock on its temporary while it lives, and the next save of
// the same file removes every such temporary whose lock is free, that is, whose writer is gone.
//
// A large file goes to the disk while it is being written: every 32 MiB the writer asks the
// kernel to start writing back what it has (sync_file_range), so that the sync at Close waits
// only for the last part. A single write of 16 MiB or more goes past the page cache instead
// (O_DIRECT, in whole 4 KiB blocks; the ends of it through the cache), as the sync at Close
// would wait for all of it anyway: the file's bytes are then on the disk and not in memory,
// and a file system without direct writes gets them the ordinary way.
//
// A path that is a symbolic link writes the file the link points to; the link stays. A link
// that cannot be followed (a loop) fails Open, and so does a path that names something other
// than a regular file (a folder, a FIFO, a device): neither is ever replaced. The new
// file is created with mode 0666 less the process's umask (the kernel applies it; the umask is
// never changed), or keeps the mode of the file it replaces. Close holds the FileEditLock of
// the target, so a save never lands in the middle of another process's read-change-save.
//
// Use: auto w = FileWriter::Construct(); if (w && w->Open(path, 0, 8192, true)) {
//        w->Write1ByteArray(bytes, n); w->Close(); }
// Every failure keeps its reason in GetLastError() ("cannot write /a/.b.tmp: No space left on
// device"). Thread rules: one thread at a time per writer; a writer may be opened again after
// Close.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArHostExport.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"

namespace du {

class DirectWrites;

class ARHOST_API FileWriter : public virtual RefCounted {
 public:
  // A new, unopened writer (empty only when memory is exhausted).
  static SmartPtr<FileWriter> Construct();

  // Opens a new file for `path` (see above).
  //   mode: permission bits of the new file; 0 keeps an existing target's bits, or gives
  //         0666 less the umask for a new one.
  //   bufferSize: bytes gathered in memory before they are written; 0 writes through, and so
  //               does any single write of at least this size.
  //   replaceExisting: false makes Open fail when `path` already exists.
  // Returns false (and keeps the reason) when the file cannot be created or the writer is
  // already open.
  bool Open(const std::string& path, int mode, unsigned bufferSize, bool replaceExisting);
  // Appends `length` bytes. False when the writer is not open or the disk refuses them; the
  // writer then stays failed and Close will not replace the target.
  bool Write1ByteArray(const void* bytes, std::uint32_t length);
  // Flushes, syncs and puts the new file in place of the target. False on any failure, in
  // which case the target and its folder are as they were, but for one: when the folder cannot
  // be synced after the rename, the new file is in place, and the reason says so.
  bool Close();

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& GetLastError() const { return lastError_; }

 protected:
  FileWriter();
  ~FileWriter() override;

 private:
  bool Fail(const std::string& what);
  bool CreateFile(mode_t keepMode);
  bool CreateNamedFile();
  bool WriteAll(const char* bytes, std::size_t length);
  bool WriteThroughCache(const char* bytes, std::size_t length);
  void StartWriteBack(std::size_t written);
  void StartWriteBackOfAll();
  bool Flush();
  bool PutInPlace();
  void RemoveAbandonedTemporaries() const;
  void Discard();

  int fd_ = -1;
  int folderFd_ = -1;
  bool failed_ = false;
  std::string path_;      // the target, links resolved
  std::string baseName_;  // its name inside its folder
  std::string tempName_;  // the named temporary, once there is one
  std::vector<char> buffer_;
  std::size_t bufferLimit_ = 0;
  std::size_t written_ = 0;      // bytes in the new file
  std::size_t writtenBack_ = 0;  // of which the disk has been asked to start on
  static constexpr std::size_t kWriteBackStep = std::size_t{32} << 20;
  std::string lastError_;
  // Last, so that the members GetLastError reads (inline, in callers) keep their offsets.
  std::unique_ptr<DirectWrites> direct_;  // made for the first large write
};

}  // namespace du
