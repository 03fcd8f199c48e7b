// ARCore: the image list `arcoreimg build-db` reads, one NAME|PATH|WIDTH_IN_METRES line per
// image (the line number is the image's index in the database), with the pictures beside it in
// images/ and a README that gives the command line building the database.
#include <filesystem>
#include <sstream>

#include "platforms/LibraryFiles.h"
#include "platforms/PlatformLibraries.h"
#include "support/InputFile.h"

namespace artargets {

namespace fs = std::filesystem;

namespace {

constexpr char kList[] = "image-list.txt";

std::string ArcoreReadme(const std::string& name) {
  return "# " + name +
         " for ARCore\n\n"
         "`" +
         std::string(kList) +
         "` lists the images, one `NAME|PATH|WIDTH_IN_METRES` line "
         "each; the pictures are in `images/`.\nBuild the augmented image database from this "
         "folder (arcoreimg resolves the paths from where it runs):\n\n"
         "```sh\ncd FOLDER  # the folder this README is in\n"
         "arcoreimg build-db --input_image_list_path=" +
         kList + " --output_db_path=" + name +
         ".imgdb\n```\n\n"
         "Then load `" +
         name +
         ".imgdb` with `AugmentedImageDatabase.deserialize`. Each "
         "image's place in the model is in `artargets-manifest.json`.\n";
}

}  // namespace

std::vector<ExportedFile> ExportArcore(const ExportSource& source) {
  std::vector<ExportedFile> files;
  std::string list;
  for (const TargetRecord& target : source.targets) {
    const std::string picture = "images/" + target.name + PictureExtension(target);
    files.push_back(PictureCopy(picture, target, source.imageRoot));
    list +=
        target.name + "|" + picture + "|" + NumberText(target.width * source.unit.metres) + "\n";
  }
  files.push_back({kList, list, ""});
  files.push_back({"README.md", ArcoreReadme(source.name), ""});
  return files;
}

bool ImportArcore(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                  std::vector<TargetRecord>& targets, std::string& error) {
  const fs::path list = fs::is_directory(path) ? fs::path(path) / kList : fs::path(path);
  std::string text;
  if (!ReadInputFile(list.string(), text, error))
    return error = "cannot read " + list.string() + ": " + error, false;
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty() || line == "\r") continue;
    if (line.back() == '\r') line.pop_back();
    const std::size_t bar = line.find('|'), second = line.find('|', bar + 1);
    if (bar == std::string::npos)
      return error = list.string() + ": line " + std::to_string(number) +
                     " is not NAME|PATH or NAME|PATH|WIDTH",
             false;
    TargetRecord target;
    target.name = line.substr(0, bar);
    const fs::path picture =
        line.substr(bar + 1, second == std::string::npos ? std::string::npos : second - bar - 1);
    target.image =
        fs::relative(picture.is_absolute() ? picture : list.parent_path() / picture, imageRoot)
            .lexically_normal()
            .string();
    double metres = 0;
    if (second != std::string::npos) {
      std::istringstream width(line.substr(second + 1));
      if (!(width >> metres))
        return error = list.string() + ": line " + std::to_string(number) +
                       ": the width is not a number",
               false;
    }
    target.width = metres / unit.metres;
    target.height = HeightFromPicture(PicturePath(target, imageRoot), target.width, 0);
    targets.push_back(std::move(target));
  }
  return true;
}

}  // namespace artargets
