// ar::ARContent: the content of an annotation set of AR targets (content type 14): a set of
// targets ordered by their addresses, and the name of the target file it was read from or is
// written to.
//
// It shares the controller's lock: GetTargets holds it shared, SetTargets exclusively. The
// file name is not guarded; one thread at a time (a reader or writer component) sets and
// reads it.
#pragma once

#include <set>

#include "ar/ARExport.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/AnnoTableEntryContent.h"
#include "orl/ClassType.h"

namespace orl {
class SerializedContentElement;
}

namespace ar {

class ARTarget;

class AR_API ARContent : public orl::AnnoTableEntryContent {
 public:
  static const orl::ClassType CLASS_TYPE;  // id 176

  // Empty, on the lock of ARController::Get() (created if need be).
  ARContent();

  const orl::ClassType& GetClassType() const override;
  orl::AnnoSetContentType GetType() const override;  // 14
  // The entry "ARTargets" of family "augmentedreality" for the world's model. Always true.
  bool GetAnnoSetTableEntryData(orl::AnnoSetTableEntryData& data) const override;

  const du::Symbol& GetFileName() const { return fileName_; }
  void SetFileName(const du::Symbol& fileName) { fileName_ = fileName; }

  // `targets` ends up holding exactly the content's targets.
  void GetTargets(std::set<du::SmartPtr<ARTarget>>& targets) const;
  // The content ends up holding exactly `targets`.
  void SetTargets(const std::set<du::SmartPtr<ARTarget>>& targets);

  // Saved form: appends one "arcontent" element holding one "artarget" element per target, in
  // address order, then ends `element`. Holds the lock shared.
  void Visit(orl::SerializedContentElement* element) const;
  // Replaces the targets with one new target per "artarget" element the walk of `element`
  // meets, wherever it stands; a rejected element still gives a target with a new target's
  // values. Holds the lock exclusively.
  void PopulateFromContent(const orl::SerializedContentElement* element);

  void _OnDestroy() override;

 protected:
  ~ARContent() override;

 private:
  // The lock of ARController::Get(), or none when there is no controller.
  static du::SmartPtr<orl::ReadWriteLock> ControllerLock();

  du::Symbol fileName_;
  std::set<du::SmartPtr<ARTarget>> targets_;
};

}  // namespace ar
