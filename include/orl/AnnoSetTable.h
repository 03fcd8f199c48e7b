// orl::AnnoSetTableEntry and orl::AnnoSetTable: the world's annotation sets. A table is a
// directory of entries; an entry names a set (name, family, content type, file name) and holds
// its content once loaded or created.
//
// Entries are made from an AnnoSetTableEntryData (Create). `needsSave` is set by whoever makes a
// set that exists only in memory: the set must be saved before it has a file.
// Thread rules: any thread; an entry's content and a table's entries have their own guard.
#pragma once

#include <mutex>
#include <vector>

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/AnnoSetTableEntryData.h"
#include "orl/AnnoTableEntryContent.h"
#include "orl/Object.h"

namespace orl {

class AsyncEvent;

class ARHOST_API AnnoSetTableEntry : public Object {
 public:
  // A new entry described by `data` into `out`; false (and `out` untouched) when memory is
  // exhausted or `data` has no name.
  static bool Create(du::SmartPtr<AnnoSetTableEntry>& out, const AnnoSetTableEntryData& data);
  // Control surface: a new entry of this name, family, content type and file name (empty: the
  // loader derives one from the name); empty when Create would fail.
  static du::SmartPtr<AnnoSetTableEntry> Make(const du::Symbol& name, const du::Symbol& family,
                                              AnnoSetContentType type,
                                              const du::Symbol& fileName = du::Symbol::EMPTY);

  const du::Symbol& GetName() const { return data_.name; }
  // Empty when the set has no file of its own; the loader then derives one from the name.
  const du::Symbol& GetFileName() const { return data_.fileName; }
  const du::Symbol& GetFamily() const { return data_.family; }
  AnnoSetContentType GetContentType() const { return data_.contentType; }

  du::SmartPtr<AnnoTableEntryContent> GetContent() const;
  void SetContent(const du::SmartPtr<AnnoTableEntryContent>& content);

  bool needsSave = false;

 protected:
  explicit AnnoSetTableEntry(const AnnoSetTableEntryData& data) : data_(data) {}
  ~AnnoSetTableEntry() override = default;

 private:
  const AnnoSetTableEntryData data_;
  mutable std::mutex mutex_;
  du::SmartPtr<AnnoTableEntryContent> content_;
};

class ARHOST_API AnnoSetTable : public Object {
 public:
  // A new, empty table whose sets' files live in `directory`.
  static du::SmartPtr<AnnoSetTable> Create(const du::Symbol& directory);

  const du::Symbol& GetDirectory() const { return directory_; }
  // The entry with this name and content type into `out` (emptied when there is none); true
  // when found.
  bool GetAnnotationEntry(const du::Symbol& name, AnnoSetContentType type,
                          du::SmartPtr<AnnoSetTableEntry>& out) const;
  // Adds `entry` to the table. The event, when given, is completed through the message loop:
  // normally, or with an error when the entry is empty or the table already has a set of that
  // name and type.
  bool CreateAnnotationSet(const du::SmartPtr<AnnoSetTableEntry>& entry, AsyncEvent* event);

 protected:
  explicit AnnoSetTable(const du::Symbol& directory) : directory_(directory) {}
  ~AnnoSetTable() override = default;

 private:
  const du::Symbol directory_;
  mutable std::mutex mutex_;
  std::vector<du::SmartPtr<AnnoSetTableEntry>> entries_;
};

}  // namespace orl
