// orl::AnnoSetContentType and orl::AnnoSetTableEntryData: what kind of content an annotation
// set holds, and the description from which the host creates an annotation-set entry.
#pragma once

#include <cstdint>

#include "du/Symbol.h"

namespace orl {

enum AnnoSetContentType : std::uint32_t {
  ANNO_SET_CONTENT_NONE = 0,
  ANNO_SET_CONTENT_MARKUP = 1,
  ANNO_SET_CONTENT_AR = 14,  // augmented-reality targets
};

struct AnnoSetTableEntryData {
  std::uint32_t version = 0;  // format version of the entry
  du::Symbol modelId;         // unique id of the model the set belongs to
  du::Symbol family;          // plug-in family whose loader and saver handle the set
  du::Symbol familyTitle;     // the family as people read it
  du::Symbol name;            // the entry's name in the table
  du::Symbol fileName;        // the file the set lives in; empty: derived from the name
  AnnoSetContentType contentType = ANNO_SET_CONTENT_NONE;
};

}  // namespace orl
