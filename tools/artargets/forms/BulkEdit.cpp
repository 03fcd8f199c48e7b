#include "forms/BulkEdit.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <sstream>
#include <unordered_map>

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

// The places of the targets by what an update names them by: their name, or with `byId` the id
// of a type-1 target. A table of a million rows asks once per row, so the places are looked up
// rather than searched for, and an update that changes what names its target is followed.
class TargetsByKey {
 public:
  using Key = std::optional<std::string>;  // none for a target no update can name

  TargetsByKey(const std::vector<TargetRecord>& records, bool byId) : byId_(byId) {
    places_.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) Enter(KeyOf(records[i]), i);
  }

  Key KeyOf(const TargetRecord& r) const {
    if (!byId_) return r.name;
    return r.type == 1 ? Key(std::to_string(r.id)) : std::nullopt;
  }

  // The places of the targets `partial` names, in the order of the records.
  std::vector<std::size_t> Named(const PartialTarget& partial) const {
    std::vector<std::size_t> places;
    const std::string key = byId_ ? std::to_string(partial.values.id) : partial.values.name;
    const auto [from, to] = places_.equal_range(key);
    for (auto it = from; it != to; ++it) places.push_back(it->second);
    std::sort(places.begin(), places.end());
    return places;
  }

  // The target at `place`, which `before` named (none for a new one), now holds `now`.
  void Follow(std::size_t place, const Key& before, const TargetRecord& now) {
    const Key after = KeyOf(now);
    if (before == after) return;
    if (before) {
      const auto [from, to] = places_.equal_range(*before);
      for (auto it = from; it != to; ++it)
        if (it->second == place) {
          places_.erase(it);
          break;
        }
    }
    Enter(after, place);
  }

 private:
  void Enter(const Key& key, std::size_t place) {
    if (key) places_.emplace(*key, place);
  }

  bool byId_;
  std::unordered_multimap<std::string, std::size_t> places_;
};

// "named \"Door\"", "of type 1 with id 7": the target a partial names, for messages.
std::string Which(const PartialTarget& partial, bool byId) {
  return byId ? "of type 1 with id " + std::to_string(partial.values.id)
              : "named " + Quoted(partial.values.name);
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
  TargetsByKey index(records, byId);
  for (const PartialTarget& partial : partials) {
    const char* key = byId ? "id" : "name";
    if (!partial.Gives(key))
      throw UsageError(partial.place + ": no \"" + key + "\" names the target to change");
    const std::vector<std::size_t> places = index.Named(partial);
    if (places.size() > 1) {
      error = partial.place + ": " + std::to_string(places.size()) + " targets are " +
              Which(partial, byId) + "; a bulk edit changes one target per element";
      return false;
    }
    if (places.empty() && byId) {
      error = partial.place + ": no target is " + Which(partial, byId) +
              " (without --id, a new name adds one)";
      return false;
    }
    const std::size_t place = places.empty() ? records.size() : places.front();
    if (places.empty()) records.emplace_back();
    const TargetsByKey::Key before = places.empty() ? std::nullopt : index.KeyOf(records[place]);
    partial.ApplyTo(records[place]);
    index.Follow(place, before, records[place]);
  }
  return true;
}

}  // namespace artargets
