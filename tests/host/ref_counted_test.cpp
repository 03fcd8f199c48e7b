#include <gtest/gtest.h>

#include "HostTest.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"

namespace {

using du::SmartPtr;

// Counts its hook calls; the hook keeps the object alive `refusals` times.
class Counted : public virtual du::RefCounted {
 public:
  explicit Counted(int refusals = 0, int* destroyed = nullptr)
      : refusals_(refusals), destroyed_(destroyed) {}
  int hookCalls = 0;
  int countSeenByHook = -1;

 protected:
  ~Counted() override {
    if (destroyed_) ++*destroyed_;
  }
  bool ZeroReferenceCountHook() override {
    ++hookCalls;
    countSeenByHook = GetReferenceCount();
    return refusals_-- <= 0;
  }

 private:
  int refusals_;
  int* destroyed_;
};

// Owns the only reference to another object.
class Holder : public virtual du::RefCounted {
 public:
  SmartPtr<Counted> inner = new Counted;

 protected:
  ~Holder() override = default;
};

class Derived : public Counted {
 protected:
  ~Derived() override = default;
};

using RefCountedTest = artest::HostTest;

TEST_F(RefCountedTest, LastReleaseRunsTheHookWithTheReferenceBackAndDeletesWhenItAgrees) {
  int destroyed = 0;
  auto* agreeing = new Counted(0, &destroyed);
  agreeing->AddReference(nullptr);
  agreeing->AddReference(nullptr);
  EXPECT_EQ(agreeing->RemoveReference(nullptr), 1);
  EXPECT_EQ(agreeing->hookCalls, 0);
  EXPECT_EQ(agreeing->RemoveReference(nullptr), 0);
  EXPECT_EQ(destroyed, 1);

  auto* refusing = new Counted(1, &destroyed);
  refusing->AddReference(nullptr);
  EXPECT_EQ(refusing->RemoveReference(nullptr), 1) << "the hook kept the last reference";
  EXPECT_EQ(refusing->hookCalls, 1);
  EXPECT_EQ(refusing->countSeenByHook, 1);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(refusing->RemoveReference(nullptr), 0) << "and agrees the next time";
  EXPECT_EQ(destroyed, 2);
}

TEST_F(RefCountedTest, AssignmentTakesTheNewReferenceBeforeReleasingTheOld) {
  SmartPtr<Holder> holder = new Holder;
  Counted* inner = holder->inner.get();
  SmartPtr<du::RefCounted> p(holder.get());
  holder = nullptr;
  // `p` is the holder's only owner, and the holder is the inner object's only owner: releasing
  // the old object first would destroy the new one before it is referenced.
  p = inner;
  EXPECT_EQ(inner->GetReferenceCount(), 1);
  SmartPtr<Counted> self = new Counted;
  Counted* raw = self.get();
  self = raw;
  self = self;
  EXPECT_EQ(raw->GetReferenceCount(), 1) << "assigning the held pointer changes nothing";
  EXPECT_EQ(inner->hookCalls + raw->hookCalls, 0);
}

TEST_F(RefCountedTest, CopiesMovesAndCastsCountCorrectly) {
  SmartPtr<Derived> derived = new Derived;
  SmartPtr<Counted> base = derived;
  EXPECT_EQ(derived->GetReferenceCount(), 2);
  SmartPtr<Counted> moved = std::move(base);
  EXPECT_TRUE(base.IsNull());
  EXPECT_EQ(derived->GetReferenceCount(), 2);
  du::ConstSmartPtr<Counted> constant = moved;
  EXPECT_EQ(derived->GetReferenceCount(), 3);
  EXPECT_EQ(du::DynamicCast<Derived>(moved), derived);
  EXPECT_TRUE(du::DynamicCast<Holder>(SmartPtr<du::RefCounted>(moved.get())).IsNull());
}

}  // namespace
