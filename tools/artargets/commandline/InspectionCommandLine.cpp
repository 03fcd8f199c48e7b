#include "commandline/InspectionCommandLine.h"

#include <map>

#include "commands/CheckCommand.h"
#include "commands/RenderCommand.h"
#include "commands/ReportCommand.h"

namespace artargets {

struct InspectionArguments {
  std::vector<std::string> files;
  std::string file, out, format = "text", units = "m";
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
    options.unit = *UnitNamed(units);
    options.cache = !noCache;
    options.platforms.clear();
    for (const std::string& name : platforms) options.platforms.push_back(*PlatformNamed(name));
    return options;
  }
};

namespace {

void AddUnits(CLI::App& command, InspectionArguments& a) {
  command
      .add_option("--units", a.units,
                  "the unit of the file's lengths, for sizes and pixels per metre (default m)")
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
                   "exit 1 when an image scores under SCORE (0 to 100)")
      ->needs(images)
      ->check(CLI::Range(0, 100))
      ->type_name("SCORE");
  check->add_flag("--strict", a.options.strict, "exit 1 on any warning too, not only on errors");
  AddPlatforms(*check, a, "check against the limits of AR platforms too");
  AddUnits(*check, a);
  check->footer(
      "Targets that share an id, a name or a picture each get a finding that names three of the "
      "others; JUnit and SARIF name targets by name and id, not by place.\n"
      "Exit status: 0 no file has an error, 1 one has (or, with --strict, a warning; with "
      "--fail-below, a score under it), 2 wrong usage.");
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
  AddPlatforms(*report, a, "show which AR platforms each target passes");
  AddUnits(*report, a);
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
