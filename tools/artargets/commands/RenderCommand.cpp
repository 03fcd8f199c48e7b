#include "commands/RenderCommand.h"

#include <filesystem>

#include "checks/FileCheck.h"
#include "checks/ImageCheck.h"
#include "checks/SettingsFile.h"
#include "commands/CommandSupport.h"
#include "commands/OutputGuard.h"
#include "reports/TargetViews.h"
#include "support/InputFile.h"
#include "targets/TargetComparison.h"

namespace artargets {

int Render(const std::string& path, const std::string& out, const CheckOptions& given) {
  const CheckOptions options = SettingsFinder(given).For(path);  // the units the project uses
  if (!OutputAllowed(out, Output::kSvg, {path})) return 1;
  std::vector<TargetRecord> records;
  if (!Load(path, records)) return 1;
  SortByNameThenId(records);
  std::vector<int> scores;
  if (options.images) {
    std::vector<PlacedTarget> placed;
    for (const auto& r : records)
      placed.push_back({int(placed.size()) + 1, r.name, r.image, r.width, r.height, options.unit});
    const RatingCache cache = options.cache ? RatingCache::Usual() : RatingCache("");
    for (const auto& image : CheckImages(placed, ImageRoot(path, options.root), &cache))
      scores.push_back(image.target.image.empty() ? -1 : image.quality.score);
  }
  const std::string title =
      IsStandardStream(path) ? InputName(path) : std::filesystem::path(path).filename().string();
  std::string error;
  if (!WriteText(out, RenderSvg(records, title, scores, options.unit.name), error))
    return Fail(error);
  return 0;
}

}  // namespace artargets
