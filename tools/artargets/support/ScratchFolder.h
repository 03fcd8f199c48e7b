// A private folder in the system's temporary folder ($TMPDIR, else /tmp) that goes, with
// everything in it, when its owner does.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace artargets {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& purpose) {
    std::error_code error;
    std::string pattern =
        (std::filesystem::temp_directory_path(error) / ("artargets-" + purpose + "-XXXXXX"))
            .string();
    if (!error && ::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Empty when the folder could not be made.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace artargets
