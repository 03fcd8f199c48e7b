#include "versioncontrol/CanonicalOrder.h"

#include <cstdint>

#include "ar/TargetFileKeys.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlWriter.h"

namespace artargets {

namespace {

// Reads the three properties the order starts with.
class KeyFields final : public orl::SerializedContentVisitor {
 public:
  std::string name;
  std::uint32_t id = 0x80000000u;  // id 0, shifted so that unsigned order is signed order
  unsigned char type = 0;

  void Visit(const du::Symbol& key, const du::Symbol& value) override {
    if (key.view() == ar::keys::kName) name = value.view();
  }
  void Visit(const du::Symbol& key, int value) override {
    if (key.view() == ar::keys::kId) id = static_cast<std::uint32_t>(value) ^ 0x80000000u;
  }
  void Visit(const du::Symbol& key, unsigned char value) override {
    if (key.view() == ar::keys::kType) type = value;
  }
};

}  // namespace

std::string CanonicalKey(const orl::SerializedContentElement& content) {
  if (content.GetName().view() != ar::keys::kArTarget) return {};
  KeyFields fields;
  content.Visit(fields, false);
  std::string key;
  key.reserve(fields.name.size() + 7);
  // The name ends with two zero bytes and a zero byte in it becomes 0 1, so that a name sorts
  // before every longer name it begins.
  for (char c : fields.name) {
    key += c;
    if (c == '\0') key += '\1';
  }
  key.append(2, '\0');
  for (int shift = 24; shift >= 0; shift -= 8) key += static_cast<char>(fields.id >> shift);
  key += static_cast<char>(fields.type);
  return key;
}

void WriteCanonicalFiles() { serializedContent::XmlWriter::SetContentOrder(CanonicalKey); }

}  // namespace artargets
