// ar::ARWriter: the saver component ("saver", "augmentedreality", "xml"). It writes an entry's
// AR content as a target file: the 39-byte declaration, the "augmentedreality" root with
// "version" 1, and one "targets" element holding the host's XML form of the content, built in
// memory and written in one call through du::FileWriter (which never destroys the previous file
// on a failed write). A file that could not be written fails the event with code 1 and the
// writer's reason as its message. One writer per factory request; it keeps the last content
// until the next save.
#pragma once

#include <string>

#include "ar/ARContent.h"
#include "du/SmartPtr.h"
#include "orlloader/AnnotationParser.h"

namespace ar {

class ARWriter final : public orlloader::AnnotationParser {
 public:
  ARWriter() = default;

  // False (event untouched) for an empty entry; false with an error completion when the entry
  // holds no AR content; otherwise writes, completes the event (with an error when the file
  // could not be written) and gives true.
  bool WriteAnnotation(const orlloader::TablePtr& table, const orlloader::EntryPtr& entry,
                       const du::Symbol& fileName, orl::AsyncEvent* event) override;

 private:
  ~ARWriter() override = default;
  // Empty when the file was written; otherwise why not.
  std::string WriteTargetFile();

  du::SmartPtr<ARContent> content_;
};

}  // namespace ar
