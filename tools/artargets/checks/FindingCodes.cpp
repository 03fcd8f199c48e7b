#include "checks/FindingCodes.h"

#include <algorithm>

namespace artargets {

const std::vector<FindingCode>& FindingCodes() {
  using enum Severity;
  static const std::vector<FindingCode> codes = {
      {"ART101", kError, "the file does not load",
       "Fix what the message names (XML syntax, the root's version, a missing \"targets\" "
       "element, git's conflict markers), or restore the file from version control."},
      {"ART102", kNote, "not a target file, skipped",
       "Nothing to do if the file is not meant to be a target file; otherwise give it the "
       "<augmentedreality version=\"1\"> root."},
      {"ART103", kWarning, "a value the reader cannot read",
       "Write the value in the form its element takes (a number in range, three coordinates); "
       "'artargets fmt' shows the canonical form."},
      {"ART104", kWarning, "a target of an unknown version, read as an empty target",
       "Give the target artargetversion 0, or write it again with 'artargets set'."},
      {"ART105", kWarning, "a property the reader ignores",
       "Remove the property or correct its key or type; 'artargets set' writes known keys only."},
      {"ART201", kError, "two type-1 targets share one id",
       "Give each type-1 target its own id ('artargets set FILE --index K --id N'): a host "
       "that finds a target by id gets either one."},
      {"ART202", kWarning, "a size that is not positive and finite",
       "Set the target's real width and height in the model's units ('--size W H')."},
      {"ART203", kWarning, "a centre that is not finite",
       "Set the centre to the target's place in the model ('--center X Y Z')."},
      {"ART204", kWarning, "a direction that is not of unit length",
       "Set the normal, x and y directions as unit vectors ('--normal', '--xdir', '--ydir')."},
      {"ART205", kWarning, "directions that are not perpendicular",
       "Make the normal, x and y directions perpendicular to each other (within 1 degree)."},
      {"ART206", kWarning,
       "a mirrored frame: the y direction is not the normal cross the x direction",
       "Reverse the y direction (or the normal) so that the image is not seen mirrored."},
      {"ART207", kWarning, "an image path that will not travel with the file",
       "Use a path relative to the file's folder that stays inside it, and keep the image there."},
      {"ART208", kWarning, "a name used by several targets",
       "Rename all but one ('artargets set FILE --index K --name NEW'): a scene shows only one "
       "target of a name."},
      {"ART301", kError, "the image is missing",
       "Put the image where the path points (relative paths start at --root or the file's "
       "folder), or correct the path."},
      {"ART302", kError, "the image cannot be read, decoded or rated",
       "Save it again as a JPEG or PNG image under 100 megapixels."},
      {"ART303", kWarning, "the image is too small",
       "Use an image of at least 300 pixels on its shorter side."},
      {"ART304", kWarning, "the image has another shape than the target",
       "Crop the image, or set the target's size, so that both have the same width / height."},
      {"ART305", kWarning, "the image is too coarse for the target's size",
       "Use a larger image, or check --units: a model in millimetres needs --units mm."},
      {"ART306", kWarning, "the image scores low for tracking",
       "Add detail that is not repeated, spread over the whole image, and raise its contrast."},
      {"ART307", kWarning, "the same picture as another target's",
       "Give each target a picture of its own; a tracker cannot tell two alike apart."},
      {"ART308", kWarning, "the target names no image",
       "Set the target's image ('artargets set FILE NAME --image PATH')."},
      {"ART309", kWarning, "the image is blurred",
       "Use a sharper original; do not enlarge a small image."},
      {"ART310", kWarning, "the image is mostly plain",
       "Crop the plain parts away or fill them with detail."},
      {"ART311", kNote, "the image is transparent and was rated on white",
       "Nothing if it is printed on white; otherwise flatten it onto its real background."},
      {"ART312", kNote, "the image's Exif orientation was applied",
       "Nothing; to be safe with other software, save it turned."},
      {"ART313", kWarning, "the same picture as another target's, re-encoded or rescaled",
       "Give each target a picture of its own."},
      {"ART314", kWarning, "the image looks like another target's",
       "Make the images differ where they match, or drop one target."},
      {"ART315", kWarning, "the print does not track as far as the working distance",
       "Print the target as wide as the message says (the far limit grows with the print), "
       "or improve the picture as for ART306."},
      {"ART316", kError, "the image scores under --fail-below",
       "Improve the picture as for ART306, or lower --fail-below."},
      {"ART401", kWarning, "a name a platform cannot use as a file name",
       "Rename the target ('artargets set FILE --index K --name NEW') without / \\ : * ? \" < > | "
       "or control characters, not empty and not ending in a space or a dot."},
      {"ART402", kWarning, "names that clash on a platform (the same, or but for case)",
       "Give each target a name of its own, also when upper and lower case are not told apart."},
      {"ART403", kWarning, "a name or picture path that is not ASCII (ARCore)",
       "Rename the target and its picture with ASCII letters, digits and punctuation only."},
      {"ART404", kWarning, "a picture the platform does not read, or none",
       "Save the picture as PNG or JPEG (ARKit also reads HEIF and TIFF) where the path points."},
      {"ART405", kWarning, "a picture too small for the platform",
       "Use a picture of more than 100 pixels on each side for ARKit, 300 or more for ARCore."},
      {"ART406", kWarning, "a picture Vuforia refuses: 2 MB or more, or CMYK",
       "Save the picture as an RGB or grey PNG or JPEG under 2 MB."},
      {"ART407", kWarning, "more images than one database holds (1,000)",
       "Split the targets into several files, one database each."},
      {"ART408", kWarning, "no positive width, which the platforms need to track at scale",
       "Set the target's printed size ('--size W H')."},
      {"ART409", kWarning, "a height ARKit would derive otherwise from the picture's shape",
       "Crop the picture, or set the size, so that width / height is the picture's shape."},
      {"ART410", kWarning, "a score under the platform's advice (ARCore: 75)",
       "Improve the picture as for ART306; 'artargets check --images' shows what lowers it."},
  };
  return codes;
}

const FindingCode* FindCode(std::string_view code) {
  const auto& codes = FindingCodes();
  const auto row = std::find_if(codes.begin(), codes.end(),
                                [&](const FindingCode& c) { return c.code == code; });
  return row == codes.end() ? nullptr : &*row;
}

std::string_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      return "note";
  }
  return "warning";
}

}  // namespace artargets
