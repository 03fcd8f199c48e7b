#include "ARParser.h"

#include <string>

#include "TargetFilePath.h"
#include "dg/XmlElem.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlParser.h"

namespace ar {

void ARParser::ParseAnnotation(const orlloader::TablePtr& table, const orlloader::EntryPtr& entry,
                               orl::AsyncEvent* event) {
  if (!entry) {
    if (event) event->CompleteWithError(du::Symbol::EMPTY, 1);
    return;
  }
  table_ = table;
  entry_ = entry;
  event_ = event;
  content_ = new ARContent;
  if (!content_) return Fail();

  const du::Symbol directory = table ? table->GetDirectory() : du::Symbol::EMPTY;
  content_->SetFileName(TargetFilePath(directory, entry->GetName(), entry->GetFileName()));
  const du::Symbol path = content_->GetFileName();
  if (path.length() == 0) return Fail();

  // The flag keeps no white-space-only text: the target file carries values in attributes.
  document_.reset(dg::ParseXmlFromFile(std::string(path.safe_c_str()), false, nullptr));
  if (!document_) return Fail();
  ReadTargets();
  document_.reset();
}

void ARParser::ReadTargets() {
  int version = 0;
  if (!document_->FindAttribute("version")) return Fail();
  // An unreadable number reads as the largest int, which the check refuses.
  document_->GetIntAttribute("version", version);
  if (version > 1) return Fail();
  dg::XmlElem* targets = document_->FindChild("targets");
  if (!targets) return Fail();

  const auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  serializedContent::XmlParser parser;
  parser.Parse(targets, top.get());  // what cannot be read is skipped, not fatal
  // The serialized tree holds its own copy of every value: the XML tree goes now, so that the
  // targets are built in the memory it gives back instead of in fresh pages.
  document_.reset();
  content_->PopulateFromContent(top.get());
  entry_->SetContent(du::SmartPtr<orl::AnnoTableEntryContent>(content_.get()));
  if (event_) event_->Complete();
}

void ARParser::Fail() {
  if (event_) event_->CompleteWithError(du::Symbol::EMPTY, 1);
}

}  // namespace ar
