// Drives the host's parser of the XML form of serialized content on arbitrary bytes. Whatever
// tree it builds, written out again and parsed a second time, gives the same text and no
// problem at all; and the writer's text is the one pugixml prints once it is made nodes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "arhost/Host.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlParser.h"
#include "serializedContent/XmlWriter.h"

namespace {

// The tree read from `root` (which the reading empties), written out again as text.
std::string Reparsed(dg::XmlElem* root, bool* clean) {
  auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  serializedContent::XmlParser parser;
  *clean = parser.Parse(root, top.get());
  const dg::XmlTree out(dg::NewXmlElem("targets", false));
  {
    serializedContent::XmlWriter writer(out.get());
    top->Visit(writer, true);
  }
  std::string text, asNodes;
  dg::WriteXmlCloseTags(out.get(), text, 0);
  out->FindChild("content");  // reading the tree makes the written text nodes
  dg::WriteXmlCloseTags(out.get(), asNodes, 0);
  if (asNodes != text) std::abort();
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const dg::XmlTree root(dg::ParseXmlFromString(text, false, nullptr));
  if (!root) return 0;
  bool clean = false;
  const std::string first = Reparsed(root.get(), &clean);
  const dg::XmlTree again(dg::ParseXmlFromString(first, false, nullptr));
  if (!again) std::abort();
  const std::string second = Reparsed(again.get(), &clean);
  if (!clean || second != first) std::abort();
  arhost::Shutdown();
  return 0;
}
