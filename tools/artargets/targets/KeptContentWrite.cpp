// Writing back what a target file held beyond its targets (see KeptContent.h).
#include <map>
#include <sstream>
#include <unordered_map>

#include "serializedContent/ValueText.h"
#include "targets/KeptContent.h"
#include "targets/KeptXml.h"
#include "targets/TargetComparison.h"
#include "targets/TargetElement.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

constexpr unsigned kParseFragment = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                    pugi::parse_doctype | pugi::parse_fragment;

// Puts the nodes of `xml` into `parent`: before `next`, or last when `next` is empty. Gives the
// last node put.
pugi::xml_node Put(pugi::xml_node parent, pugi::xml_node next, const std::string& xml) {
  pugi::xml_document fragment;
  fragment.load_buffer(xml.data(), xml.size(), kParseFragment);
  pugi::xml_node put;
  for (pugi::xml_node node : fragment.children())
    put = next ? parent.insert_copy_before(node, next) : parent.append_copy(node);
  return put;
}

void PutAll(pugi::xml_node parent, pugi::xml_node next, const std::vector<std::string>& xml) {
  for (const std::string& piece : xml) Put(parent, next, piece);
}

void AddAttributes(pugi::xml_node node, const KeptAttributes& attributes) {
  for (const auto& [name, value] : attributes)
    node.append_attribute(name.c_str()).set_value(value.c_str());
}

std::string TextAttribute(pugi::xml_node property) {
  if (const pugi::xml_attribute plain = property.attribute("value")) return plain.value();
  std::string bytes;
  serializedContent::FromHex(property.attribute("value-hex").value(), bytes);
  return bytes;
}

// The record's name, id and type as the saved element gives them: a first sieve.
std::string ElementSieveKey(pugi::xml_node target) {
  std::string name, id, type;
  for (pugi::xml_node p : target.children()) {
    const std::string_view key = p.attribute("key").value();
    if (key == "artargetname") name = TextAttribute(p);
    if (key == "artargetid") id = p.attribute("value").value();
    if (key == "artargettype") type = p.attribute("value").value();
  }
  return name + '\0' + id + '\0' + type;
}
using keptxml::SieveKey;
using keptxml::XmlOf;

// Puts a target's kept parts into its saved element.
void PutInside(pugi::xml_node target, const KeptTarget& kept) {
  std::map<std::string, pugi::xml_node> byKey;
  for (pugi::xml_node p : target.children()) byKey.emplace(p.attribute("key").value(), p);
  AddAttributes(target, kept.attributes);
  for (const auto& [key, attributes] : kept.propertyAttributes)
    if (const auto found = byKey.find(key); found != byKey.end())
      AddAttributes(found->second, attributes);
  std::map<std::string, pugi::xml_node> lastPut;  // nodes kept after one property keep their order
  const pugi::xml_node first = target.first_child();
  for (const KeptNode& node : kept.inside) {
    const auto anchor = byKey.find(node.key);
    if (node.place == KeptNode::Place::kBefore) {
      Put(target, anchor == byKey.end() ? pugi::xml_node() : anchor->second, node.xml);
      continue;
    }
    pugi::xml_node after = lastPut.count(node.key) ? lastPut[node.key]
                           : anchor != byKey.end() ? anchor->second
                                                   : pugi::xml_node();
    const pugi::xml_node next = after ? after.next_sibling() : first;
    lastPut[node.key] = Put(target, next, node.xml);
  }
}

void PutTarget(pugi::xml_node arcontent, pugi::xml_node target, const KeptTarget& kept) {
  PutAll(arcontent, target, kept.before);
  if (kept.verbatim.empty()) return PutInside(target, kept);
  Put(arcontent, target, kept.verbatim);
  arcontent.remove_child(target);
}

// Finds the saved element of each record that keeps something, and puts its parts there.
class TargetPlacing {
 public:
  explicit TargetPlacing(const std::vector<TargetRecord>& records) {
    for (const TargetRecord& r : records)
      if (r.kept) waiting_.emplace(SieveKey(r), &r);
  }

  void Place(pugi::xml_node arcontent) {
    std::vector<pugi::xml_node> saved;
    for (pugi::xml_node target : arcontent.children()) saved.push_back(target);
    for (pugi::xml_node target : saved) {
      if (waiting_.empty()) return;
      auto [from, to] = waiting_.equal_range(ElementSieveKey(target));
      if (from == to) continue;
      const auto record = ReadTargetElement(XmlOf(target));
      for (auto it = from; record && it != to; ++it) {
        if (!SameRecord(*it->second, *record)) continue;
        PutTarget(arcontent, target, *it->second->kept);
        waiting_.erase(it);
        break;
      }
    }
  }

 private:
  std::unordered_multimap<std::string, const TargetRecord*> waiting_;
};

// A target of another format version can be kept only as long as its stand-in is not edited.
bool EditedStandIn(const std::vector<TargetRecord>& records, std::string& error) {
  for (const TargetRecord& r : records) {
    if (!r.kept || r.kept->verbatim.empty() || SameRecord(r, BlankTarget())) continue;
    error =
        "a target of another format version (read as an empty target) was edited, and "
        "saving it would replace its element " +
        Quoted(r.kept->verbatim.substr(0, 120)) +
        "; edit that element by hand, or remove the empty target (artargets remove FILE "
        "--index K) to drop it";
    return true;
  }
  return false;
}

}  // namespace

bool KeepsAnything(const std::vector<TargetRecord>& records, const KeptFrame& frame) {
  if (!frame.IsEmpty()) return true;
  for (const TargetRecord& r : records)
    if (r.kept) return true;
  return false;
}

bool WriteKeptContent(std::string& written, const std::vector<TargetRecord>& records,
                      const KeptFrame& frame, std::string& error) {
  if (!KeepsAnything(records, frame)) return true;
  if (EditedStandIn(records, error)) return false;
  const std::size_t declarationEnd = written.find('\n') + 1;
  pugi::xml_document doc;
  if (!doc.load_buffer(written.data() + declarationEnd, written.size() - declarationEnd,
                       pugi::parse_default)) {
    error = "cannot read back the saved text to keep what the file held beyond its targets";
    return false;
  }
  const pugi::xml_node root = doc.document_element();
  const pugi::xml_node targets = root.child("targets");
  const pugi::xml_node arcontent = targets.child("content");
  AddAttributes(root, frame.rootAttributes);
  AddAttributes(targets, frame.targetsAttributes);
  AddAttributes(arcontent, frame.arcontentAttributes);
  TargetPlacing(records).Place(arcontent);
  PutAll(arcontent, {}, frame.arcontentTail);
  PutAll(targets, arcontent, frame.targetsHead);
  PutAll(targets, {}, frame.targetsTail);
  PutAll(root, targets, frame.rootHead);
  PutAll(root, {}, frame.rootTail);
  PutAll(doc, root, frame.prolog);
  PutAll(doc, {}, frame.epilog);
  std::ostringstream out;
  doc.print(out, "  ", pugi::format_indent);
  written = written.substr(0, declarationEnd) + out.str();
  return true;
}

std::shared_ptr<const KeptTarget> MergeKept(const std::shared_ptr<const KeptTarget>& base,
                                            const std::shared_ptr<const KeptTarget>& ours,
                                            const std::shared_ptr<const KeptTarget>& theirs) {
  const auto same = [](const auto& a, const auto& b) { return a == b || (a && b && *a == *b); };
  return same(base, ours) ? theirs : ours;
}

KeptFrame MergeKept(const KeptFrame& base, const KeptFrame& ours, const KeptFrame& theirs) {
  return base == ours ? theirs : ours;
}

}  // namespace artargets
