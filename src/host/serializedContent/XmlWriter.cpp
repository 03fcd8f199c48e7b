#include "serializedContent/XmlWriter.h"

#include <algorithm>
#include <charconv>
#include <concepts>
#include <initializer_list>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "dg/XmlAccess.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlForm.h"
#include "serializedContent/XmlPrototypes.h"
#include "serializedContent/XmlText.h"

namespace serializedContent {

namespace {

constexpr std::size_t kRemembered = 32;  // more distinct keys than any content has

// A number's text, formatted into a buffer on the stack.
class NumberText {
 public:
  explicit NumberText(double value) : size_(FormatDouble(value, buffer_)) {}
  explicit NumberText(float value) : size_(FormatFloat(value, buffer_)) {}
  template <std::integral Whole>
  explicit NumberText(Whole value)
      : size_(static_cast<std::size_t>(
            std::to_chars(buffer_, buffer_ + sizeof(buffer_), value).ptr - buffer_)) {}
  const char* data() const { return buffer_; }
  std::size_t size() const { return size_; }

 private:
  char buffer_[kNumberTextSize];
  std::size_t size_;
};

// The order a host asked for; guarded by g_orderMutex.
std::mutex g_orderMutex;
XmlWriter::ContentKey g_contentKey;

XmlWriter::ContentKey ContentOrderInForce() {
  const std::lock_guard lock(g_orderMutex);
  return g_contentKey;
}

// A content child written, with its sort key.
struct KeyedContent {
  std::string key;
  pugi::xml_node node;
};

std::string XmlTextOf(pugi::xml_node node) {
  struct Appender final : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override {
      text.append(static_cast<const char*>(data), size);
    }
  } appender;
  node.print(appender, "", pugi::format_raw);
  return appender.text;
}

// Puts the content children of `parent` in the order of their keys, then of their text; they
// take the place of the first of them.
void PutInOrder(pugi::xml_node parent, std::vector<KeyedContent>& contents) {
  if (contents.size() < 2) return;
  pugi::xml_node before = contents.front().node.previous_sibling();  // they were appended
  std::sort(contents.begin(), contents.end(), [](const KeyedContent& a, const KeyedContent& b) {
    // One comparison of the keys, not one for "differ" and another for "before": a million
    // contents take twenty million of them.
    if (const int order = a.key.compare(b.key); order != 0) return order < 0;
    return XmlTextOf(a.node) < XmlTextOf(b.node);  // rare: only equal keys get here
  });
  for (const KeyedContent& content : contents) {
    if (before)
      parent.insert_move_after(content.node, before);
    else
      parent.prepend_move(content.node);
    before = content.node;
  }
}

}  // namespace

void XmlWriter::SetContentOrder(ContentKey key) {
  const std::lock_guard lock(g_orderMutex);
  g_contentKey = std::move(key);
}

struct XmlWriter::State {
  explicit State(pugi::xml_node parentNode)
      : parent(parentNode), prototypes(parentNode), contentKey(ContentOrderInForce()) {}

  pugi::xml_node parent;
  XmlPrototypes prototypes;
  std::vector<pugi::xml_node> open;  // the XML element of each entered element
  ContentKey contentKey;
  // With an order: the content children written so far of each entered element.
  std::vector<std::vector<KeyedContent>> contents;
  // Keys and element names repeat in every element of a kind, and a Symbol's text never
  // changes: whether XML carries one is worked out once per distinct symbol.
  std::vector<du::Symbol> carried;

  bool Carried(const du::Symbol& text) {
    if (std::find(carried.begin(), carried.end(), text) != carried.end()) return true;
    if (!IsXmlText(text.view())) return false;
    if (carried.size() < kRemembered) carried.push_back(text);
    return true;
  }
  void SetName(pugi::xml_node node, const char* name, const du::Symbol& text) {
    SetText(node, name, text.view(), Carried(text));
  }
  // A new element `type` for the property `key`, with the empty attributes `valueNames` after
  // its key.
  pugi::xml_node Property(const char* type, const du::Symbol& key,
                          std::initializer_list<const char*> valueNames) {
    pugi::xml_node node = prototypes.Append(open.back(), type, form::kKey, key, valueNames);
    if (node) return node;
    node = open.back().append_child(type);
    SetName(node, form::kKey, key);
    for (const char* name : valueNames) node.append_attribute(name);
    return node;
  }
  void Value(const char* type, const du::Symbol& key, std::string_view text) {
    Property(type, key, {form::kValue}).last_attribute().set_value(text.data(), text.size());
  }
  template <class Number>
  requires std::is_arithmetic_v<Number>
  void Value(const char* type, const du::Symbol& key, Number value) {
    const NumberText text(value);
    Value(type, key, std::string_view(text.data(), text.size()));
  }
  void Triple(const char* type, const du::Symbol& key, double x, double y, double z) {
    pugi::xml_node node = Property(type, key, {form::kX, form::kY, form::kZ});
    pugi::xml_attribute attribute = node.first_attribute();  // the key
    for (double value : {x, y, z}) {
      const NumberText text(value);
      attribute = attribute.next_attribute();
      attribute.set_value(text.data(), text.size());
    }
  }
};

XmlWriter::XmlWriter(dg::XmlElem* parent)
    : state_(new State(parent ? dg::XmlAccess::Node(parent) : pugi::xml_node())) {}

XmlWriter::~XmlWriter() = default;

bool XmlWriter::StartElement(const du::Symbol& name, const orl::SerializedContentElement* element) {
  const bool ordered = static_cast<bool>(state_->contentKey);
  if (state_->open.empty()) {
    state_->open.push_back(state_->parent);  // the walk's first element is the given one
    if (ordered) state_->contents.emplace_back();
    return static_cast<bool>(state_->parent);
  }
  pugi::xml_node node =
      state_->prototypes.Append(state_->open.back(), form::kContent, form::kName, name, {});
  if (!node) {
    node = state_->open.back().append_child(form::kContent);
    state_->SetName(node, form::kName, name);
  }
  if (ordered) {
    state_->contents.back().push_back({element ? state_->contentKey(*element) : "", node});
    state_->contents.emplace_back();
  }
  state_->open.push_back(node);
  return true;
}

bool XmlWriter::EndElement(const du::Symbol&) {
  if (state_->contentKey) {
    PutInOrder(state_->open.back(), state_->contents.back());
    state_->contents.pop_back();
  }
  state_->open.pop_back();
  return true;
}

void XmlWriter::Visit(const du::Symbol& key, const dg::DVec3& v) {
  state_->Triple(form::kVector, key, v.x, v.y, v.z);
}

void XmlWriter::Visit(const du::Symbol& key, const dg::DPoint3D& p) {
  state_->Triple(form::kPoint, key, p.x, p.y, p.z);
}

void XmlWriter::Visit(const du::Symbol& key, const du::Symbol& value) {
  if (IsXmlText(value.view()))
    state_->Value(form::kString, key, value.view());
  else
    SetText(state_->Property(form::kString, key, {}), form::kValue, value.view());
}

void XmlWriter::Visit(const du::Symbol& key, int value) { state_->Value(form::kInt, key, value); }

void XmlWriter::Visit(const du::Symbol& key, unsigned char value) {
  state_->Value(form::kUInt8, key, static_cast<unsigned>(value));
}

void XmlWriter::Visit(const du::Symbol& key, double value) {
  state_->Value(form::kDouble, key, value);
}

void XmlWriter::Visit(const du::Symbol& key, float value) {
  state_->Value(form::kFloat, key, value);
}

void XmlWriter::Visit(const du::Symbol& key, bool value) {
  state_->Value(form::kBool, key, std::string_view(value ? "true" : "false"));
}

}  // namespace serializedContent
