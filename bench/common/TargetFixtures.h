// What the content and file benchmarks share: `count` varied targets as plain records, the same
// targets as the plug-in's content, and the pugixml-alone baselines (the target file built
// from records and the records read back from a parsed file, every value converted).
#pragma once

#include <array>
#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "ar/ARContent.h"
#include "du/SmartPtr.h"

namespace arbench {

// One target with every field in a plain type: what the baselines build from and read into.
struct Record {
  unsigned char version = 0, type = 0;
  std::string name, image, shape;
  double width = 0, height = 0, rotation = 0;
  int id = 0;
  std::array<double, 3> center{}, normal{}, xdir{}, ydir{};
};

std::vector<Record> MakeRecords(int count);
du::SmartPtr<ar::ARContent> MakeContent(int count);
// Fills `doc` with the target file of `records`, as the plug-in writes it.
void PugixmlBuildTargetFile(pugi::xml_document& doc, const std::vector<Record>& records);
// Reads every target of a parsed target file into a record.
std::vector<Record> PugixmlReadRecords(const pugi::xml_document& doc);

}  // namespace arbench
