// Each platform's library writer and reader (one file each: ArkitLibrary.cpp, ...), behind
// ExportLibrary and ImportLibrary.
#pragma once

#include <string>
#include <vector>

#include "platforms/Platforms.h"

namespace artargets {

std::vector<ExportedFile> ExportArkit(const ExportSource& source);
std::vector<ExportedFile> ExportArcore(const ExportSource& source);
std::vector<ExportedFile> ExportUnity(const ExportSource& source);
std::vector<ExportedFile> ExportVuforia(const ExportSource& source);

bool ImportArkit(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                 std::vector<TargetRecord>& targets, std::string& error);
bool ImportArcore(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                  std::vector<TargetRecord>& targets, std::string& error);
bool ImportUnity(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                 std::vector<TargetRecord>& targets, std::string& error);
bool ImportVuforia(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                   std::vector<TargetRecord>& targets, std::string& error);

}  // namespace artargets
