#include "TargetFilePath.h"

#include <string>

namespace ar {

du::Symbol TargetFilePath(const du::Symbol& directory, const du::Symbol& entryName,
                          const du::Symbol& entryFileName) {
  if (entryFileName.length() != 0) return entryFileName;

  std::string base = entryName;
  const auto open = base.rfind("<!");
  const auto close = base.rfind("!>");
  if (open != std::string::npos && close != std::string::npos) {
    // Both positions are the ones found before either removal.
    base.erase(close, 2);
    base.erase(open, 2);
  }
  std::string path = directory;
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '/';
  path += base;
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".xml") != 0) path += ".xml";
  return du::Symbol(path);
}

}  // namespace ar
