#include "forms/BulkEdit.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <sstream>
#include <unordered_map>
#include <utility>

#include "forms/CsvTable.h"
#include "support/NearestWord.h"
#include "support/UsageError.h"
#include "targets/TargetComparison.h"
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

// Where a cell is, for messages: "row 2, column 3 \"width\"".
struct CellPlace {
  std::size_t row, column;
  const Field& field;
  std::string Label() const {
    return "row " + std::to_string(row) + ", column " + std::to_string(column) + " " +
           Quoted(field.key);
  }
};

// One cell's value into its field of `values`. The cell's place is put in front of a message
// only when there is one: a million rows would otherwise make a label for every cell.
void ReadCell(const std::string& cell, const CellPlace& place, TargetRecord& values) {
  const Field& field = place.field;
  try {
    if (field.text) values.*field.text = cell;
    if (field.number) values.*field.number = ParseNumber("", cell);
    if (field.whole) values.*field.whole = ParseWhole("", cell, field.range);
    if (!field.vector) return;
    std::istringstream words(cell);
    std::vector<std::string> numbers{std::istream_iterator<std::string>(words), {}};
    if (numbers.size() != 3)
      throw UsageError(": " + Quoted(cell) + " is not three numbers separated by spaces");
    for (int i = 0; i < 3; ++i) (values.*field.vector)[i] = ParseNumber("", numbers[i]);
  } catch (const UsageError& e) {  // its text begins with the empty label's ": "
    throw UsageError(place.Label() + e.what());
  }
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

// The targets an update changed, each as it was before its first change: whether the update
// changed anything in the end is then a look at those alone, not a comparison of every target.
class ChangedTargets {
 public:
  explicit ChangedTargets(std::size_t count) : kept_(count) {}

  // Before `partial` is laid over `record`, the target at `place`.
  void Keep(std::size_t place, const TargetRecord& record, const PartialTarget& partial) {
    if (kept_[place] || !partial.Changes(record)) return;
    kept_[place] = true;
    originals_.emplace_back(place, record);
  }
  bool AnyDiffers(const std::vector<TargetRecord>& records) const {
    return std::any_of(originals_.begin(), originals_.end(), [&](const auto& kept) {
      return !SameRecord(kept.second, records[kept.first]);
    });
  }

 private:
  std::vector<bool> kept_;
  std::vector<std::pair<std::size_t, TargetRecord>> originals_;
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
  partials.reserve(table.rows.size());
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    PartialTarget& partial = partials.emplace_back();
    partial.place = "row " + std::to_string(r + 2);
    for (std::size_t c = 0; c < fields.size(); ++c) {
      const std::string& cell = table.rows[r][c];
      if (cell.empty()) continue;
      ReadCell(cell, CellPlace{r + 2, c + 1, *fields[c]}, partial.values);
      partial.given.push_back(fields[c]);
    }
  }
  return partials;
}

bool ApplyUpdates(std::vector<TargetRecord>& records, const std::vector<PartialTarget>& partials,
                  bool byId, std::string& error, bool* changed) {
  TargetsByKey index(records, byId);
  const std::size_t existing = records.size();
  ChangedTargets originals(existing);
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
    if (place < existing) originals.Keep(place, records[place], partial);
    partial.ApplyTo(records[place]);
    index.Follow(place, before, records[place]);
  }
  if (changed) *changed = records.size() > existing || originals.AnyDiffers(records);
  return true;
}

}  // namespace artargets
