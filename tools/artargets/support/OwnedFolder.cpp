#include "support/OwnedFolder.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>

namespace artargets {

namespace fs = std::filesystem;

namespace {

// Why the tool may not replace `folder`; empty when it may.
std::string InTheWay(const fs::path& folder, const std::string& marker) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(folder, error);
  if (!fs::exists(status)) return {};
  if (!fs::is_directory(status)) return folder.string() + " is not a folder; it is left as it is";
  if (fs::exists(folder / marker, error)) return {};
  for (const auto& entry : fs::directory_iterator(folder, error))
    return folder.string() + " holds " + entry.path().filename().string() +
           ", which this tool did not write; name an empty or new folder";
  return error ? "cannot read the folder " + folder.string() + ": " + error.message()
               : std::string();
}

}  // namespace

bool WriteOwnedFolder(const std::string& folder, const std::string& marker,
                      const FolderFiller& fill, std::string& error) {
  const fs::path target = fs::path(folder).lexically_normal();
  error = InTheWay(target, marker);
  if (!error.empty()) return false;
  const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string pattern = (parent / ("." + target.filename().string() + ".new-XXXXXX")).string();
  if (!::mkdtemp(pattern.data()))
    return error = "cannot make a folder in " + parent.string(), false;
  std::error_code ignored;
  if (!fill(pattern, error)) {
    fs::remove_all(pattern, ignored);
    return false;
  }
  // Swap with the earlier folder in one step when there is one; otherwise just name the new.
  const bool replacing = fs::exists(target, ignored);
  const int swapped =
      replacing ? ::renameat2(AT_FDCWD, pattern.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE)
                : ::rename(pattern.c_str(), target.c_str());
  if (swapped != 0) {
    error = "cannot put the new folder in place of " + target.string();
    fs::remove_all(pattern, ignored);
    return false;
  }
  if (replacing) fs::remove_all(pattern, ignored);  // the earlier folder, swapped out
  return true;
}

}  // namespace artargets
