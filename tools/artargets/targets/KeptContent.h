// What a target file holds beyond the targets the plug-in reads, kept through every edit: XML
// comments and processing instructions, properties the reader ignores (unknown keys, a known key
// with another type, a value it cannot read, an earlier value a later one overrides), unknown
// attributes and child elements, targets of another format version, and whatever stands around
// the targets in the file's frame. An edit reads it beside the targets, carries each target's part
// on its record (so that it goes wherever the target goes, and with it when it is removed), and
// writes it back where it stood. Kept XML is written again as pugixml prints it: the same
// elements, attributes, text and comments, with the file's indentation and quoting.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

using KeptAttributes = std::vector<std::pair<std::string, std::string>>;

// One piece of XML kept inside a target's element, placed by the property it stood beside.
struct KeptNode {
  enum class Place {
    kAfter,   // after the property whose key is `key`; an empty key means first in the element
    kBefore,  // just before the property `key`: a value that property overrides on reading
  };
  Place place = Place::kAfter;
  std::string key;
  std::string xml;
  friend bool operator==(const KeptNode&, const KeptNode&) = default;
};

struct KeptTarget {
  std::vector<std::string> before;  // what stood just before the target's element
  KeptAttributes attributes;        // of the target's element, other than its name
  std::vector<KeptNode> inside;
  std::vector<std::pair<std::string, KeptAttributes>> propertyAttributes;  // by property key
  // A target of another format version: its whole element, written back in place of the empty
  // target the plug-in reads it as, as long as that target is not edited.
  std::string verbatim;
  friend bool operator==(const KeptTarget&, const KeptTarget&) = default;
};

// What stands around the targets: outside the root, and beside the "targets" and "arcontent"
// elements (heads stand before the element they frame, tails after it).
struct KeptFrame {
  std::vector<std::string> prolog, epilog;
  KeptAttributes rootAttributes;
  std::vector<std::string> rootHead, rootTail;
  KeptAttributes targetsAttributes;
  std::vector<std::string> targetsHead, targetsTail;
  KeptAttributes arcontentAttributes;
  std::vector<std::string> arcontentTail;
  bool IsEmpty() const { return *this == KeptFrame{}; }
  friend bool operator==(const KeptFrame&, const KeptFrame&) = default;
};

// Reads what `text` (a target file the plug-in has loaded as `records`) holds beyond them into
// `frame`, and gives each record whose element holds more its KeptTarget. Records whose elements
// hold nothing more are left as they are; a file that cannot be parsed keeps nothing.
void ReadKeptContent(const std::string& text, std::vector<TargetRecord>& records, KeptFrame& frame);

// Whether saving `records` with `frame` keeps anything beyond what the plug-in writes.
bool KeepsAnything(const std::vector<TargetRecord>& records, const KeptFrame& frame);

// Puts the kept content back into `written`, the text the plug-in saved `records` as. False, with
// what would be lost in `error`, when a kept part can no longer be written: a target of another
// format version whose empty stand-in was edited.
bool WriteKeptContent(std::string& written, const std::vector<TargetRecord>& records,
                      const KeptFrame& frame, std::string& error);

// The parts of a three-way merge: ours where it changed since `base`, otherwise theirs.
std::shared_ptr<const KeptTarget> MergeKept(const std::shared_ptr<const KeptTarget>& base,
                                            const std::shared_ptr<const KeptTarget>& ours,
                                            const std::shared_ptr<const KeptTarget>& theirs);
KeptFrame MergeKept(const KeptFrame& base, const KeptFrame& ours, const KeptFrame& theirs);

}  // namespace artargets
