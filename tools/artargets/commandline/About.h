// Reading argv into a command: the subcommands and their options, --help and its
// format, and the argument parser's complaints in the tool's words.
//
// Where things are:
//   CommandLine.h            the command line: parse, run, exit status
//   InspectionCommandLine.h  the options of check, render and report
//   TargetOptions.h          the options of add and set, one per field
//   HelpFormat.h             how --help reads
//   UsageMessage.h           usage errors in the tool's words
#pragma once
