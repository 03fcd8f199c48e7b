// A project's settings for check, render and report: what a team writes once in a settings file
// (SettingsFile.h) instead of repeating options on every run: the unit of its files' lengths,
// codes turned off or given another severity, and the limits findings compare with.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/CheckLimits.h"
#include "checks/Finding.h"
#include "targets/Units.h"

namespace artargets {

struct ProjectSettings {
  std::string path;  // the file they were read from; empty for the tool's defaults
  std::optional<LengthUnit> unit;
  std::optional<int> failBelow;
  CheckLimits limits;
  // [camera]: the camera the tracking range is worked out for, and how far from the print it is
  // held (ART315).
  std::optional<int> cameraWidth, cameraHeight;
  std::optional<double> fieldOfView, workingDistance;
  // Codes the project changed: the severity they are reported with, or nothing when they are
  // turned off.
  std::map<std::string, std::optional<Severity>> codes;
};

// How the command line chooses settings and which of them it gives itself: what it gives wins
// over the file.
struct SettingsChoice {
  std::string file;   // --config: this file for every target file
  bool none = false;  // --no-config: the tool's defaults
  bool unitGiven = false, failBelowGiven = false, cameraGiven = false, fieldOfViewGiven = false,
       workingDistanceGiven = false;
  std::vector<std::string> disabled, enabled;  // --disable and --enable; --enable wins
};

// Why `code` cannot be turned off or re-graded, with the known codes near it when it is none;
// empty when it can.
std::string CodeProblem(std::string_view code);

// Drops the findings of codes turned off and gives the others their project's severity.
void ApplyCodes(const std::map<std::string, std::optional<Severity>>& codes,
                std::vector<Finding>& findings);

}  // namespace artargets
