// Reading what a target file holds beyond its targets (see KeptContent.h).
#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>

#include "targets/KeptContent.h"
#include "targets/KeptXml.h"
#include "targets/PlainTargetText.h"
#include "targets/TargetComparison.h"
#include "targets/TargetElement.h"

namespace artargets {

namespace {

using keptxml::kParseEverything;
using keptxml::SieveKey;
using keptxml::XmlOf;

bool Named(pugi::xml_node node, std::string_view element, std::string_view name) {
  return node.type() == pugi::node_element && element == node.name() &&
         name == node.attribute("name").value();
}
bool IsTarget(pugi::xml_node node) { return Named(node, "content", "artarget"); }
// A content element the host's reader descends into, looking for targets.
bool IsContent(pugi::xml_node node) {
  return node.type() == pugi::node_element && std::string_view(node.name()) == "content";
}

KeptAttributes AttributesBut(pugi::xml_node node, std::initializer_list<std::string_view> known) {
  KeptAttributes kept;
  for (pugi::xml_attribute a : node.attributes())
    if (std::find(known.begin(), known.end(), a.name()) == known.end())
      kept.emplace_back(a.name(), a.value());
  return kept;
}

// Whether the target's element holds exactly what the plug-in writes: format version 0, each
// property once, in the element its key is written with, with readable values and no other
// attribute; then it keeps nothing. Any doubt sends it to the exact reading.
bool IsPlain(pugi::xml_node target) {
  if (target.first_attribute().next_attribute()) return false;
  const pugi::xml_node version = target.find_child_by_attribute("key", "artargetversion");
  if (std::string_view(version.attribute("value").value()) != "0") return false;
  std::set<std::string_view> seen;
  for (pugi::xml_node p : target.children()) {
    if (p.type() != pugi::node_element) return false;
    const std::string_view key = p.attribute("key").value();
    const auto form = PropertyForms().find(key);
    if (form == PropertyForms().end() || form->second != p.name() || !seen.insert(key).second)
      return false;
    const bool triple = form->second == "point" || form->second == "vector";
    std::size_t count = 0;
    for (pugi::xml_attribute a : p.attributes()) {
      ++count;
      const std::string_view name = a.name();
      if (name == "key") continue;
      if (triple ? (name != "x" && name != "y" && name != "z") : name != "value") return false;
      if (!ReadableAsWritten(triple ? "double" : p.name(), a.value())) return false;
    }
    if (count != (triple ? 4u : 2u) || p.first_child()) return false;
  }
  return true;
}

// The exact reading of a target's element that holds more than the plug-in writes.
class TargetReading {
 public:
  explicit TargetReading(pugi::xml_node target) : target_(target) {}

  KeptTarget Read() {
    KeptTarget kept;
    kept.attributes = AttributesBut(target_, {"name"});
    std::unordered_map<std::string, pugi::xml_node> last;  // the property that counts, by key
    for (pugi::xml_node p : target_.children())
      if (const auto key = Counted(p)) last[*key] = p;
    std::string previous;  // the key of the last counted property met
    for (pugi::xml_node p : target_.children()) {
      const auto key = Counted(p);
      if (!key) {
        kept.inside.push_back({KeptNode::Place::kAfter, previous, XmlOf(p)});
      } else if (last[*key] != p || p.first_child()) {
        kept.inside.push_back({KeptNode::Place::kBefore, *key, XmlOf(p)});
      } else {
        previous = *key;
        KeptAttributes extra = AttributesBut(p, {"key", "value", "x", "y", "z"});
        if (!extra.empty()) kept.propertyAttributes.emplace_back(*key, std::move(extra));
      }
    }
    return kept;
  }

 private:
  std::optional<std::string> Counted(pugi::xml_node p) {
    if (p.type() != pugi::node_element) return std::nullopt;
    const auto found = counted_.find(p.internal_object());
    if (found != counted_.end()) return found->second;
    return counted_[p.internal_object()] = CountedKey(XmlOf(p));
  }

  pugi::xml_node target_;
  std::unordered_map<const void*, std::optional<std::string>> counted_;
};

struct FoundTarget {
  std::shared_ptr<KeptTarget> kept;
  TargetRecord record;  // as the plug-in reads the element
};

// Walks the content below "targets" as the plug-in's reader does: every target element at any
// depth of content elements. What stands before a target goes with it; the rest stays with the
// element it stood in.
class FrameReading {
 public:
  FrameReading(KeptFrame& frame, std::vector<FoundTarget>& found) : frame_(frame), found_(found) {}

  void Root(pugi::xml_node root) {
    frame_.rootAttributes = AttributesBut(root, {"version"});
    const pugi::xml_node targets = root.child("targets");
    Around(root, targets, frame_.rootHead, frame_.rootTail);
    frame_.targetsAttributes = AttributesBut(targets, {});
    pugi::xml_node arcontent;
    for (pugi::xml_node child : targets.children())
      if (Named(child, "content", "arcontent")) {
        arcontent = child;
        break;
      }
    if (!arcontent) return Targets(targets, frame_.targetsTail);
    std::vector<std::string> head;
    for (pugi::xml_node child = targets.first_child(); child != arcontent;
         child = child.next_sibling())
      Meet(child, head);
    frame_.targetsHead = std::move(head);  // targets met there took what stood before them
    frame_.arcontentAttributes = AttributesBut(arcontent, {"name"});
    Targets(arcontent, frame_.arcontentTail);
    for (pugi::xml_node child = arcontent.next_sibling(); child; child = child.next_sibling())
      Meet(child, frame_.targetsTail);
  }

 private:
  static void Around(pugi::xml_node parent, pugi::xml_node middle, std::vector<std::string>& head,
                     std::vector<std::string>& tail) {
    bool after = false;
    for (pugi::xml_node child : parent.children()) {
      if (child == middle)
        after = true;
      else
        (after ? tail : head).push_back(XmlOf(child));
    }
  }

  // The children of `parent`; what follows its last target stays in `tail`.
  void Targets(pugi::xml_node parent, std::vector<std::string>& tail) {
    std::vector<std::string> pending;
    for (pugi::xml_node child : parent.children()) Meet(child, pending);
    tail.insert(tail.end(), pending.begin(), pending.end());
  }

  void Meet(pugi::xml_node node, std::vector<std::string>& pending) {
    if (IsTarget(node)) return Target(node, pending);
    if (!IsContent(node) || !Holds(node)) return pending.push_back(XmlOf(node));
    // A content element that holds targets: they are read out of it, the rest stays with it.
    pugi::xml_document copy;
    copy.append_copy(node);
    Strip(copy.first_child());
    pending.push_back(XmlOf(copy.first_child()));
    Lift(node);
  }

  // The targets at any depth of `content`, which stay in its copy with nothing before them.
  void Lift(pugi::xml_node content) {
    for (pugi::xml_node child : content.children()) {
      std::vector<std::string> nothing;
      if (IsTarget(child))
        Target(child, nothing);
      else if (IsContent(child))
        Lift(child);
    }
  }

  static bool Holds(pugi::xml_node content) {
    for (pugi::xml_node child : content.children())
      if (IsTarget(child) || (IsContent(child) && Holds(child))) return true;
    return false;
  }
  static void Strip(pugi::xml_node content) {
    for (pugi::xml_node child = content.first_child(); child;) {
      const pugi::xml_node next = child.next_sibling();
      if (IsTarget(child))
        content.remove_child(child);
      else if (IsContent(child))
        Strip(child);
      child = next;
    }
  }

  void Target(pugi::xml_node node, std::vector<std::string>& pending) {
    const bool plain = IsPlain(node);
    if (plain && pending.empty()) return;
    FoundTarget found{std::make_shared<KeptTarget>(), {}};
    const std::string xml = XmlOf(node);
    if (const auto record = ReadTargetElement(xml)) {
      found.record = *record;
      if (!plain) *found.kept = TargetReading(node).Read();
    } else {
      found.record = BlankTarget();
      found.kept->verbatim = xml;
    }
    found.kept->before = std::move(pending);
    pending.clear();
    if (*found.kept == KeptTarget{}) return;  // written otherwise (hex text), holding nothing more
    found_.push_back(std::move(found));
  }

  KeptFrame& frame_;
  std::vector<FoundTarget>& found_;
};

void Attach(std::vector<FoundTarget>& found, std::vector<TargetRecord>& records) {
  if (found.empty()) return;
  std::unordered_multimap<std::string, std::size_t> waiting;
  for (std::size_t i = 0; i < found.size(); ++i) waiting.emplace(SieveKey(found[i].record), i);
  for (TargetRecord& record : records) {
    auto [from, to] = waiting.equal_range(SieveKey(record));
    for (auto it = from; it != to; ++it) {
      if (!SameRecord(found[it->second].record, record)) continue;
      record.kept = std::move(found[it->second].kept);
      waiting.erase(it);
      break;
    }
  }
}

}  // namespace

void ReadKeptContent(const std::string& text, std::vector<TargetRecord>& records,
                     KeptFrame& frame) {
  if (HoldsOnlyTargets(text)) return;  // as the plug-in wrote it: nothing to look for
  pugi::xml_document doc;
  if (!doc.load_buffer(text.data(), text.size(), kParseEverything)) return;
  const pugi::xml_node root = doc.document_element();
  bool after = false;
  for (pugi::xml_node node : doc.children()) {
    if (node == root)
      after = true;
    else
      (after ? frame.epilog : frame.prolog).push_back(XmlOf(node));
  }
  std::vector<FoundTarget> found;
  FrameReading(frame, found).Root(root);
  Attach(found, records);
}

}  // namespace artargets
