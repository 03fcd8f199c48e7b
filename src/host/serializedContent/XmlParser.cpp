#include "serializedContent/XmlParser.h"

#include <charconv>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "dg/XmlAccess.h"
#include "orl/SerializedContent.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlForm.h"

namespace serializedContent {

namespace {

// The value types, by their element names.
enum class Type { kUInt8, kInt, kDouble, kFloat, kBool, kString, kPoint, kVector, kUnknown };

Type TypeOf(const char* name) {
  switch (name[0]) {
    case 'u':
      return std::strcmp(name, form::kUInt8) ? Type::kUnknown : Type::kUInt8;
    case 'i':
      return std::strcmp(name, form::kInt) ? Type::kUnknown : Type::kInt;
    case 'd':
      return std::strcmp(name, form::kDouble) ? Type::kUnknown : Type::kDouble;
    case 'f':
      return std::strcmp(name, form::kFloat) ? Type::kUnknown : Type::kFloat;
    case 'b':
      return std::strcmp(name, form::kBool) ? Type::kUnknown : Type::kBool;
    case 's':
      return std::strcmp(name, form::kString) ? Type::kUnknown : Type::kString;
    case 'p':
      return std::strcmp(name, form::kPoint) ? Type::kUnknown : Type::kPoint;
    case 'v':
      return std::strcmp(name, form::kVector) ? Type::kUnknown : Type::kVector;
    default:
      return Type::kUnknown;
  }
}

bool IsContent(pugi::xml_node node) {
  const char* name = node.name();
  return name[0] == 'c' && std::strcmp(name, form::kContent) == 0;
}

// A text attribute as written: plain, or as hex bytes in its "-hex" twin.
struct TextAttribute {
  const char* plain = nullptr;
  const char* hex = nullptr;

  // The text, decoded into `storage` when it came as hex; empty when missing or unreadable.
  std::optional<std::string_view> Read(std::string& storage) const {
    if (plain) return std::string_view(plain);
    if (hex && FromHex(hex, storage)) return std::string_view(storage);
    return std::nullopt;
  }
};

// Takes `node` and everything below it out of its tree, freeing it. pugixml frees a subtree
// recursively; taken apart from its leaves up, no depth of nesting can exhaust the stack.
void TakeOut(pugi::xml_node node) {
  pugi::xml_node leaf = node;
  for (;;) {
    while (pugi::xml_node child = leaf.first_child()) leaf = child;
    pugi::xml_node parent = leaf.parent();
    parent.remove_child(leaf);
    if (leaf == node) return;
    leaf = parent;
  }
}

// The attributes of one property or content element, read in a single pass.
struct Attributes {
  TextAttribute name, key, value;
  const char* xyz[3] = {nullptr, nullptr, nullptr};

  explicit Attributes(pugi::xml_node node) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
      const char* n = a.name();
      switch (n[0]) {  // one comparison of the whole name for the usual attributes
        case 'x':
        case 'y':
        case 'z':
          if (n[1] == '\0') xyz[n[0] - 'x'] = a.value();
          break;
        case 'k':
          Take(n, form::kKey, a, key);
          break;
        case 'v':
          Take(n, form::kValue, a, value);
          break;
        case 'n':
          Take(n, form::kName, a, name);
          break;
        default:
          break;
      }
    }
  }

 private:
  // `n` is `base` itself, or its "-hex" twin.
  static void Take(const char* n, const char* base, pugi::xml_attribute a, TextAttribute& text) {
    std::size_t i = 0;
    while (base[i] != '\0' && n[i] == base[i]) ++i;
    if (base[i] != '\0') return;
    if (n[i] == '\0')
      text.plain = a.value();
    else if (std::strcmp(n + i, form::kHexSuffix) == 0)
      text.hex = a.value();
  }
};

// Names repeat in the same order in every element of a kind: the Symbol of a name is looked
// for first where the previous lookup left off, so that each is interned once per file rather
// than once per property.
class NameCache {
 public:
  const du::Symbol& Get(std::string_view text) {
    for (std::size_t tried = 0; tried < entries_.size(); ++tried) {
      const std::size_t i = (next_ + tried) % entries_.size();
      if (entries_[i].text == text) {
        next_ = i + 1;
        return entries_[i].symbol;
      }
    }
    if (entries_.size() == kSize) entries_.erase(entries_.begin());
    du::Symbol symbol(text);
    entries_.push_back(Entry{symbol.view(), std::move(symbol)});
    next_ = 0;
    return entries_.back().symbol;
  }

 private:
  struct Entry {
    std::string_view text;  // the symbol's own characters, compared without a call
    du::Symbol symbol;
  };
  static constexpr std::size_t kSize = 32;
  std::vector<Entry> entries_;
  std::size_t next_ = 0;
};

class Reader {
 public:
  explicit Reader(std::vector<std::string>& problems) : problems_(problems) {}

  // Adds the property `node` stands for to `element`; false when it is not one or unreadable.
  bool AddProperty(pugi::xml_node node, orl::SerializedContentElement* element) {
    const char* type = node.name();
    const Type kind = TypeOf(type);
    if (kind == Type::kUnknown)
      return Problem(element, "unknown element '" + std::string(type) + "'");
    const Attributes attributes(node);
    const std::optional<std::string_view> key = attributes.key.Read(storage_);
    if (!key) return Problem(element, std::string(type) + " without a key");
    const du::Symbol& k = names_.Get(*key);
    switch (kind) {
      case Type::kString: {
        const std::optional<std::string_view> text = attributes.value.Read(storage_);
        if (!text) return Problem(element, "string '" + k.str() + "' without a value");
        element->AddProperty(k, du::Symbol(*text));
        return true;
      }
      case Type::kPoint:
      case Type::kVector:
        return AddTriple(kind, attributes, k, element);
      default:
        return AddScalar(kind, type, attributes.value.plain, k, element);
    }
  }

  // The Symbol of a content element's name.
  std::optional<du::Symbol> ContentName(pugi::xml_node node) {
    const std::optional<std::string_view> name = Attributes(node).name.Read(storage_);
    if (!name) return std::nullopt;
    return names_.Get(*name);
  }

  bool Problem(const orl::SerializedContentElement* element, const std::string& what) {
    problems_.push_back("in content '" + element->GetName().str() + "': " + what);
    return false;
  }

 private:
  bool AddTriple(Type kind, const Attributes& attributes, const du::Symbol& k,
                 orl::SerializedContentElement* element) {
    double v[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
      if (!attributes.xyz[i] || !ParseDouble(attributes.xyz[i], v[i]))
        return Problem(element, std::string(kind == Type::kPoint ? form::kPoint : form::kVector) +
                                    " '" + k.str() + "' has an unreadable x, y or z");
    }
    if (kind == Type::kPoint)
      element->AddProperty(k, dg::DPoint3D{v[0], v[1], v[2]});
    else
      element->AddProperty(k, dg::DVec3{v[0], v[1], v[2]});
    return true;
  }

  bool AddScalar(Type kind, const char* type, const char* value, const du::Symbol& k,
                 orl::SerializedContentElement* element) {
    const std::string_view text = value ? value : "";
    bool read = false;
    switch (kind) {
      case Type::kUInt8:
        read = Add<unsigned char>(text, ParseUInt8, k, element);
        break;
      case Type::kInt:
        read = Add<int>(text, ParseInt, k, element);
        break;
      case Type::kDouble:
        read = Add<double>(text, ParseDouble, k, element);
        break;
      case Type::kFloat:
        read = Add<float>(text, ParseFloat, k, element);
        break;
      default:
        read = Add<bool>(text, ParseBool, k, element);
    }
    if (!read)
      return Problem(element, std::string(type) + " '" + k.str() + "' has the " +
                                  (IsWholeNumber(text) ? "out-of-range" : "unreadable") +
                                  " value '" + std::string(text) + "'" + RangeOf(kind));
    return true;
  }

  // A whole number a wider type would hold: a whole-number property that does not fit.
  static bool IsWholeNumber(std::string_view text) {
    long long ignored = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ignored);
    return !text.empty() && end == text.data() + text.size() &&
           (error == std::errc() || error == std::errc::result_out_of_range);
  }
  static std::string RangeOf(Type kind) {
    if (kind == Type::kUInt8) return " (a uint8 holds 0 to 255)";
    if (kind == Type::kInt) return " (an int holds -2147483648 to 2147483647)";
    return "";
  }

  template <class T>
  static bool Add(std::string_view text, bool (*parse)(std::string_view, T&), const du::Symbol& k,
                  orl::SerializedContentElement* element) {
    T value{};
    if (!parse(text, value)) return false;
    element->AddProperty(k, value);
    return true;
  }

  std::vector<std::string>& problems_;
  NameCache names_;
  std::string storage_;
};

std::mutex g_watcherMutex;
XmlParser::Watcher g_watcher;  // guarded by g_watcherMutex

XmlParser::Watcher CurrentWatcher() {
  std::lock_guard lock(g_watcherMutex);
  return g_watcher;
}

}  // namespace

void XmlParser::Watch(Watcher watcher) {
  std::lock_guard lock(g_watcherMutex);
  g_watcher = std::move(watcher);
}

bool XmlParser::Parse(dg::XmlElem* xml, orl::SerializedContentElement* top) {
  problems_.clear();
  if (!xml || !top) return false;
  Reader reader(problems_);

  struct Frame {
    pugi::xml_node node;
    pugi::xml_node next;  // the next XML child to read
    orl::SerializedContentElement* element;
  };
  const pugi::xml_node root = dg::XmlAccess::Node(xml);
  std::vector<Frame> stack{{root, root.first_child(), top}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (!frame.next) {  // only leaves are left below the frame's node
      if (stack.size() > 1) {
        frame.element->EndContent();
        frame.node.parent().remove_child(frame.node);
      } else {
        while (const pugi::xml_node leaf = frame.node.first_child()) frame.node.remove_child(leaf);
      }
      stack.pop_back();
      continue;
    }
    const pugi::xml_node node = frame.next;
    frame.next = node.next_sibling();
    const bool isElement = node.type() == pugi::node_element;
    if (isElement && IsContent(node)) {
      if (const std::optional<du::Symbol> name = reader.ContentName(node)) {
        orl::SerializedContentElement* child = frame.element->StartContent(*name);
        stack.push_back(Frame{node, node.first_child(), child});
        continue;
      }
      reader.Problem(frame.element, "content without a name");
    } else if (isElement) {
      reader.AddProperty(node, frame.element);
    }
    // Read or skipped, it goes now; a leaf goes with its parent, which costs one call less.
    if (node.first_child()) TakeOut(node);
  }
  if (const Watcher watcher = CurrentWatcher()) watcher(*top, problems_);
  return problems_.empty();
}

}  // namespace serializedContent
