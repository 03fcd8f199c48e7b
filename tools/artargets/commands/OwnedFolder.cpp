#include "commands/OwnedFolder.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <vector>

#include "commands/CommandSupport.h"
#include "support/InputFile.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

namespace fs = std::filesystem;

using Listed = std::set<std::string>;  // paths inside the folder, with "/" between folders

// Whether `name` is a path inside the folder: relative, and no part of it "..", "." or empty.
bool Inside(const std::string& name) {
  const fs::path path(name);
  if (name.empty() || !path.is_relative()) return false;
  return std::none_of(path.begin(), path.end(), [](const fs::path& part) {
    return part.empty() || part == "." || part == "..";
  });
}

// The files an earlier folder at `dir` lists; false when `dir` holds no marker of one (a list
// that names anything outside the folder is none: the tool removes what its list names).
bool ReadMarker(const fs::path& dir, const FolderOwner& owner, Listed& listed) {
  std::string text, why;
  if (!ReadInputFile((dir / owner.marker).string(), text, why)) return false;
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != owner.markerLine) return false;
  while (std::getline(lines, line)) {
    if (!Inside(line)) return listed.clear(), false;
    listed.insert(line);
  }
  return true;
}

bool HoldsListed(const Listed& listed, const std::string& folder) {
  return std::any_of(listed.begin(), listed.end(),
                     [&](const std::string& p) { return p.starts_with(folder + "/"); });
}

// The entries of `folder`, sorted, so that "the first thing in the way" is always the same one.
std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) entries.push_back(entry.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

// The first entry under `folder` (`inside` its path in the owned folder) that it does not own.
std::string FirstStranger(const fs::path& folder, const std::string& inside, const Listed& listed) {
  for (const fs::path& entry : Entries(folder)) {
    const std::string name = inside + entry.filename().string();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(entry, error);
    if (fs::is_regular_file(status) && listed.count(name)) continue;
    if (!fs::is_directory(status) || !HoldsListed(listed, name)) return entry.string();
    const std::string deeper = FirstStranger(entry, name + "/", listed);
    if (!deeper.empty()) return deeper;
  }
  return {};
}

// Writes one file of the folder, with its folders.
bool WriteOne(const fs::path& folder, const std::string& name, const PiecesWriter& write,
              std::string& error) {
  std::error_code made;
  fs::create_directories((folder / name).parent_path(), made);
  return WriteTextInPieces((folder / name).string(), write, error);
}

std::string MarkerText(const FolderOwner& owner, const std::map<std::string, PiecesWriter>& files) {
  std::string text = std::string(owner.markerLine) + "\n";
  for (const auto& [name, bytes] : files) text += name + "\n";
  return text;
}

// A new folder beside `dir`, readable as any folder the user makes; empty when it cannot be made.
std::string ScratchBeside(const fs::path& dir, std::string& error) {
  std::string pattern = (dir.parent_path() / ("." + dir.filename().string() + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data()))
    return error = "cannot write " + dir.string() + ": " + std::strerror(errno), std::string();
  const mode_t mask = ::umask(0);  // mkdtemp makes the folder private; its files are to be read
  ::umask(mask);
  std::error_code ignored;
  fs::permissions(pattern, static_cast<fs::perms>(0777 & ~mask), ignored);
  return pattern;
}

// Removes what the earlier folder at `old` wrote (as its marker lists it), then its folders;
// whatever else is found there is kept, and said.
void RemoveEarlier(const fs::path& old, const fs::path& dir, const FolderOwner& owner) {
  Listed listed;
  ReadMarker(old, owner, listed);
  std::error_code ignored, walking;
  for (const std::string& name : listed) fs::remove(old / name, ignored);
  fs::remove(old / owner.marker, ignored);
  std::vector<fs::path> folders;
  for (auto walk = fs::recursive_directory_iterator(old, walking);
       !walking && walk != fs::recursive_directory_iterator(); walk.increment(walking))
    if (walk->is_directory(ignored) && !walk->is_symlink(ignored)) folders.push_back(walk->path());
  std::sort(folders.rbegin(), folders.rend());                         // the deepest first
  for (const fs::path& folder : folders) fs::remove(folder, ignored);  // only if empty
  if (!fs::remove(old, ignored))
    std::cerr << "artargets: " << SafeText(old.string()) << " holds what the earlier " << owner.what
              << " at " << SafeText(dir.string()) << " did not write (it came while the "
              << owner.what << " was written); it is kept there\n";
}

// Where a file system cannot swap two folders in one step: the earlier folder moves aside to
// `made`'s name once the new one has moved out of it, and comes back if the new one cannot go in.
bool SwapInSteps(const fs::path& made, const fs::path& dir) {
  fs::path aside = made;
  aside += ".new";
  if (::rename(made.c_str(), aside.c_str()) != 0) return false;
  if (::rename(dir.c_str(), made.c_str()) != 0) return ::rename(aside.c_str(), made.c_str()), false;
  if (::rename(aside.c_str(), dir.c_str()) == 0) return true;
  const int why = errno;
  ::rename(made.c_str(), dir.c_str());
  ::rename(aside.c_str(), made.c_str());
  errno = why;
  return false;
}

// Puts `made` where `dir` is, in one step; an earlier folder then is at `made`. False with why.
bool Swap(const fs::path& made, const fs::path& dir, bool exists, const FolderOwner& owner,
          std::string& error) {
  const unsigned flags = exists ? RENAME_EXCHANGE : RENAME_NOREPLACE;
  if (::renameat2(AT_FDCWD, made.c_str(), AT_FDCWD, dir.c_str(), flags) == 0) return true;
  if (errno == EINVAL && exists && SwapInSteps(made, dir)) return true;
  if (errno == EINVAL && !exists && ::rename(made.c_str(), dir.c_str()) == 0) return true;
  error = "cannot put the " + std::string(owner.what) + " at " + dir.string() + ": " +
          std::strerror(errno);
  return false;
}

}  // namespace

std::string OwnedFolderProblem(const std::string& dir, const FolderOwner& owner) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(dir, error);
  if (!fs::exists(status)) return {};
  const std::string what = owner.what;
  const std::string refusal =
      "will not write " + std::string(what == "export" ? "an " : "a ") + what + " to " + dir + ": ";
  if (!fs::is_directory(status))
    return refusal + "it is " + (fs::is_symlink(status) ? "a link" : "a file") +
           ", not a folder, and it is left as it is (give -o a new or empty folder, or an "
           "earlier " +
           what + "'s)";
  Listed listed;
  const bool earlier = ReadMarker(dir, owner, listed);
  if (earlier) listed.insert(owner.marker);  // a marker of another kind is in the way
  const std::string stranger = FirstStranger(dir, "", earlier ? listed : Listed{});
  if (stranger.empty()) return {};
  return refusal + stranger + " is there, and " + dir +
         (earlier ? " is an earlier " + what + " that did not write it"
                  : " is not " + std::string(what == "export" ? "an " : "a ") + what +
                        " artargets wrote (it has no " + owner.marker + " listing its files)") +
         "; nothing was changed (give -o a new or empty folder, or move what is in the way)";
}

bool WriteOwnedFolder(const std::string& dir, const FolderOwner& owner,
                      const std::map<std::string, PiecesWriter>& files, std::string& error) {
  fs::path target = fs::absolute(fs::path(dir)).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();  // "report/": the folder itself
  const std::string made = ScratchBeside(target, error);
  if (made.empty()) return false;
  bool written = true;
  for (const auto& [name, write] : files) written = written && WriteOne(made, name, write, error);
  const std::string marker = MarkerText(owner, files);
  written = written && WriteText((fs::path(made) / owner.marker).string(), marker, error);
  // Checked again: something may have come into the folder while it was made.
  const std::string problem = written ? OwnedFolderProblem(dir, owner) : "";
  std::error_code there;
  const bool earlier = fs::exists(target, there);
  if (written && problem.empty() && Swap(made, target, earlier, owner, error)) {
    if (earlier) RemoveEarlier(made, target, owner);
    return true;
  }
  if (!problem.empty()) error = problem;
  std::error_code ignored;
  fs::remove_all(made, ignored);
  return false;
}

bool WriteOwnedFolder(const std::string& dir, const FolderOwner& owner,
                      const std::map<std::string, std::string>& files, std::string& error) {
  std::map<std::string, PiecesWriter> writers;
  for (const auto& [name, bytes] : files)
    writers.emplace(name, [&bytes](const TextPieces& put) { return put(bytes); });
  return WriteOwnedFolder(dir, owner, writers, error);
}

}  // namespace artargets
