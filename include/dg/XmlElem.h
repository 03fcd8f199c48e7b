// dg::XmlElem: the host's XML element trees, on pugixml. A tree is made by parsing a file
// (ParseXmlFromFile) or built from a new root (NewXmlElem), rendered to text with
// WriteXmlCloseTags, and freed as a whole through its root (FreeXml). Elements belong to their
// tree; pointers to them stay valid until the tree is freed.
// Thread rules: one thread at a time per tree.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ArHostExport.h"

namespace dg {

class XmlDocument;
struct XmlAccess;

class ARHOST_API XmlElem {
 public:
  XmlElem(const XmlElem&) = delete;
  XmlElem& operator=(const XmlElem&) = delete;

  const char* GetName() const;
  void SetIntAttribute(const char* name, int value);
  void SetAttribute(const char* name, const char* value);
  // The attribute's text, or null when the element has no such attribute.
  const char* FindAttribute(const char* name) const;
  // The attribute as a whole decimal number. False when it is missing, or is not a whole
  // number that fits an int; `value` is then the largest int, so that a limit check refuses it.
  bool GetIntAttribute(const char* name, int& value) const;
  // The first child element with this name, or null.
  XmlElem* FindChild(const char* name) const;

 private:
  friend class XmlDocument;
  friend struct XmlAccess;
  XmlElem(XmlDocument* document, void* node) : document_(document), node_(node) {}
  ~XmlElem() = default;

  XmlDocument* document_;
  void* node_;  // the pugixml node
};

// Parses the file at `path`. `keepWhitespaceText` keeps text made only of white space. On
// failure returns null and, when `errorText` is given, says why: "cannot read PATH: REASON" or
// "not well-formed XML at line L, column C: REASON". Only a regular file is read, and it is
// opened without waiting: a FIFO, a device or a folder is refused ("cannot read PATH: it is a
// FIFO, not a regular file") instead of blocking or never ending. The file is read once; where
// a parse fails, the part before the failure is read again to count its lines.
ARHOST_API XmlElem* ParseXmlFromFile(const std::string& path, bool keepWhitespaceText,
                                     std::string* errorText);
// A host application may watch the files parsed: a watcher set with WatchFileParses is called
// at the end of every ParseXmlFromFile, on the parsing thread, with the path and either the
// root of the new tree or, when the parse failed, the reason as above. A tool that reports why
// its plug-in could not load a file learns it so, from the plug-in's own read. One watcher at a
// time; an empty one stops the watching. The watcher must not keep the root or parse a file.
using FileParseWatcher =
    std::function<void(const std::string& path, const XmlElem* root, const std::string& failure)>;
ARHOST_API void WatchFileParses(FileParseWatcher watcher);
// The same for text already in memory.
ARHOST_API XmlElem* ParseXmlFromString(std::string_view text, bool keepWhitespaceText,
                                       std::string* errorText);

// A new tree with a root element `name`. With `withDeclaration`, rendering the root starts
// with an XML declaration.
ARHOST_API XmlElem* NewXmlElem(const char* name, bool withDeclaration);
// A new last child `name` of `parent`.
ARHOST_API XmlElem* NewXmlElem(const char* name, XmlElem* parent);

// Appends `element` and everything below it to `out` as indented text (two spaces per level,
// starting at `indentLevel`), each element closed, every line ended by a line feed. Text and
// attribute values are escaped by pugixml. A text of 16 MiB or more has its pages mapped in by
// a helper thread while it is printed (du::PrefaultPages); the call returns once both are done.
ARHOST_API void WriteXmlCloseTags(const XmlElem* element, std::string& out, int indentLevel);

// Frees the whole tree of which `root` is the root; any other element frees nothing.
ARHOST_API void FreeXml(XmlElem* root);

// The owner of a tree: frees it (FreeXml) when it goes, so that no road frees a tree by hand.
struct XmlTreeFree {
  void operator()(XmlElem* root) const { FreeXml(root); }
};
using XmlTree = std::unique_ptr<XmlElem, XmlTreeFree>;

}  // namespace dg
