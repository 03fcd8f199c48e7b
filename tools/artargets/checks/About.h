// What `check` finds: findings with stable codes, from a target file's values, its
// element lines and its images, the options of a check, and a project's settings and baseline.
//
// Where things are:
//   Finding.h       one finding: code, severity, target, message
//   FindingCodes.h  every code with its severity, title and fix
//   CheckOptions.h  the options of check (which render and report share)
//   CheckLimits.h   every limit a finding compares with, compared as it is printed
//   ProjectSettings.h  a project's settings: units, codes turned off or re-graded, limits
//   SettingsFile.h  the settings file, .artargets.toml: its keys, reading and finding it
//   Baseline.h      the findings a team accepted for now, left out of check's report
//   FileCheck.h     one file checked: loaded, examined, its images rated
//   Examination.h   what a file that loads holds that the plug-in accepts silently
//   ImageCheck.h    what check --images finds in the targets' images
//   PlatformChecks.h  what the AR platforms' limits make of the targets (check --platform)
//   ElementLines.h  the line of each target's element, for outputs that point at it
//   PlacedTarget.h  a target with its place in its file
//   TargetGroup.h   targets that share an id, a name or a picture, and how a finding names them
#pragma once
