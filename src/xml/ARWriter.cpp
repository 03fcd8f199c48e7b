#include "ARWriter.h"

#include <cstdint>
#include <limits>
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
    // The serialized tree goes as soon as its XML is built, before the text: a large save never
    // holds all three forms of the targets at once.
    const auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
    content_->Visit(top.get());
    serializedContent::XmlWriter xmlWriter(targets);
    top->Visit(xmlWriter, true);
  }
  const du::Symbol path = content_->GetFileName();
  const du::SmartPtr<du::FileWriter> file = du::FileWriter::Construct();
  if (!file) return "out of memory";
  if (!file->Open(std::string(path), 0, 8192, true)) return file->GetLastError();
  std::string text = kDeclaration;
  dg::WriteXmlCloseTags(root.get(), text, 0);
  // One write takes a 32-bit length: a longer text would be cut short without a word.
  if (text.size() > std::numeric_limits<std::uint32_t>::max())
    return "the targets need " + std::to_string(text.size()) +
           " bytes, more than one write of a target file can hold (4 GiB); nothing was written";
  const bool written =
      file->Write1ByteArray(text.data(), static_cast<std::uint32_t>(text.size())) && file->Close();
  root.reset();
  return written ? std::string() : file->GetLastError();
}

}  // namespace ar
