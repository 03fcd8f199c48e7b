// orlloader::AnnotationParser: a component that loads and saves annotation sets. The loader
// calls ParseAnnotation to load an entry and WriteAnnotation to save one; the component
// completes the event it is given (exactly once, when not null). The other hooks serve forms
// of loading and saving this host does not use yet; they do nothing unless overridden.
#pragma once

#include <cstdint>

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/AnnoSetTable.h"
#include "orlloader/FileParser.h"

namespace orl {
class AsyncEvent;
}

namespace orlloader {

using TablePtr = du::SmartPtr<orl::AnnoSetTable>;
using EntryPtr = du::SmartPtr<orl::AnnoSetTableEntry>;

class ARHOST_API AnnotationParser : public FileParser {
 public:
  // Loading: reads `entry`'s set and attaches its content to the entry.
  virtual void ParseAnnotation(const TablePtr& table, const EntryPtr& entry,
                               orl::AsyncEvent* event);
  virtual void ParseAnnotationHeader(const TablePtr&, const EntryPtr&, orl::AsyncEvent*) {}
  virtual void ParseAnnotationFromMemory(const TablePtr&, const EntryPtr&, const void*, std::size_t,
                                         orl::AsyncEvent*) {}
  virtual void ParseAnnotationIncrement(const TablePtr&, const EntryPtr&, orl::AsyncEvent*) {}
  virtual void CancelParse() {}

  // Saving: writes `entry`'s content to `fileName`. True when there was something to write.
  virtual bool WriteAnnotation(const TablePtr& table, const EntryPtr& entry,
                               const du::Symbol& fileName, orl::AsyncEvent* event);
  virtual bool WriteAnnotationHeader(const TablePtr&, const EntryPtr&, const du::Symbol&) {
    return false;
  }
  virtual bool WriteAnnotationToMemory(const TablePtr&, const EntryPtr&, void*, std::size_t&) {
    return false;
  }
  virtual bool AppendAnnotation(const TablePtr&, const EntryPtr&, const du::Symbol&) {
    return false;
  }
  virtual bool ExportAnnotation(const TablePtr&, const EntryPtr&, const du::Symbol&) {
    return false;
  }

  // The newest file format version the component writes; 0 when it does not say.
  virtual std::uint32_t GetFormatVersion() const { return 0; }

 protected:
  AnnotationParser() = default;
  ~AnnotationParser() override = default;
};

}  // namespace orlloader
