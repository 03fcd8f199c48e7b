#include "checks/FindingCodes.h"

#include <algorithm>

namespace artargets {

const std::vector<FindingCode>& FindingCodes() {
  using enum Severity;
  static const std::vector<FindingCode> codes = {
      {"ART101", kError, "the file does not load",
       "A host that cannot read the file shows none of its targets, and the tool refuses to edit "
       "it.",
       "Fix what the message names (XML syntax, the root's version, a missing \"targets\" element, "
       "git's conflict markers), or restore the file from version control.",
       "A merge left git's conflict markers (<<<<<<< ours) in hall.xml: check says \"cannot load\" "
       "and names the line."},
      {"ART102", kNote, "not a target file, skipped",
       "A folder given to check may hold other XML files; each is named, so that a target file "
       "with a wrong root is not passed over unseen.",
       "Nothing to do if the file is not meant to be a target file; otherwise give it the "
       "<augmentedreality version=\"1\"> root.",
       "models/notes.xml has the root <notes>: it is skipped with this note."},
      {"ART103", kWarning, "a value the reader cannot read",
       "The plug-in skips the value, so the target keeps its default (type 0, size 0) where the "
       "file meant another.",
       "Write the value in the file in the form its element takes (a number in range, three "
       "coordinates); the tool keeps an element it cannot read through every edit, and fmt shows "
       "the canonical form.",
       "<uint8 key=\"artargettype\" value=\"300\"/> does not fit a uint8: write 1 there."},
      {"ART104", kWarning, "a target of an unknown version, read as an empty target",
       "The plug-in reads a target of another version as an empty one: no name, no size, no image, "
       "and a host shows nothing there.",
       "Write the element again by hand as version 0, or drop the empty target: 'artargets remove "
       "FILE --index K'.",
       "A target written with artargetversion 3 lists as \"\"; 'artargets remove hall.xml --index "
       "1' drops it."},
      {"ART105", kWarning, "a property the reader ignores",
       "The value has no effect: a mistyped key or a wrong type leaves the target without what was "
       "meant.",
       "Remove the property, or correct its key or type, in the file: the tool keeps what the "
       "reader ignores through every edit.",
       "<string key=\"artargetcolour\" value=\"red\"/>: targets have no colour, so the plug-in "
       "ignores it."},
      {"ART201", kError, "two type-1 targets share one id",
       "A host that finds a target by id gets either one, and shows the content of the other.",
       "Give each type-1 target its own id: 'artargets set FILE --index K --id N'.",
       "Targets 2 and 9 both have id 104: 'artargets set hall.xml --index 9 --id 105'."},
      {"ART202", kWarning, "a size that is not positive and finite",
       "A target without a real size cannot be placed at scale, and tracking platforms refuse it.",
       "Set the target's real width and height in the model's units: 'artargets set FILE --index K "
       "--size W H'.",
       "Size 0 x 0 m: 'artargets set hall.xml --index 1 --size 0.6 0.4'."},
      {"ART203", kWarning, "a centre that is not finite",
       "A host cannot place a target at a centre of nan or inf: it vanishes, or spoils the scene's "
       "bounds.",
       "Set the centre to the target's place in the model: 'artargets set FILE --index K --center "
       "X Y Z'.",
       "Centre [nan, 0, 0]: 'artargets set hall.xml --index 1 --center 1.5 0 1.2'."},
      {"ART204", kWarning, "a direction that is not of unit length",
       "The directions turn the picture into place; a zero or scaled one collapses or stretches "
       "it.",
       "Set the normal, x and y directions as unit vectors: 'artargets set FILE --index K --normal "
       "X Y Z --xdir X Y Z --ydir X Y Z'.",
       "A picture on a wall facing -y: --normal 0 -1 0 --xdir 1 0 0 --ydir 0 0 1."},
      {"ART205", kWarning, "directions that are not perpendicular",
       "Directions that are not perpendicular shear the picture, and a tracker sees it skewed.",
       "Make the normal, x and y directions perpendicular to each other (within 1 degree): "
       "'artargets set FILE --index K --normal X Y Z --xdir X Y Z --ydir X Y Z'.",
       "xdir and ydir 84 degrees apart: --normal 0 0 1 --xdir 1 0 0 --ydir 0 1 0."},
      {"ART206", kWarning,
       "a mirrored frame: the y direction is not the normal cross the x direction",
       "A mirrored frame shows the picture mirrored, and a tracker looking for it never finds it.",
       "Reverse the y direction so that it is the normal cross the x direction: 'artargets set "
       "FILE --index K --ydir X Y Z'.",
       "Normal 0 0 1, xdir 1 0 0 and ydir 0 -1 0: --ydir 0 1 0."},
      {"ART207", kWarning, "an image path that will not travel with the file",
       "The picture is found on this machine only: after a copy, a checkout or a package the "
       "target has no image.",
       "Keep the image in the file's folder and name it by a path relative to it: 'artargets set "
       "FILE --index K --image PATH'.",
       "/home/ann/poster.png or ../shared/poster.png do not travel; images/poster.png does."},
      {"ART208", kWarning, "a name used by several targets",
       "A scene shows only one target of a name; the other is never seen.",
       "Rename all but one: 'artargets set FILE --index K --name NEW'.",
       "Two targets named Door: 'artargets set hall.xml --index 3 --name \"Back door\"'."},
      {"ART301", kError, "the image is missing",
       "The target has nothing to track: a host never shows it.",
       "Put the image where the path points (relative paths start at --root or the file's folder), "
       "or correct the path: 'artargets set FILE --index K --image PATH'.",
       "images/poster.png was not committed with hall.xml."},
      {"ART302", kError, "the image cannot be read, decoded or rated",
       "A tracker cannot read it either: the target is never found.",
       "Save it again as a JPEG or PNG image under 100 megapixels, and name that: 'artargets set "
       "FILE --index K --image PATH'.",
       "poster.png is a PDF renamed, or a PNG cut short by a failed copy."},
      {"ART303", kWarning, "the image is too small",
       "A tracker finds too few features in a small image to hold on to.",
       "Use an image of at least 300 pixels on its shorter side: 'artargets set FILE --index K "
       "--image PATH'.",
       "A 200 x 150 thumbnail instead of the 2000 x 1500 original."},
      {"ART304", kWarning, "the image has another shape than the target",
       "The picture is stretched onto the target, so a tracker looks for a distorted picture and "
       "the content sits askew.",
       "Crop the image, or set the target's size to the image's shape: 'artargets set FILE --index "
       "K --size W H'.",
       "An 800 x 400 image on a target of 1 x 1 m: --size 1 0.5."},
      {"ART305", kWarning, "the image is too coarse for the target's size",
       "Printed or shown at the target's size the picture is blurred, and a camera near it sees "
       "too little detail.",
       "Use a larger image ('artargets set FILE --index K --image PATH'), or check --units: a "
       "model in millimetres needs --units mm.",
       "640 x 480 pixels on a poster 3.2 m wide are 200 pixels per metre; 2000 are wanted."},
      {"ART306", kWarning, "the image scores low for tracking",
       "A tracker finds it slowly, loses it often, or never finds it.",
       "Add detail that is not repeated, spread over the whole image, raise its contrast, and name "
       "the new image: 'artargets set FILE --index K --image PATH'.",
       "A logo on a plain background scores 12 of 100; check --images says what lowers it."},
      {"ART307", kWarning, "the same picture as another target's",
       "A tracker cannot tell two targets of one picture apart: it shows the content of either.",
       "Give each target a picture of its own: 'artargets set FILE --index K --image PATH'.",
       "Door and Gate both show images/door.png."},
      {"ART308", kWarning, "the target names no image",
       "A target without a picture can be placed but never tracked.",
       "Set the target's image: 'artargets set FILE --index K --image PATH'.",
       "A target added with --size only: 'artargets set hall.xml --index 4 --image "
       "images/gate.png'."},
      {"ART309", kWarning, "the image is blurred",
       "Soft edges give a tracker few features, which it finds again poorly.",
       "Use a sharper original, not an enlarged small image: 'artargets set FILE --index K --image "
       "PATH'.",
       "A 300-pixel photo scaled up to 2000 pixels: sharpness 0.21, 0.35 or more wanted."},
      {"ART310", kWarning, "the image is mostly plain",
       "A tracker holds on to detail; plain areas give it nothing, and a camera that sees only "
       "them loses the target.",
       "Crop the plain parts away or fill them with detail, and name the result: 'artargets set "
       "FILE --index K --image PATH'.",
       "A small logo in the middle of a white page: 70% of the image has nothing to hold on to."},
      {"ART311", kNote, "the image is transparent and was rated on white",
       "A tracker sees the picture on whatever is behind it, which may not be white.",
       "Nothing if it is printed on white; otherwise flatten it onto its real background.",
       "A PNG logo with a transparent background."},
      {"ART312", kNote, "the image's Exif orientation was applied",
       "Software that ignores Exif shows the picture turned.",
       "Nothing; to be safe with other software, save it turned.",
       "A phone photo stored sideways with orientation 6."},
      {"ART313", kWarning, "the same picture as another target's, re-encoded or rescaled",
       "A tracker cannot tell the two apart: it shows the content of either.",
       "Give each target a picture of its own: 'artargets set FILE --index K --image PATH'.",
       "poster.jpg is poster.png saved as JPEG."},
      {"ART314", kWarning, "the image looks like another target's",
       "A tracker can take one for the other and show the wrong content.",
       "Make the images differ where they match, or give one another picture: 'artargets set FILE "
       "--index K --image PATH'.",
       "Two pages of one leaflet share a header: 42% of the features match."},
      {"ART315", kWarning, "the print does not track as far as the working distance",
       "A phone held at the working distance sees the print too small to find its features, so "
       "the content never appears there.",
       "Print the target as wide as the message says (the far limit grows with the print): "
       "'artargets set FILE --index K --size W H', or give it a picture with more detail that "
       "survives at a distance.",
       "A 0.2 m poster tracks to 1.1 m; check --working-distance 2 asks for 0.37 m: 'artargets "
       "set hall.xml --index 3 --size 0.37 0.26'."},
      {"ART316", kError, "the image scores under --fail-below",
       "The team's floor for pictures: a tracker finds a picture under it too rarely to rely on.",
       "Give the target a better picture: 'artargets set FILE --index K --image PATH', or lower "
       "the floor (--fail-below, or fail-below in .artargets.toml).",
       "check --images --fail-below 70: \"images/wall.png\" scores 64."},
      {"ART401", kWarning, "a name a platform cannot use as a file name",
       "The platforms' libraries name each image by its target; export fails or mangles the name.",
       "Rename the target without / \\ : * ? \" < > | or control characters, not empty and not "
       "ending in a space or a dot: 'artargets set FILE --index K --name NEW'.",
       "A target named \"Hall: door\" cannot be a file name on Windows."},
      {"ART402", kWarning, "names that clash on a platform (the same, or but for case)",
       "One image of the library overwrites the other where case is not told apart.",
       "Give each target a name of its own, also when upper and lower case are not told apart: "
       "'artargets set FILE --index K --name NEW'.",
       "Door and door are one file on macOS."},
      {"ART403", kWarning, "a name or picture path that is not ASCII (ARCore)",
       "ARCore's image database tool refuses names and paths that are not ASCII.",
       "Rename the target and its picture with ASCII letters, digits and punctuation only: "
       "'artargets set FILE --index K --name NEW --image PATH'.",
       "A target named Tür: --name Tuer."},
      {"ART404", kWarning, "a picture the platform does not read, or none",
       "The platform's library would lack the target's image.",
       "Save the picture as PNG or JPEG (ARKit also reads HEIF and TIFF) and name it: 'artargets "
       "set FILE --index K --image PATH'.",
       "A GIF or a missing picture."},
      {"ART405", kWarning, "a picture too small for the platform",
       "The platform refuses it or tracks it poorly.",
       "Use a picture of more than 100 pixels on each side for ARKit, 300 or more for ARCore: "
       "'artargets set FILE --index K --image PATH'.",
       "A 200 x 150 picture for ARCore."},
      {"ART406", kWarning, "a picture Vuforia refuses: 2 MB or more, or CMYK",
       "Vuforia's target manager refuses the upload.",
       "Save the picture as an RGB or grey PNG or JPEG under 2 MB and name it: 'artargets set FILE "
       "--index K --image PATH'.",
       "A CMYK JPEG from a print shop."},
      {"ART407", kWarning, "more images than one database holds (1,000)",
       "The platform refuses a database this large.",
       "Split the targets into several files, one database each.",
       "A file of 1,200 product labels."},
      {"ART408", kWarning, "no positive width, which the platforms need to track at scale",
       "Without a width, the platform cannot tell how far away the picture is.",
       "Set the target's printed size: 'artargets set FILE --index K --size W H'.",
       "Size 0 x 0: --size 0.6 0.4."},
      {"ART409", kWarning, "a height ARKit would derive otherwise from the picture's shape",
       "ARKit takes the width and derives the height from the picture, so content placed by the "
       "file's height sits wrong.",
       "Crop the picture, or set the size to the picture's shape: 'artargets set FILE --index K "
       "--size W H'.",
       "An 800 x 400 picture on a target of 1 x 1: --size 1 0.5."},
      {"ART410", kWarning, "a score under the platform's advice (ARCore: 75)",
       "ARCore advises against pictures that score under 75: they are found slowly or lost.",
       "Improve the picture as for ART306 (check --images shows what lowers it) and name it: "
       "'artargets set FILE --index K --image PATH'.",
       "A picture that scores 64 of 100."},
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
