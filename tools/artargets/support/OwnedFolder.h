// Writing a folder of outputs without harming what the tool did not make. The folder may be
// missing, empty, or one the tool wrote before, which it knows by a file of its own (`marker`)
// inside; anything else is refused, naming the first thing in the way, and nothing changes.
// The new folder is made whole beside the old one and then swapped in with one rename, so that
// a failure or an interruption leaves the old folder as it was.
#pragma once

#include <functional>
#include <string>

namespace artargets {

// Fills the new folder: gets its path; false, with why, when it could not.
using FolderFiller = std::function<bool(const std::string& folder, std::string& error)>;

// Makes `folder` what `fill` writes. False, with why in `error`, when the folder holds what the
// tool did not make, or when it could not be written; it is then as it was.
bool WriteOwnedFolder(const std::string& folder, const std::string& marker,
                      const FolderFiller& fill, std::string& error);

}  // namespace artargets
