// ar::ARParser: the loader component ("loader", "augmentedreality", "xml"). It works out the
// entry's target file (TargetFilePath), parses it, checks the frame (a "version" up to 1 on
// the root, a "targets" child), has the host turn "targets" into a serialized-content tree, fills
// a new ARContent from it, attaches that content to the entry and completes the event. Every
// failure completes the event with an error (empty message, code 1) and leaves the entry as it
// was. The XML tree is freed as soon as the serialized-content tree is built, before the targets
// are made from it: the result is the same, and a large file's targets reuse the XML tree's
// memory. One reader per factory request; one load at a time per reader.
#pragma once

#include "ar/ARContent.h"
#include "dg/XmlElem.h"
#include "du/SmartPtr.h"
#include "orlloader/AnnotationParser.h"

namespace ar {

class ARParser final : public orlloader::AnnotationParser {
 public:
  ARParser() = default;

  void ParseAnnotation(const orlloader::TablePtr& table, const orlloader::EntryPtr& entry,
                       orl::AsyncEvent* event) override;

 private:
  ~ARParser() override = default;
  void ReadTargets();
  void Fail();

  orlloader::TablePtr table_;
  orlloader::EntryPtr entry_;
  du::SmartPtr<ARContent> content_;
  orl::AsyncEvent* event_ = nullptr;  // borrowed
  dg::XmlTree document_;              // during a load only
};

}  // namespace ar
