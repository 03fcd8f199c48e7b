// du::FileEditLock: serialises the edits of one file by several processes. It holds an advisory
// lock (flock) on the folder that holds the file, not on the file itself: a save replaces the
// file by a rename, and a lock on the old file would not reach the new one. Nothing is created
// beside the file, so a killed holder leaves nothing behind; the kernel lets go of the lock
// when the holder's process ends.
//
// Use: du::FileEditLock lock(path); if (!lock.IsHeld()) report lock.GetLastError();
//      read, change, save; the lock goes with the object.
// The lock is per process: inside one process, taking it again (a tool that reads and then saves
// through the host's file writer, which takes it too) only counts, so a process never waits for
// itself. Threads of one process are not kept apart by it; they share the process's hold.
// Symbolic links are followed: a link and the file it names share one lock.
#pragma once

#include <string>

#include "ArHostExport.h"

namespace du {

class ARHOST_API FileEditLock {
 public:
  // Blocks until no other process holds the lock of `path`'s folder; not held (see GetLastError)
  // when the folder cannot be opened or `path`'s links cannot be followed.
  explicit FileEditLock(const std::string& path);
  ~FileEditLock();
  FileEditLock(const FileEditLock&) = delete;
  FileEditLock& operator=(const FileEditLock&) = delete;

  bool IsHeld() const { return !folder_.empty(); }
  const std::string& GetLastError() const { return lastError_; }

  // The file a save of `path` writes, into `resolved`: `path` with every symbolic link on the way
  // followed, also a link to a file that does not exist yet. False, with the reason in `error`,
  // when the links cannot be followed (a loop, a folder on the way that is missing or is not one).
  static bool Resolve(const std::string& path, std::string& resolved, std::string& error);

 private:
  std::string folder_;
  std::string lastError_;
};

}  // namespace du
