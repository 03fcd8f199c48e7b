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

 protected:
  explicit AnnoTableEntryContent(const du::SmartPtr<ReadWriteLock>& lock) : Observable(lock) {}
  ~AnnoTableEntryContent() override = default;
};

}  // namespace orl
