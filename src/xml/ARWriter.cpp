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
  const std::string failure = WriteTargetFile();
  // A file that could not be written is reported: answering success would let the caller
  // believe the targets were kept. The message says why, the code is 1 as for every failure.
  if (event && failure.empty()) event->Complete();
  if (event && !failure.empty()) event->CompleteWithError(du::Symbol(failure), 1);
  return true;
}

std::string ARWriter::WriteTargetFile() {
  dg::XmlTree root(dg::NewXmlElem("augmentedreality", false));
  if (!root) return "out of memory";
  root->SetIntAttribute("version", 1);
  dg::XmlElem* targets = dg::NewXmlElem("targets", root.get());
  {
    // The tree goes as soon as its XML is built, before the text: a large save never holds all
    // three forms of the targets at once.
    const auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
    content_->Visit(top.get());
    serializedContent::XmlWriter xmlWriter(targets);
    top->Visit(xmlWriter, true);
  }
  const du::Symbol path = content_->GetFileName();

  std::string text = kDeclaration;
  dg::WriteXmlCloseTags(root.get(), text, 0);
  root.reset();  // the text is all the write needs
  const du::SmartPtr<du::FileWriter> file = du::FileWriter::Construct();
  if (!file) return "out of memory";
  const bool written =
      file->Open(std::string(path), 0, 8192, true) &&
      file->Write1ByteArray(text.data(), static_cast<std::uint32_t>(text.size())) && file->Close();
  return written ? std::string() : file->GetLastError();
}

}  // namespace ar
