#include "forms/BulkEdit.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "forms/CsvTable.h"
#include "support/NearestWord.h"
#include "support/UsageError.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

// The field each column of `header` gives; throws UsageError for an unknown or repeated one.
std::vector<const Field*> ColumnFields(const std::vector<std::string>& header) {
  std::vector<const Field*> fields;
  for (std::size_t c = 0; c < header.size(); ++c) {
    const auto field = std::find_if(kFields.begin(), kFields.end(),
                                    [&](const Field& f) { return header[c] == f.key; });
    const std::string where = "row 1, column " + std::to_string(c + 1) + " " + Quoted(header[c]);
    if (field == kFields.end())
      throw UsageError(where + ": no such key" + DidYouMean(header[c], FieldKeys()) +
                       " (the columns are the keys of export's JSON)");
    if (std::find(fields.begin(), fields.end(), &*field) != fields.end())
      throw UsageError(where + ": the column is given twice");
    fields.push_back(&*field);
  }
  return fields;
}

void RequireColumn(const std::vector<const Field*>& fields, const char* key) {
  if (std::none_of(fields.begin(), fields.end(),
                   [&](const Field* f) { return std::string(f->key) == key; }))
    throw UsageError(std::string("row 1: there is no \"") + key +
                     "\" column to name each row's target");
}

// One cell's value into its field of `values`; `label` names the row and the column.
void ReadCell(const std::string& cell, const Field& field, TargetRecord& values,
              const std::string& label) {
  if (field.text) values.*field.text = cell;
  if (field.number) values.*field.number = ParseNumber(label, cell);
  if (field.whole) values.*field.whole = ParseWhole(label, cell, field.range);
  if (!field.vector) return;
  std::istringstream words(cell);
  std::vector<std::string> numbers{std::istream_iterator<std::string>(words), {}};
  if (numbers.size() != 3)
    throw UsageError(label + ": " + Quoted(cell) + " is not three numbers separated by spaces");
  for (int i = 0; i < 3; ++i) (values.*field.vector)[i] = ParseNumber(label, numbers[i]);
}

// The places of the targets `partial` names.
std::vector<std::size_t> PlacesNamed(const std::vector<TargetRecord>& records,
                                     const PartialTarget& partial, bool byId) {
  std::vector<std::size_t> places;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TargetRecord& r = records[i];
    if (byId ? r.type == 1 && r.id == partial.values.id : r.name == partial.values.name)
      places.push_back(i);
  }
  return places;
}

}  // namespace

std::vector<PartialTarget> PartialsFromCsv(const std::string& text, bool byId) {
  const CsvTable table = ReadCsv(text);
  const std::vector<const Field*> fields = ColumnFields(table.header);
  RequireColumn(fields, byId ? "id" : "name");
  std::vector<PartialTarget> partials;
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    PartialTarget partial{.place = "row " + std::to_string(r + 2), .values = {}, .given = {}};
    for (std::size_t c = 0; c < fields.size(); ++c) {
      const std::string& cell = table.rows[r][c];
      if (cell.empty()) continue;
      ReadCell(cell, *fields[c], partial.values,
               partial.place + ", column " + std::to_string(c + 1) + " " + Quoted(fields[c]->key));
      partial.given.push_back(fields[c]);
    }
    partials.push_back(std::move(partial));
  }
  return partials;
}

bool ApplyUpdates(std::vector<TargetRecord>& records, const std::vector<PartialTarget>& partials,
                  bool byId, std::string& error) {
  for (const PartialTarget& partial : partials) {
    const char* key = byId ? "id" : "name";
    if (!partial.Gives(key))
      throw UsageError(partial.place + ": no \"" + key + "\" names the target to change");
    const std::vector<std::size_t> places = PlacesNamed(records, partial, byId);
    const std::string which = byId ? "of type 1 with id " + std::to_string(partial.values.id)
                                   : "named " + Quoted(partial.values.name);
    if (places.size() > 1) {
      error = partial.place + ": " + std::to_string(places.size()) + " targets are " + which +
              "; a bulk edit changes one target per element";
      return false;
    }
    if (places.empty() && byId) {
      error = partial.place + ": no target is " + which + " (without --id, a new name adds one)";
      return false;
    }
    if (places.empty()) records.emplace_back();
    partial.ApplyTo(places.empty() ? records.back() : records[places.front()]);
  }
  return true;
}

}  // namespace artargets
