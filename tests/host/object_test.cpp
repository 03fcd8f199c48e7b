#include "orl/Object.h"

#include <gtest/gtest.h>

#include "HostTest.h"
#include "du/CommonAllocator.h"
#include "du/LiveCounters.h"
#include "orl/Annotation.h"
#include "orl/ObjectWithRWLock.h"

namespace {

using du::SmartPtr;

const orl::ClassType kShapeType(9001);
const orl::ClassType kCircleType(9002, &kShapeType);

class Circle final : public orl::ObjectWithRWLock {
 public:
  Circle() = default;
  explicit Circle(const SmartPtr<orl::ReadWriteLock>& lock) : ObjectWithRWLock(lock) {}
  explicit Circle(const Circle* shareWith) : ObjectWithRWLock(shareWith) {}
  const orl::ClassType& GetClassType() const override { return kCircleType; }
  using ObjectWithRWLock::GetRWLock;

 private:
  ~Circle() override = default;
};

using ObjectTest = artest::HostTest;

TEST_F(ObjectTest, ClassTypesAnswerFromTheirChainAndTheRegistryKeepsTheFirstOfAnId) {
  SmartPtr<Circle> circle = new Circle;
  for (unsigned id : {9002u, 9001u, orl::Object::CLASS_TYPE.GetId()})
    EXPECT_TRUE(circle->IsATypeOfId(id)) << id;
  EXPECT_FALSE(circle->IsATypeOfId(9003));
  std::vector<const orl::ClassType*> chain{nullptr, nullptr, nullptr, nullptr};
  circle->GetClassTypes(chain);
  EXPECT_EQ(chain, (std::vector<const orl::ClassType*>{&kCircleType, &kShapeType,
                                                       &orl::Object::CLASS_TYPE}));
  EXPECT_NE(circle->GetObjectDescription().find("Circle (class type 9002)"), std::string::npos)
      << circle->GetObjectDescription();

  EXPECT_EQ(orl::ClassType::Find(424242), nullptr);
  {
    orl::ClassType duplicate(9002), fresh(424242);
    EXPECT_EQ(orl::ClassType::Find(9002), &kCircleType);
    EXPECT_EQ(orl::ClassType::Find(424242), &fresh);
  }
  EXPECT_EQ(orl::ClassType::Find(424242), nullptr);
  EXPECT_EQ(orl::ClassType::Find(9002), &kCircleType);
}

TEST_F(ObjectTest, AllocatorsCountTheirBlocksAndThePoolCanBeMadeToFailOnce) {
  struct Small : du::CommonAllocated {
    int value = 7;
  };
  const auto& counters = du::GetLiveCounters();
  const auto blocks = counters.poolBlocks.load(), common = counters.commonBlocks.load();
  SmartPtr<Circle> circle = new Circle;
  auto* small = new Small;
  EXPECT_EQ(counters.poolBlocks.load(), blocks + 1);
  EXPECT_EQ(counters.commonBlocks.load(), common + 1);
  orl::MemoryPoolAllocated::FailNextAllocations(1);
  EXPECT_EQ(new Circle, nullptr);
  SmartPtr<Circle> next = new Circle;
  EXPECT_NE(next.get(), nullptr);
  circle = next = nullptr;
  delete small;
  EXPECT_EQ(counters.poolBlocks.load(), blocks);
  EXPECT_EQ(counters.commonBlocks.load(), common);
}

TEST_F(ObjectTest, ObjectsShareOneAnnotationLockUntilShutdownRenewsIt) {
  SmartPtr<orl::ReadWriteLock> lock = orl::Annotation::GetRWLock();
  SmartPtr<Circle> owner = new Circle(lock);
  SmartPtr<Circle> sharer = new Circle(owner.get());
  SmartPtr<Circle> lockless = new Circle(static_cast<const Circle*>(nullptr));
  EXPECT_EQ(owner->GetRWLock(), lock.get());
  EXPECT_EQ(sharer->GetRWLock(), lock.get());
  EXPECT_EQ(lockless->GetRWLock(), nullptr);
  EXPECT_EQ(orl::Annotation::GetRWLock(), lock);
  owner = sharer = lockless = nullptr;
  arhost::Shutdown();
  EXPECT_EQ(lock->GetReferenceCount(), 1) << "shutdown drops the host's own reference";
  EXPECT_NE(orl::Annotation::GetRWLock(), lock);
}

TEST_F(ObjectTest, UserDataIsKeptUnderItsKey) {
  class Tag final : public du::UserData {
  } tag;
  SmartPtr<Circle> circle = new Circle(orl::Annotation::GetRWLock());
  EXPECT_TRUE(circle->AddUserData(du::Symbol("tag"), &tag));
  EXPECT_FALSE(circle->AddUserData(du::Symbol("tag"), &tag));
  EXPECT_EQ(circle->GetUserData(du::Symbol("tag")), &tag);
  EXPECT_EQ(circle->GetUserData(du::Symbol("other")), nullptr);
  SmartPtr<Circle> attached = new Circle;
  EXPECT_TRUE(circle->AddRefCountedUserData(du::Symbol("child"), attached.get()));
  EXPECT_EQ(attached->GetReferenceCount(), 2);
  EXPECT_EQ(circle->GetRefCountedUserData(du::Symbol("child")).get(),
            static_cast<du::RefCounted*>(attached.get()));
  EXPECT_TRUE(circle->RemoveUserData(du::Symbol("child")));
  EXPECT_EQ(attached->GetReferenceCount(), 1);
  EXPECT_TRUE(circle->RemoveUserData(du::Symbol("tag")));
  EXPECT_FALSE(circle->RemoveUserData(du::Symbol("tag")));
}

}  // namespace
