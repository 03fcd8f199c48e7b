// orl::World: the host's one world, the model being viewed. It has a structure tree whose root
// instance stands for the whole model.
//
// GetWorld() returns the current world, creating it on first use; host shutdown ends it and
// the next GetWorld() starts a new one. The control surface sets what the root reports
// (Instance::SetUniqueId) and the world's annotation-set table (SetAnnoSetTable), which a new
// world does not have.
// Thread rules: any thread.
#pragma once

#include <mutex>

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/AnnoSetTable.h"
#include "orl/Object.h"
#include "orl/Observable.h"

namespace orl {

// One node of the structure tree.
class ARHOST_API Instance : public Object {
 public:
  // Fills `id` with the instance's unique id (empty until set); true when the instance has
  // one.
  virtual bool GetUniqueId(du::Symbol& id) const;
  void SetUniqueId(const du::Symbol& id);

 protected:
  friend class Tree;
  Instance() = default;
  ~Instance() override = default;

 private:
  du::Symbol uniqueId_;
};

class ARHOST_API Tree : public Object {
 public:
  du::SmartPtr<Instance> GetRoot() const { return root_; }

 protected:
  friend class World;
  Tree();
  ~Tree() override = default;

 private:
  du::SmartPtr<Instance> root_;
};

class ARHOST_API World : public Observable {
 public:
  static du::SmartPtr<World> GetWorld();
  // Ends the current world (host shutdown).
  static void EndWorld();

  du::SmartPtr<Tree> GetTree() const { return tree_; }
  // The world's annotation sets; empty until a table is set.
  du::SmartPtr<AnnoSetTable> GetAnnoSetTable() const;
  void SetAnnoSetTable(const du::SmartPtr<AnnoSetTable>& table);

 protected:
  World();
  ~World() override = default;
  void _OnDestroy() override {}

 private:
  du::SmartPtr<Tree> tree_;
  mutable std::mutex mutex_;
  du::SmartPtr<AnnoSetTable> annoSetTable_;
};

}  // namespace orl
