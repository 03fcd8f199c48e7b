// The tool's commands, one file per family, each a function from its arguments to an
// exit status, on the folders below it; the command line (commandline/) calls them.
//
// Where things are:
//   TargetFileCommands.h      list, add, set, remove, export, import
//   VersionControlCommands.h  diff, fmt, merge, git-setup
//   PlatformCommands.h        export --to, import --from
//   CheckCommand.h            check
//   RenderCommand.h           render
//   ReportCommand.h           report
//   DemoCommand.h             demo
//   ExplainCommand.h          explain, from the table of finding codes
//   CommandSupport.h          their messages, loading and saving
//   OutputGuard.h             what every command with -o checks before it writes
//   OwnedFolder.h             a folder of outputs, written whole without harming others'
#pragma once
