// serializedContent::XmlPrototypes: the elements a writer makes again and again, copied from
// prototypes instead of built name by name. A save writes <double key="artargetwidth"
// value="..."/> once per target: built through pugixml's setters, every copy allocates its
// element name, its attribute names and its key text. A prototype of it is parsed once into the
// same document, and pugixml lets a copy share the names and texts that lie in a parsed buffer;
// each copy then allocates only the values the writer sets. The output is the same bytes.
//
// The prototypes hang under an element of their own at the document's top level, beside the
// root (printing an element never shows them), and go with the last XmlPrototypes of their
// document.
#pragma once

#include <initializer_list>
#include <pugixml.hpp>
#include <vector>

#include "du/Symbol.h"

namespace serializedContent {

class XmlPrototypes {
 public:
  // Prototypes for the document of `node`; none when `node` is empty.
  explicit XmlPrototypes(pugi::xml_node node);
  ~XmlPrototypes();
  XmlPrototypes(const XmlPrototypes&) = delete;
  XmlPrototypes& operator=(const XmlPrototypes&) = delete;

  // A new last child of `parent`: an element `type` whose attribute `keyName` holds `key` (or
  // its "-hex" twin holds its bytes), followed by the attributes `valueNames`, empty, for the
  // caller to set. Empty when no prototype can stand for it; the caller then builds it.
  pugi::xml_node Append(pugi::xml_node parent, const char* type, const char* keyName,
                        const du::Symbol& key, std::initializer_list<const char*> valueNames);

 private:
  struct Prototype {
    const char* type;
    const char* keyName;
    du::Symbol key;
    std::size_t values;   // how many empty attributes follow the key
    pugi::xml_node node;  // empty when the key's text does not come back from a parse
  };
  // The prototype of such an element, made on first use; empty when there is none.
  pugi::xml_node Find(const char* type, const char* keyName, const du::Symbol& key,
                      std::initializer_list<const char*> valueNames);
  pugi::xml_node Parse(const char* type, const char* keyName, const du::Symbol& key,
                       std::initializer_list<const char*> valueNames);

  pugi::xml_node holder_;
  std::vector<Prototype> prototypes_;
  std::size_t next_ = 0;  // where the next lookup starts: elements come in the same order
};

}  // namespace serializedContent
