// orl::AnnoTableEntryContent: the content of one annotation-set entry. Each kind of content
// says what type it is and how an entry for it is described.
#pragma once

#include "ArHostExport.h"
#include "orl/AnnoSetTableEntryData.h"
#include "orl/Observable.h"

namespace orl {

class ARHOST_API AnnoTableEntryContent : public Observable {
 public:
  virtual AnnoSetContentType GetType() const = 0;
  // Fills `data` with the description of an entry for this content; true on success.
  virtual bool GetAnnoSetTableEntryData(AnnoSetTableEntryData& data) const = 0;
  // Whether the content changed since it was last loaded or saved; kept by whoever changes it.
  virtual bool IsModified() const { return modified_; }
  virtual void SetModified(bool modified) { modified_ = modified; }
  // A name for people; empty unless a kind of content gives one.
  virtual du::Symbol GetDisplayName() const { return du::Symbol::EMPTY; }

 protected:
  explicit AnnoTableEntryContent(const du::SmartPtr<ReadWriteLock>& lock) : Observable(lock) {}
  ~AnnoTableEntryContent() override = default;

 private:
  bool modified_ = false;
};

}  // namespace orl
