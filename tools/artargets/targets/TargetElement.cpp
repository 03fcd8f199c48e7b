#include "targets/TargetElement.h"

#include <pugixml.hpp>

#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlParser.h"
#include "serializedContent/XmlWriter.h"

namespace artargets {

namespace {

const du::Symbol& TargetName() {
  static const du::Symbol name("artarget");
  return name;
}

// The serialized-content element the host's XML form reader makes of `xml`, an element whose
// children are properties; with the problems it met.
struct Parsed {
  du::SmartPtr<orl::SerializedContentElement> element;
  bool clean = false;
};

Parsed ParseElement(const std::string& xml) {
  Parsed parsed;
  const dg::XmlTree tree(dg::ParseXmlFromString(xml, false, nullptr));
  if (!tree) return parsed;
  parsed.element = orl::SerializedContentElement::CreateTopElement(TargetName());
  serializedContent::XmlParser parser;
  parsed.clean = parser.Parse(tree.get(), parsed.element.get());
  return parsed;
}

}  // namespace

std::optional<TargetRecord> ReadTargetElement(const std::string& xml) {
  const Parsed parsed = ParseElement(xml);
  du::SmartPtr<ar::ARTarget> target = new ar::ARTarget(ar::ARController::Get());
  if (!parsed.element || !target->PopulateFromContent(parsed.element.get())) return std::nullopt;
  return RecordOf(*target);
}

const TargetRecord& BlankTarget() {
  static const TargetRecord blank =
      RecordOf(*du::SmartPtr<ar::ARTarget>(new ar::ARTarget(ar::ARController::Get())));
  return blank;
}

std::optional<std::string> CountedKey(const std::string& xml) {
  const Parsed parsed = ParseElement("<content name=\"artarget\">" + xml + "</content>");
  if (!parsed.element || !parsed.clean) return std::nullopt;
  const auto properties = parsed.element->GetProperties();
  if (properties.size() != 1) return std::nullopt;
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  const auto form = PropertyForms().find(properties[0].key.view());
  if (form == PropertyForms().end() || form->second != doc.document_element().name())
    return std::nullopt;
  return form->first;
}

const PropertyFormTable& PropertyForms() {
  static const PropertyFormTable forms = [] {
    const du::SmartPtr<orl::SerializedContentElement> top =
        orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
    MakeTarget(BlankTarget())->Visit(top.get());
    const dg::XmlTree root(dg::NewXmlElem("targets", false));
    {
      serializedContent::XmlWriter writer(root.get());
      top->Visit(writer, true);
    }
    std::string text;
    dg::WriteXmlCloseTags(root.get(), text, 0);
    pugi::xml_document doc;
    doc.load_string(text.c_str());
    PropertyFormTable byKey;
    for (pugi::xml_node property : doc.document_element().first_child().children())
      byKey[property.attribute("key").value()] = property.name();
    return byKey;
  }();
  return forms;
}

}  // namespace artargets
