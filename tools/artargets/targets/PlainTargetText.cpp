#include "targets/PlainTargetText.h"

#include <algorithm>
#include <array>

#include "ar/TargetFileKeys.h"
#include "serializedContent/ValueText.h"
#include "targets/TargetElement.h"

namespace artargets {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kTargetOpening = R"(      <content name="artarget">)";

// The text line by line, each without its line feed; a last line without one is doubt.
class Lines {
 public:
  explicit Lines(std::string_view text) : rest_(text) {}
  bool Next(std::string_view& line) {
    const std::size_t end = rest_.find('\n');
    if (end == kNone) return false;
    line = rest_.substr(0, end);
    rest_.remove_prefix(end + 1);
    return true;
  }
  bool Next(std::string_view expected, std::string_view& line) {
    return Next(line) && line == expected;
  }
  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

bool Take(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// ` NAME="VALUE"` off the front of `line`. A value that the XML reader would change (an entity,
// white space it converts) is doubt, but for a string, which the plug-in reads whatever it holds.
bool TakeAttribute(std::string_view& line, std::string_view name, std::string_view& value,
                   bool text) {
  if (!Take(line, " ") || !Take(line, name) || !Take(line, "=\"")) return false;
  const std::size_t end = line.find('"');
  if (end == kNone) return false;
  value = line.substr(0, end);
  line.remove_prefix(end + 1);
  // One pass over the bytes: find_first_of would look each one up in the set with a call.
  return std::none_of(value.begin(), value.end(), [text](char c) {
    return c == '<' || c == '\t' || c == '\r' || (!text && c == '&');
  });
}

// A text value the plug-in keeps byte for byte: no entity for the XML reader to replace and
// no control character (which the reader may refuse or change).
bool VerbatimText(std::string_view value) {
  for (const char c : value)
    if (c == '&' || static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

// Puts a text or number property's value into `record`; false when it has no place there as
// read here.
bool Store(std::string_view key, std::string_view value, TargetRecord& record) {
  namespace k = ar::keys;
  unsigned char small = 0;
  int whole = 0;
  if (key == k::kName || key == k::kImage || key == k::kShape) {
    std::string& text = key == k::kName    ? record.name
                        : key == k::kImage ? record.image
                                           : record.shape;
    text.assign(value);
    return VerbatimText(value);
  }
  if (key == k::kWidth) return serializedContent::ParseDouble(value, record.width);
  if (key == k::kHeight) return serializedContent::ParseDouble(value, record.height);
  if (key == k::kRotation) return serializedContent::ParseDouble(value, record.rotation);
  if (key == k::kVersion) return true;  // its value is checked as the lines are read
  if (key == k::kType) {
    if (!serializedContent::ParseUInt8(value, small)) return false;
    record.type = small;
    return true;
  }
  if (key != k::kId || !serializedContent::ParseInt(value, whole)) return false;
  record.id = whole;
  return true;
}

bool StoreTriple(std::string_view key, const Vec3& value, TargetRecord& record) {
  namespace k = ar::keys;
  Vec3* field = key == k::kCenter   ? &record.center
                : key == k::kNormal ? &record.normal
                : key == k::kXDir   ? &record.xdir
                : key == k::kYDir   ? &record.ydir
                                    : nullptr;
  if (field) *field = value;
  return field != nullptr;
}

// The properties of one target, up to its closing line: each known key once, in the element it
// is written with, with a readable value and no other attribute, format version 0. With a
// record to fill, every key must be there and each value goes into the record.
class TargetLines {
 public:
  explicit TargetLines(TargetRecord* record) : record_(record) {}

  bool Read(Lines& lines) {
    std::string_view line;
    while (lines.Next(line) && line != "      </content>")
      if (!Property(line)) return false;
    return line == "      </content>" && versionZero_ &&
           (!record_ || count_ == PropertyForms().size());
  }

 private:
  bool Property(std::string_view line) {
    std::string_view key, value;
    if (!Take(line, "        <")) return false;
    const std::string_view element = line.substr(0, line.find(' '));
    line.remove_prefix(element.size());
    if (!TakeAttribute(line, "key", key, false)) return false;
    const auto form = PropertyForms().find(key);
    if (form == PropertyForms().end() || form->second != element || !FirstTime(form->first))
      return false;
    if (element == "point" || element == "vector") {
      Vec3 triple{};
      double* axis = triple.data();
      for (const char* name : {"x", "y", "z"})
        if (!TakeAttribute(line, name, value, false) ||
            !serializedContent::ParseDouble(value, *axis++))
          return false;
      if (record_ && !StoreTriple(key, triple, *record_)) return false;
    } else {
      // Storing a value parses it, so a record being filled is not parsed twice.
      if (!TakeAttribute(line, "value", value, element == "string") ||
          !(record_ ? Store(key, value, *record_) : ReadableAsWritten(element, value)))
        return false;
      if (key == "artargetversion") versionZero_ = value == "0";
    }
    return line == " />";
  }

  // `key` is the table's own text (PropertyForms): the same key is the same string there, so
  // its address tells it.
  bool FirstTime(const std::string& key) {
    for (std::size_t i = 0; i < count_; ++i)
      if (seen_[i] == &key) return false;
    if (count_ == seen_.size()) return false;
    seen_[count_++] = &key;
    return true;
  }

  TargetRecord* record_;
  std::array<const std::string*, 16> seen_{};
  std::size_t count_ = 0;
  bool versionZero_ = false;
};

// The file's lines in one pass; with `records`, each target is read into a record of its own.
bool Scan(std::string_view text, std::vector<TargetRecord>* records) {
  Lines lines(text);
  std::string_view line;
  if (!lines.Next(R"(<?xml version="1.0" encoding="utf-8"?>)", line) || !lines.Next(line))
    return false;
  std::string_view version;  // the root's only attribute
  if (!Take(line, "<augmentedreality") || !TakeAttribute(line, "version", version, false) ||
      line != ">")
    return false;
  // The plug-in reads versions up to 1; a record is read only of a version it surely reads.
  if (records && version != "0" && version != "1") return false;
  if (!lines.Next("  <targets>", line) || !lines.Next(R"(    <content name="arcontent">)", line))
    return false;
  bool more = lines.Next(line);
  for (; more && line == kTargetOpening; more = lines.Next(line))
    if (!TargetLines(records ? &records->emplace_back() : nullptr).Read(lines)) return false;
  return more && line == "    </content>" && lines.Next("  </targets>", line) &&
         lines.Next("</augmentedreality>", line) && lines.AtEnd();
}

}  // namespace

std::vector<int> PlainTargetLines(std::string_view text) {
  if (!HoldsOnlyTargets(text)) return {};
  std::vector<int> lines;
  Lines all(text);
  std::string_view line;
  for (int number = 1; all.Next(line); ++number)
    if (line == kTargetOpening) lines.push_back(number);
  return lines;
}

bool ReadableAsWritten(std::string_view element, std::string_view value) {
  if (element == "string") return true;
  double d;
  int i;
  unsigned char u;
  if (element == "double") return serializedContent::ParseDouble(value, d);
  if (element == "int") return serializedContent::ParseInt(value, i);
  if (element == "uint8") return serializedContent::ParseUInt8(value, u);
  return false;
}

bool HoldsOnlyTargets(std::string_view text) { return Scan(text, nullptr); }

std::future<bool> ReadAside(std::function<bool()> read) {
  PropertyForms();
  return std::async(std::launch::async, std::move(read));
}

bool ReadPlainTargets(std::string_view text, std::vector<TargetRecord>& records) {
  records.clear();
  // No target in this layout takes fewer bytes: room enough without a copy as the records grow,
  // and pages never used are never touched.
  records.reserve(text.size() / 512);
  if (Scan(text, &records)) return true;
  records.clear();
  return false;
}

}  // namespace artargets
