// du::FileWriter: writes a file so that a failed or interrupted save never destroys the
// previous one. Open creates a temporary file next to the target; Close flushes it to disk and
// renames it over the target. A writer released without a successful Close removes its
// temporary file and leaves the target as it was.
//
// Use: auto w = FileWriter::Construct(); if (w && w->Open(path, 0, 8192, true)) {
//        w->Write1ByteArray(bytes, n); w->Close(); }
// Every failure keeps its reason in GetLastError() ("cannot create temporary file in
// /a/b: No such file or directory"). Thread rules: one thread at a time per writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArHostExport.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"

namespace du {

class ARHOST_API FileWriter : public virtual RefCounted {
 public:
  // A new, unopened writer (empty only when memory is exhausted).
  static SmartPtr<FileWriter> Construct();

  // Opens a temporary file beside `path`.
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
  // Flushes, syncs and renames the temporary file over the target. False on any failure, in
  // which case the target is untouched and the temporary file is gone.
  bool Close();

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& GetLastError() const { return lastError_; }

 protected:
  FileWriter() = default;
  ~FileWriter() override;

 private:
  bool Fail(const std::string& what);
  bool WriteAll(const char* bytes, std::size_t length);
  bool Flush();
  void Discard();

  int fd_ = -1;
  bool failed_ = false;
  std::string path_;
  std::string tempPath_;
  std::vector<char> buffer_;
  std::size_t bufferLimit_ = 0;
  std::string lastError_;
};

}  // namespace du
