// The AR platforms a target file travels to: ARKit (an Xcode asset catalog's resource group),
// ARCore (an arcoreimg image list), Unity AR Foundation (a reference image library asset) and
// Vuforia (a device database's XML). Each is written as a folder of files and read back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "targets/TargetRecord.h"
#include "targets/Units.h"

namespace artargets {

enum class Platform { kArkit, kArcore, kUnity, kVuforia };

// "arkit", "arcore", "unity", "vuforia".
std::string PlatformName(Platform platform);
// "ARKit", "ARCore", "Unity AR Foundation", "Vuforia": as messages name it.
std::string PlatformTitle(Platform platform);
std::optional<Platform> PlatformNamed(const std::string& name);
// "arkit, arcore, unity, vuforia", for help and messages.
std::string PlatformNames();
const std::vector<Platform>& AllPlatforms();

// One file of an export: its path inside the export's folder, and its bytes, or the picture it
// is a copy of.
struct ExportedFile {
  std::string path;
  std::string bytes;
  std::string copyOf;  // a picture, copied as it is; `bytes` is then empty
};

// What an export starts from: the targets (in canonical order), the folder their image paths
// start at, the unit of the file's lengths, and the library's name (the target file's stem).
struct ExportSource {
  std::vector<TargetRecord> targets;
  std::string imageRoot;
  LengthUnit unit;
  std::string name;
};

// The files of `platform`'s library for `source`, the manifest (ExportManifest.h) among them.
std::vector<ExportedFile> ExportLibrary(Platform platform, const ExportSource& source);

// The targets a library folder (or, for ARCore and Vuforia, a list or XML file) holds: names,
// pictures (paths relative to `imageRoot`) and sizes in `unit`; a size the platform does not
// carry comes from the picture's shape. Where the export's manifest lies beside it, each target
// named there gets back its place in the model; the others stand at the origin, facing +z, right
// along +x. False, with why, when the library cannot be read.
bool ImportLibrary(Platform platform, const std::string& path, const std::string& imageRoot,
                   const LengthUnit& unit, std::vector<TargetRecord>& targets, std::string& error);

}  // namespace artargets
