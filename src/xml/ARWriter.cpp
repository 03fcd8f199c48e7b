#include "ARWriter.h"

#include <string>

#include "dg/XmlElem.h"
#include "du/FileWriter.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlWriter.h"

namespace ar {

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
static_assert(sizeof(kDeclaration) - 1 == 39);

}  // namespace

bool ARWriter::WriteAnnotation(const orlloader::TablePtr&, const orlloader::EntryPtr& entry,
                               const du::Symbol& fileName, orl::AsyncEvent* event) {
  if (!entry) return false;
  content_ = du::DynamicCast<ARContent>(entry->GetContent());
  if (!content_) {
    if (event) event->CompleteWithError(du::Symbol::EMPTY, 1);
    return false;
  }
  content_->SetFileName(fileName);
  event_ = event;
  WriteTargetFile();
  if (event) event->Complete();
  return true;
}

void ARWriter::WriteTargetFile() {
  dg::XmlElem* root = dg::NewXmlElem("augmentedreality", false);
  if (!root) return;
  root->SetIntAttribute("version", 1);
  dg::XmlElem* targets = dg::NewXmlElem("targets", root);
  const auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  content_->Visit(top.get());
  {
    serializedContent::XmlWriter xmlWriter(targets);
    top->Visit(xmlWriter, true);
  }
  const du::Symbol path = content_->GetFileName();

  const du::SmartPtr<du::FileWriter> file = du::FileWriter::Construct();
  if (file && file->Open(std::string(path), 0, 8192, true)) {
    std::string text = kDeclaration;
    dg::WriteXmlCloseTags(root, text, 0);
    file->Write1ByteArray(text.data(), static_cast<std::uint32_t>(text.size()));
    file->Close();
  }
  dg::FreeXml(root);
}

}  // namespace ar
