// export --to PLATFORM and import --from PLATFORM: a target file as an AR platform's reference
// image library, and back (see Platforms.h and docs/platforms.md).
#pragma once

#include <string>
#include <vector>

#include "platforms/Platforms.h"
#include "targets/TargetRecord.h"
#include "targets/Units.h"

namespace artargets {

// Writes the library of `file`'s targets for `platform` into the folder `out`, all or nothing
// (OwnedFolder.h: an earlier export's folder is replaced, nothing else). Image paths start at
// `root`, or the file's folder when empty.
int ExportToPlatform(const std::string& file, Platform platform, const std::string& out,
                     const LengthUnit& unit, const std::string& root);

// The targets of the library at `in`, with picture paths relative to the folder of `targetFile`
// (the file they are imported into); false once it said why.
bool ReadPlatformLibrary(Platform platform, const std::string& in, const std::string& targetFile,
                         const LengthUnit& unit, std::vector<TargetRecord>& records);

}  // namespace artargets
