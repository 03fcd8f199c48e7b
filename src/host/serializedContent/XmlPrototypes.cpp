#include "serializedContent/XmlPrototypes.h"

#include <cstring>
#include <sstream>
#include <string>

#include "serializedContent/XmlText.h"

namespace serializedContent {

namespace {

constexpr char kHolder[] = "prototypes";
// Past this many, an element gets no prototype of its own: a tree of many distinct names
// would otherwise make every lookup a long search.
constexpr std::size_t kMost = 64;

}  // namespace

XmlPrototypes::XmlPrototypes(pugi::xml_node node) {
  if (!node) return;
  pugi::xml_node document = node.root();
  holder_ = document.child(kHolder);
  if (!holder_) holder_ = document.append_child(kHolder);
}

XmlPrototypes::~XmlPrototypes() {
  if (!holder_) return;
  for (const Prototype& prototype : prototypes_)
    if (prototype.node) holder_.remove_child(prototype.node);
  // The copies share the prototypes' texts, which stay in the document's parsed buffers.
  if (!holder_.first_child()) holder_.parent().remove_child(holder_);
}

pugi::xml_node XmlPrototypes::Append(pugi::xml_node parent, const char* type, const char* keyName,
                                     const du::Symbol& key,
                                     std::initializer_list<const char*> valueNames) {
  if (!holder_) return {};
  const pugi::xml_node prototype = Find(type, keyName, key, valueNames);
  return prototype ? parent.append_copy(prototype) : pugi::xml_node();
}

pugi::xml_node XmlPrototypes::Find(const char* type, const char* keyName, const du::Symbol& key,
                                   std::initializer_list<const char*> valueNames) {
  for (std::size_t tried = 0; tried < prototypes_.size(); ++tried) {
    const std::size_t i = (next_ + tried) % prototypes_.size();
    const Prototype& p = prototypes_[i];
    if (p.type == type && p.keyName == keyName && p.key == key && p.values == valueNames.size()) {
      next_ = i + 1;
      return p.node;
    }
  }
  if (prototypes_.size() == kMost) return {};
  prototypes_.push_back(
      {type, keyName, key, valueNames.size(), Parse(type, keyName, key, valueNames)});
  next_ = 0;
  return prototypes_.back().node;
}

pugi::xml_node XmlPrototypes::Parse(const char* type, const char* keyName, const du::Symbol& key,
                                    std::initializer_list<const char*> valueNames) {
  // pugixml writes the prototype, escapes and all, and parses it back into the document.
  pugi::xml_document scratch;
  pugi::xml_node built = scratch.append_child(type);
  SetText(built, keyName, key.view());
  for (const char* name : valueNames) built.append_attribute(name);
  std::ostringstream text;
  scratch.print(text, "", pugi::format_raw);
  const std::string printed = text.str();
  if (!holder_.append_buffer(printed.data(), printed.size())) return {};
  pugi::xml_node parsed = holder_.last_child();
  // A text that does not come back exactly is built the long way, every time.
  bool same = std::strcmp(parsed.name(), type) == 0;
  for (pugi::xml_attribute a = built.first_attribute(), b = parsed.first_attribute(); same && a;
       a = a.next_attribute(), b = b.next_attribute())
    same = b && std::strcmp(a.name(), b.name()) == 0 && std::strcmp(a.value(), b.value()) == 0;
  if (same) return parsed;
  holder_.remove_child(parsed);
  return {};
}

}  // namespace serializedContent
