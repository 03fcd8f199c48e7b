// dp::ScopedReader and dp::ScopedWriter: hold a lock for one scope, released on every path,
// exceptions included. They work over any lock with ReadLock/ReadUnlock/WriteLock/WriteUnlock
// (dp::ReadWriteLock, orl::ReadWriteLock) and accept a null lock, which they leave alone:
// host objects may have no lock at all.
#pragma once

namespace dp {

template <class Lock>
class [[nodiscard]] ScopedReader {
 public:
  explicit ScopedReader(Lock* lock) : lock_(lock) {
    if (lock_) lock_->ReadLock();
  }
  ~ScopedReader() {
    if (lock_) lock_->ReadUnlock();
  }
  ScopedReader(const ScopedReader&) = delete;
  ScopedReader& operator=(const ScopedReader&) = delete;

 private:
  Lock* lock_;
};

template <class Lock>
class [[nodiscard]] ScopedWriter {
 public:
  explicit ScopedWriter(Lock* lock) : lock_(lock) {
    if (lock_) lock_->WriteLock();
  }
  ~ScopedWriter() {
    if (lock_) lock_->WriteUnlock();
  }
  ScopedWriter(const ScopedWriter&) = delete;
  ScopedWriter& operator=(const ScopedWriter&) = delete;

 private:
  Lock* lock_;
};

}  // namespace dp
