#include "commandline/InspectionCommandLine.h"

#include <cstdio>
#include <map>

#include "checks/ProjectSettings.h"
#include "checks/SettingsFile.h"
#include "commands/CheckCommand.h"
#include "commands/RenderCommand.h"
#include "commands/ReportCommand.h"

namespace artargets {

struct InspectionArguments {
  std::vector<std::string> files;
  std::string file, out, format = "text", units, camera;  // units, camera: empty when not given
  double fieldOfView = 0;                                 // 0: not given
  std::vector<std::string> platforms;
  bool json = false, noCache = false;
  CheckOptions options;

  // The options as the command runs with them.
  const CheckOptions& Options() {
    static const std::map<std::string, CheckFormat> kFormats = {{"text", CheckFormat::kText},
                                                                {"json", CheckFormat::kJson},
                                                                {"sarif", CheckFormat::kSarif},
                                                                {"junit", CheckFormat::kJUnit}};
    options.format = json ? CheckFormat::kJson : kFormats.at(format);
    options.unit = *UnitNamed(units.empty() ? "m" : units);
    options.settings.unitGiven = !units.empty();
    options.settings.failBelowGiven = options.failBelow >= 0;
    options.cache = !noCache;
    options.settings.cameraGiven = !camera.empty();
    std::sscanf(camera.c_str(), "%dx%d", &options.camera.width, &options.camera.height);
    options.settings.fieldOfViewGiven = fieldOfView > 0;
    if (fieldOfView > 0) options.camera.fieldOfView = fieldOfView;
    options.settings.workingDistanceGiven = options.workingDistance > 0;
    options.platforms.clear();
    for (const std::string& name : platforms) options.platforms.push_back(*PlatformNamed(name));
    return options;
  }
};

namespace {

void AddUnits(CLI::App& command, InspectionArguments& a) {
  command
      .add_option("--units", a.units,
                  "the unit of the file's lengths, for sizes and pixels per metre (default: the "
                  "settings file's units, else m)")
      ->check(CLI::IsMember({"m", "cm", "mm", "in", "ft"}))
      ->type_name("UNIT");
}

void AddImageOptions(CLI::App& command, InspectionArguments& a, CLI::Option* images) {
  auto* root = command
                   .add_option("--root", a.options.root,
                               "where relative image paths start (default: the file's folder)")
                   ->type_name("DIR");
  auto* noCache = command.add_flag("--no-cache", a.noCache,
                                   "rate every image again, neither using nor keeping saved "
                                   "ratings");
  if (images) {
    root->needs(images);
    noCache->needs(images);
  }
}

// --config FILE and --no-config: which project settings (SettingsFile.h) complete the options.
void AddSettings(CLI::App& command, InspectionArguments& a) {
  auto* config = command
                     .add_option("--config", a.options.settings.file,
                                 std::string("the project settings file to use for every target "
                                             "file (default: the nearest ") +
                                     kSettingsFileName + " in the file's folder or above)")
                     ->type_name("FILE");
  command.add_flag("--no-config", a.options.settings.none, "use no project settings file")
      ->excludes(config);
}

// --disable CODES and --enable CODES, repeatable, each comma-separated.
void AddCodeSwitches(CLI::App& command, InspectionArguments& a) {
  const CLI::Validator known([](std::string& code) { return CodeProblem(code); }, "CODE",
                             "a finding code");
  command
      .add_option("--disable", a.options.settings.disabled,
                  "report no finding of these codes (comma-separated, repeatable)")
      ->delimiter(',')
      ->check(known)
      ->type_name("CODES");
  command
      .add_option("--enable", a.options.settings.enabled,
                  "report the codes the settings file turns off (comma-separated, repeatable)")
      ->delimiter(',')
      ->check(known)
      ->type_name("CODES");
}

// "WIDTHxHEIGHT" in pixels, each from 16 to 100000, or why not.
std::string FrameSizeProblem(const std::string& text) {
  int width = 0, height = 0, end = 0;
  const bool read = std::sscanf(text.c_str(), "%dx%d%n", &width, &height, &end) == 2 &&
                    std::size_t(end) == text.size();
  if (read && width >= 16 && height >= 16 && width <= 100000 && height <= 100000) return "";
  return "\"" + text + "\" is not WIDTHxHEIGHT in pixels (as 640x480)";
}

// The camera the tracking range is worked out for (--images only, where there is that flag).
void AddCamera(CLI::App& command, InspectionArguments& a, CLI::Option* images) {
  auto* frame = command
                    .add_option("--camera", a.camera,
                                "the pixels of the frames the camera tracks on, for the tracking "
                                "range (default: the settings file's [camera], else 640x480)")
                    ->check(CLI::Validator(FrameSizeProblem, "WIDTHxHEIGHT"))
                    ->type_name("WxH");
  auto* view = command
                   .add_option("--field-of-view", a.fieldOfView,
                               "the camera's field of view across the frame's width, in degrees "
                               "(default: the settings file's, else 60)")
                   ->check(CLI::Range(1.0, 179.0))
                   ->type_name("DEGREES");
  if (images) {
    frame->needs(images);
    view->needs(images);
  }
}

// --platform NAMES, comma-separated.
void AddPlatforms(CLI::App& command, InspectionArguments& a, const std::string& what) {
  command
      .add_option("--platform", a.platforms,
                  what + " (comma-separated: arkit, arcore, unity, vuforia)")
      ->delimiter(',')
      ->check(CLI::IsMember({"arkit", "arcore", "unity", "vuforia"}))
      ->type_name("NAMES");
}

void DeclareCheck(CLI::App& app, InspectionArguments& a, std::function<int()>& command) {
  auto* check = app.add_subcommand(
      "check", "tell whether target files load and what looks wrong in them (codes ARTnnn)");
  check->add_option("FILE", a.files, "target files, or folders to search for *.xml target files")
      ->required()
      ->type_name("PATH");
  auto* images =
      check->add_flag("--images", a.options.images, "rate every target's image: will it track?");
  AddImageOptions(*check, a, images);
  auto* format = check->add_option("--format", a.format, "text (default), json, sarif or junit")
                     ->check(CLI::IsMember({"text", "json", "sarif", "junit"}))
                     ->type_name("FORMAT");
  check->add_flag("--json", a.json, "the same as --format json")->excludes(format);
  check
      ->add_option("--fail-below", a.options.failBelow,
                   "an error (ART316) for each image scoring under SCORE (0 to 100)")
      ->needs(images)
      ->check(CLI::Range(0, 100))
      ->type_name("SCORE");
  AddCamera(*check, a, images);
  check
      ->add_option("--working-distance", a.options.workingDistance,
                   "warn (ART315) when a printed target does not track from this far, in metres")
      ->needs(images)
      ->check(CLI::PositiveNumber)
      ->type_name("METRES");
  check->add_flag("--strict", a.options.strict, "exit 1 on any warning too, not only on errors");
  AddPlatforms(*check, a, "check against the limits of AR platforms too");
  AddUnits(*check, a);
  AddSettings(*check, a);
  AddCodeSwitches(*check, a);
  check
      ->add_option("--baseline", a.options.baseline,
                   "report only the findings FILE does not hold (what --write-baseline or "
                   "--format json wrote)")
      ->type_name("FILE");
  check
      ->add_option("--write-baseline", a.options.writeBaseline,
                   "write every finding to FILE, as a baseline, and report none of them")
      ->type_name("FILE");
  check->footer(
      "Targets that share an id, a name or a picture each get a finding that names three of the "
      "others; JUnit and SARIF name targets by name and id, not by place.\n"
      "Exit status: 0 no file has an error, 1 one has (or, with --strict, a warning; with "
      "--fail-below, a score under it: ART316), 2 wrong usage.");
  check->callback([&] { command = [&] { return Check(a.files, a.Options()); }; });
}

void DeclareRender(CLI::App& app, InspectionArguments& a, std::function<int()>& command) {
  auto* render = app.add_subcommand("render", "draw the targets' top, front and side views as SVG");
  render->add_option("FILE", a.file, "the target file")->required()->type_name("PATH");
  render->add_option("-o,--output", a.out, "the SVG file to write")->required()->type_name("PATH");
  auto* images = render->add_flag("--images", a.options.images,
                                  "colour each target by its image's score (as check --images)");
  AddImageOptions(*render, a, images);
  AddUnits(*render, a);
  AddSettings(*render, a);
  render->callback([&] { command = [&] { return Render(a.file, a.out, a.Options()); }; });
}

void DeclareReport(CLI::App& app, InspectionArguments& a, std::function<int()>& command) {
  auto* report = app.add_subcommand(
      "report", "write an HTML page of target files' views, images, scores and findings");
  report->add_option("FILE", a.files, "target files, or folders to search for *.xml target files")
      ->required()
      ->type_name("PATH");
  report
      ->add_option("-o,--output", a.out,
                   "the folder to write index.html into: a new or empty one, or an earlier "
                   "report's (nothing else is replaced)")
      ->required()
      ->type_name("DIR");
  AddImageOptions(*report, a, nullptr);
  AddCamera(*report, a, nullptr);
  AddPlatforms(*report, a, "show which AR platforms each target passes");
  AddUnits(*report, a);
  AddSettings(*report, a);
  AddCodeSwitches(*report, a);
  report->callback([&] { command = [&] { return Report(a.files, a.out, a.Options()); }; });
}

}  // namespace

std::shared_ptr<InspectionArguments> DeclareInspection(CLI::App& app,
                                                       std::function<int()>& command) {
  auto arguments = std::make_shared<InspectionArguments>();
  DeclareCheck(app, *arguments, command);
  DeclareRender(app, *arguments, command);
  DeclareReport(app, *arguments, command);
  return arguments;
}

}  // namespace artargets
