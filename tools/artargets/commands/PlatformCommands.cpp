#include "commands/PlatformCommands.h"

#include <filesystem>
#include <iostream>
#include <map>

#include "checks/FileCheck.h"
#include "checks/PlatformChecks.h"
#include "commands/CommandSupport.h"
#include "commands/OwnedFolder.h"
#include "support/InputFile.h"
#include "support/SafeText.h"
#include "targets/TargetComparison.h"

namespace artargets {

namespace fs = std::filesystem;

namespace {

// The targets as check places them, in the order the export lists them.
std::vector<PlacedTarget> Placed(const std::vector<TargetRecord>& records, const LengthUnit& unit) {
  std::vector<PlacedTarget> placed;
  for (const TargetRecord& r : records)
    placed.push_back({int(placed.size()) + 1, r.name, r.image, r.width, r.height, unit, int(r.type),
                      r.id, r.center, r.normal, r.xdir, r.ydir, 0, r.rotation});
  return placed;
}

// What keeps the files from being written at all: a name that is no file name, two that clash,
// a picture that is not there to copy. Says each; true when there is any.
bool Blocked(const std::vector<Finding>& findings) {
  bool blocked = false;
  for (const Finding& f : findings) {
    const bool stops = f.code == "ART401" || f.code == "ART402" ||
                       (f.code == "ART404" && f.message.ends_with("is missing"));
    std::cerr << "artargets: " << (stops ? "" : "warning: ") << SafeText(f.message) << " ["
              << f.code << "]\n";
    blocked |= stops;
  }
  return blocked;
}

// The export's files with their bytes, the pictures read in; false, with why, when one cannot be.
bool FilesWithBytes(const std::vector<ExportedFile>& files,
                    std::map<std::string, std::string>& bytes, std::string& error) {
  for (const ExportedFile& file : files) {
    std::string& into = bytes[file.path];
    if (file.copyOf.empty()) {
      into = file.bytes;
    } else if (!ReadInputFile(file.copyOf, into, error)) {
      return error = "cannot read " + file.copyOf + ": " + error, false;
    }
  }
  return true;
}

// What the user does with the folder next.
std::string NextStep(Platform platform) {
  switch (platform) {
    case Platform::kArkit:
      return "drop the .arresourcegroup folder into an .xcassets catalog";
    case Platform::kArcore:
      return "README.md gives the arcoreimg build-db command";
    case Platform::kUnity:
      return "copy the folder into Assets/";
    case Platform::kVuforia:
      return "the binary .dat cannot be made here: upload the pictures to Vuforia's Target "
             "Manager, see README.md";
  }
  return {};
}

}  // namespace

int ExportToPlatform(const std::string& file, Platform platform, const std::string& out,
                     const LengthUnit& unit, const std::string& root) {
  ExportSource source;
  if (!Load(file, source.targets)) return 1;
  SortByNameThenId(source.targets);
  source.imageRoot = ImageRoot(file, root);
  source.unit = unit;
  source.name = IsStandardStream(file) ? "targets" : fs::path(file).stem().string();
  if (Blocked(PlatformFindings(Placed(source.targets, unit), source.imageRoot, {platform}, {})))
    return Fail("nothing is written to " + out);
  if (const std::string problem = OwnedFolderProblem(out, kExportFolder); !problem.empty())
    return Fail(problem);
  std::map<std::string, std::string> files;
  std::string error;
  if (!FilesWithBytes(ExportLibrary(platform, source), files, error) ||
      !WriteOwnedFolder(out, kExportFolder, files, error))
    return Fail(error);
  std::cout << SafeText(out) << ": " << source.targets.size() << " target"
            << (source.targets.size() == 1 ? "" : "s") << " for " << PlatformTitle(platform) << " ("
            << NextStep(platform) << ")"
            << "\n";
  return 0;
}

bool ReadPlatformLibrary(Platform platform, const std::string& in, const std::string& targetFile,
                         const LengthUnit& unit, std::vector<TargetRecord>& records) {
  std::string folder = fs::path(targetFile).parent_path().string(), error;
  if (folder.empty()) folder = ".";
  if (ImportLibrary(platform, in, fs::absolute(folder).string(), unit, records, error)) return true;
  Fail(error);
  return false;
}

}  // namespace artargets
