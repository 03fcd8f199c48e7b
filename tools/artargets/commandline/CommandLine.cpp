#include "commandline/CommandLine.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <iostream>

#include "commandline/HelpFormat.h"
#include "commandline/InspectionCommandLine.h"
#include "commandline/TargetOptions.h"
#include "commandline/UsageMessage.h"
#include "commands/DemoCommand.h"
#include "commands/ExplainCommand.h"
#include "commands/PlatformCommands.h"
#include "commands/TargetFileCommands.h"
#include "commands/VersionControlCommands.h"
#include "support/Background.h"
#include "support/SafeText.h"
#include "support/UsageError.h"
#include "versioncontrol/CanonicalOrder.h"

namespace artargets {

namespace {

constexpr int kUsage = 2;

struct Arguments {
  std::string file, other, third, name, out, platform, root, units = "m";
  std::vector<std::string> files;
  bool json = false, names = false, all = false, everything = false, check = false, global = false,
       stat = false;
  ImportOptions importing;
  TargetOptions added, changed;  // one each: the options remember the command they belong to
  Selector selector;
  long long id = 0;
  std::size_t index = 0;
};

// Exactly one of NAME, --id and --index picks the targets of set and remove.
Selector Selected(Arguments& a, CLI::App& command, bool idIsAnOption) {
  Selector selector;
  const bool named = command.get_option("NAME")->count() > 0;
  const bool placed = command.get_option("--index")->count() > 0;
  if (named) selector.name = a.name;
  if (idIsAnOption) {
    if (command.get_option("--id")->count() > 0) selector.id = a.id;
  } else if (!named && !placed) {
    selector.id = a.changed.TakeId();  // set without a name or a place: --id selects
  }
  if (placed) selector.index = a.index;
  if (named + selector.id.has_value() + selector.index.has_value() != 1)
    throw UsageError(command.get_name() + ": give the target's NAME, or --id N, or --index K");
  return selector;
}

// export --to's --units and --root.
void AddPlatformOptions(CLI::App& command, Arguments& a, CLI::Option* to) {
  command
      .add_option("--units", a.units,
                  "with --to: the unit of the file's lengths, for sizes in metres (default m)")
      ->check(CLI::IsMember({"m", "cm", "mm", "in", "ft"}))
      ->type_name("UNIT")
      ->needs(to);
  command
      .add_option("--root", a.root,
                  "with --to: where relative image paths start (default: the file's folder)")
      ->type_name("DIR")
      ->needs(to);
}

// Declares the commands on `app`; the chosen one sets `command`.
void Declare(CLI::App& app, Arguments& a, std::function<int()>& command) {
  auto* list = app.add_subcommand("list", "print a file's targets, sorted by name, then id");
  list->add_option("FILE", a.file, "the target file")->required();
  auto* listJson = list->add_flag("--json", a.json, "print one JSON array instead of lines");
  auto* listLong = list->add_flag("--long", a.everything,
                                  "print every field on each line (the diff text git shows)");
  list->add_flag("--names", a.names, "print only the names, one a line")
      ->excludes(listJson)
      ->excludes(listLong);
  list->callback([&] {
    command = [&] {
      return List(a.file, a.json         ? ListForm::kJson
                          : a.everything ? ListForm::kLong
                          : a.names      ? ListForm::kNames
                                         : ListForm::kLines);
    };
  });

  auto* add = app.add_subcommand("add", "add a target and save (the file is made if missing)");
  add->add_option("FILE", a.file, "the target file")->required();
  add->add_option("NAME", a.name, "the new target's name")->required();
  a.added.AddTo(*add, false);
  add->callback(
      [&] { command = [&] { return Add(a.file, a.name, [&] { return a.added.Given(); }); }; });

  auto* set = app.add_subcommand("set", "change the target of that name and save");
  set->add_option("FILE", a.file, "the target file")->required();
  set->add_option("NAME", a.name, "the name of the target to change");
  set->add_option("--index", a.index,
                  "instead of NAME: the target at this place of 'list' (from 1)");
  set->add_flag("--all", a.all, "change every target of that name (or id)");
  a.changed.AddTo(*set, true);  // --name renames
  set->footer(
      "Without NAME or --index, --id N picks the type-1 targets of id N instead of setting the "
      "id; with either, --id N sets it.");
  set->callback([&, set] {
    command = [&, set] {
      return Set(
          a.file, Selected(a, *set, false), [&] { return a.changed.Given(); }, a.all);
    };
  });

  auto* remove = app.add_subcommand("remove", "remove the target of that name and save");
  remove->add_option("FILE", a.file, "the target file")->required();
  remove->add_option("NAME", a.name, "the name of the target to remove");
  remove->add_option("--id", a.id, "instead of NAME: the type-1 targets of this id");
  remove->add_option("--index", a.index,
                     "instead of NAME: the target at this place of 'list' (from 1)");
  remove->add_flag("--all", a.all, "remove every target of that name (or id)");
  remove->callback([&, remove] {
    command = [&, remove] { return Remove(a.file, Selected(a, *remove, true), a.all); };
  });

  auto* exporting = app.add_subcommand(
      "export", "write a file's targets as JSON, or as an AR platform's image library");
  exporting->add_option("FILE", a.file, "the target file")->required();
  exporting->add_option("-o,--output", a.out,
                        "the JSON file (default: standard output); with --to, the folder");
  auto* to = exporting->add_option("--to", a.platform,
                                   "write the reference image library of an AR platform "
                                   "(arkit, arcore, unity, vuforia) into the folder -o names");
  to->check(CLI::IsMember({"arkit", "arcore", "unity", "vuforia"}))->type_name("PLATFORM");
  AddPlatformOptions(*exporting, a, to);
  exporting->callback([&] {
    command = [&] {
      if (a.platform.empty()) return Export(a.file, a.out);
      if (a.out.empty() || a.out == "-")
        throw UsageError("export --to writes a folder of files: name it with -o DIR");
      return ExportToPlatform(a.file, *PlatformNamed(a.platform), a.out, *UnitNamed(a.units),
                              a.root);
    };
  });

  auto* importing = app.add_subcommand(
      "import", "write a target file from JSON or CSV, or change many of its targets at once");
  importing->add_option("IN", a.other, "the JSON array (or CSV with --csv); - reads standard input")
      ->required();
  importing
      ->add_option("-o,--output", a.out,
                   "the target file to write (- writes it to standard output), or to change "
                   "with --update")
      ->required();
  auto* update = importing->add_flag(
      "--update", a.importing.update,
      "change the targets IN names and add new names, leaving the others; one save");
  importing
      ->add_flag("--id", a.importing.byId,
                 "with --update: each element names its type-1 target by \"id\"")
      ->needs(update);
  importing
      ->add_flag("--replace", a.importing.replace,
                 "replace an existing file's targets, even those IN does not name (without it, "
                 "import refuses to lose them)")
      ->excludes(update);
  auto* csv = importing->add_flag("--csv", a.importing.csv,
                                  "IN is CSV: a header row of JSON keys, then one row per target");
  auto* from = importing->add_option(
      "--from", a.importing.from,
      "IN is an AR platform's image library (arkit, arcore, unity, vuforia): its folder, or "
      "ARCore's list or Vuforia's XML");
  from->check(CLI::IsMember({"arkit", "arcore", "unity", "vuforia"}))
      ->type_name("PLATFORM")
      ->excludes(update)
      ->excludes(csv);
  importing
      ->add_option("--units", a.units,
                   "with --from: the unit of the target file's lengths (default m)")
      ->check(CLI::IsMember({"m", "cm", "mm", "in", "ft"}))
      ->type_name("UNIT")
      ->needs(from);
  importing->callback([&] {
    command = [&] {
      a.importing.unit = *UnitNamed(a.units);
      return Import(a.other, a.out, a.importing);
    };
  });

  auto* diff = app.add_subcommand("diff", "show targets added, removed and changed from A to B");
  diff->add_option("A", a.file, "the earlier target file")->required();
  diff->add_option("B", a.other, "the later target file")->required();
  auto* diffJson =
      diff->add_flag("--json", a.json, "print added, removed and changed targets as JSON");
  diff->add_flag("--stat", a.stat, "print only how many targets were added, removed, changed")
      ->excludes(diffJson);
  diff->callback([&] {
    command = [&] {
      return Diff(a.file, a.other,
                  a.json   ? DiffForm::kJson
                  : a.stat ? DiffForm::kStat
                           : DiffForm::kText);
    };
  });
  diff->footer("Exit status as diff(1): 0 the same, 1 different, 2 a file could not be read.");

  auto* fmt = app.add_subcommand("fmt", "rewrite target files in canonical form");
  fmt->add_option("FILE", a.files,
                  "the target files; - reads standard input and writes the "
                  "canonical text to standard output")
      ->required();
  fmt->add_flag("--check", a.check,
                "change nothing; exit 1 naming each file not in canonical form");
  fmt->callback([&] { command = [&] { return Format(a.files, a.check); }; });

  auto* merge = app.add_subcommand("merge",
                                   "merge two target files from a common base (git's "
                                   "merge driver)");
  merge->add_option("BASE", a.file, "the common ancestor (missing or empty: none)")->required();
  merge->add_option("OURS", a.other, "our side")->required();
  merge->add_option("THEIRS", a.third, "their side")->required();
  merge->add_option("-o,--output", a.out, "where the merge goes (default: OURS)");
  merge->add_flag("--json", a.json,
                  "print the conflicts as JSON on standard output (not with -o -)");
  merge->add_option("--path", a.name,
                    "the file being merged, for messages (git's %P: its sides are temporaries)");
  merge->callback(
      [&] { command = [&] { return Merge(a.file, a.other, a.third, a.out, a.json, a.name); }; });
  merge->footer(
      "Exit status: 0 merged, 1 conflicts (OUT keeps our side of each), 2 a file could "
      "not be read.");

  auto* git = app.add_subcommand("git-setup",
                                 "have git format, diff and merge target files "
                                 "with artargets");
  git->add_option("PATTERN", a.files,
                  "mark the files that match as target files in "
                  ".gitattributes (e.g. '*.artargets.xml')");
  git->add_flag("--global", a.global, "configure git for the user instead of this repository");
  git->callback([&] { command = [&] { return GitSetup(a.global, a.files); }; });

  auto* explain = app.add_subcommand(
      "explain", "say what a finding code means, why it matters and how to fix it");
  explain->add_option("CODE", a.name, "the code, as check prints it (ART201); none lists them");
  explain->callback([&] { command = [&] { return Explain(a.name); }; });

  auto* demo = app.add_subcommand("demo", "run a host session on a sample world and narrate it");
  demo->callback([&] { command = [] { return Demo(); }; });
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  struct Waiting {
    ~Waiting() { WaitForBackground(); }
  } waiting;  // on every way out: the host shuts down after this returns
  WriteCanonicalFiles();
  CLI::App app(
      "artargets: inspect, check, edit and convert AR target files through the "
      "AR targets plug-in, or watch a host session (demo).",
      "artargets");
  std::string plugin;  // read by the launcher before the plug-in is loaded
  UseHelpFormat(app);  // before any command: they all share it
  app.add_option("--plugin", plugin,
                 "the plug-in library (default: the one built beside the tool)");
  app.add_flag("--version")->description("print the version and the plug-in's path");
  app.require_subcommand(1);
  app.fallthrough();  // --plugin may come after the command too
  Arguments arguments;
  std::function<int()> command;
  Declare(app, arguments, command);
  const auto inspection = DeclareInspection(app, command);
  AddExamples(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "artargets: " << SafeText(UsageMessage(app, e, argc, argv)) << "\n"
              << HelpHint(app) << "\n";
    return kUsage;
  }
  try {
    return command();
  } catch (const UsageError& e) {
    std::cerr << "artargets: " << SafeText(e.what()) << "\n";
    return kUsage;
  } catch (const std::exception& e) {  // never an abort: a message and the failure status
    std::cerr << "artargets: " << SafeText(e.what()) << "\n";
    return 1;
  }
}

}  // namespace artargets
