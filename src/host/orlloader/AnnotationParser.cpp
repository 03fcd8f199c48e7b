#include "orlloader/AnnotationParser.h"

namespace orlloader {

void AnnotationParser::ParseAnnotation(const TablePtr&, const EntryPtr&, orl::AsyncEvent*) {}

bool AnnotationParser::WriteAnnotation(const TablePtr&, const EntryPtr&, const du::Symbol&,
                                       orl::AsyncEvent*) {
  return false;
}

}  // namespace orlloader
