#include <gtest/gtest.h>

#include "ControllerTest.h"
#include "PluginEntryPoints.h"
#include "orlloader/AnnotationParser.h"

namespace {

using du::SmartPtr;

class ComponentFactoryTest : public artest::ControllerTest {
 protected:
  SmartPtr<du::RefCounted> held_;
};

TEST_F(ComponentFactoryTest, ControllerIsTheSameObjectEveryTime) {
  SmartPtr<du::RefCounted> first, second;
  ASSERT_TRUE(OrlDllCreateComponent("world", "augmentedreality", "controller", first));
  ASSERT_TRUE(OrlDllCreateComponent("world", "augmentedreality", "controller", second));
  EXPECT_EQ(first, second);
  EXPECT_EQ(first.get(), static_cast<du::RefCounted*>(controller_));
}

TEST_F(ComponentFactoryTest, ReadersAndWritersAreNewEveryTime) {
  for (const char* kind : {"loader", "saver"}) {
    SmartPtr<du::RefCounted> first, second;
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", "xml", first));
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", "xml", second));
    EXPECT_NE(first, second) << kind;
    EXPECT_TRUE(du::DynamicCast<orlloader::AnnotationParser>(first)) << kind;
    EXPECT_EQ(first->GetReferenceCount(), 1) << "the factory keeps no reference";
  }
}

TEST_F(ComponentFactoryTest, NearMissesAreRefusedAndLeaveTheHolderAlone) {
  const char* requests[][3] = {
      {"World", "augmentedreality", "controller"}, {"world ", "augmentedreality", "controller"},
      {"worl", "augmentedreality", "controller"},  {"world", "Augmentedreality", "controller"},
      {"world", "augmentedrealit", "controller"},  {"world", "augmentedreality", "controller "},
      {"world", "augmentedreality", "xml"},        {"loader", "augmentedreality", "controller"},
      {"xml", "augmentedreality", "loader"},       {"loader", "augmentedreality", "XML"},
      {"saver", "augmentedreality", "xm"},         {"", "", ""},
  };
  SmartPtr<du::RefCounted> sentinel;
  ASSERT_TRUE(OrlDllCreateComponent("loader", "augmentedreality", "xml", sentinel));
  for (const auto& r : requests) {
    SmartPtr<du::RefCounted> held = sentinel;
    EXPECT_FALSE(OrlDllCreateComponent(r[0], r[1], r[2], held))
        << '"' << r[0] << "\" \"" << r[1] << "\" \"" << r[2] << '"';
    EXPECT_EQ(held, sentinel);
  }
  EXPECT_EQ(sentinel->GetReferenceCount(), 1);
}

TEST_F(ComponentFactoryTest, RequestReplacesWhatTheHolderHeld) {
  SmartPtr<du::RefCounted> held;
  ASSERT_TRUE(OrlDllCreateComponent("saver", "augmentedreality", "xml", held));
  SmartPtr<du::RefCounted> old = held;
  ASSERT_TRUE(OrlDllCreateComponent("loader", "augmentedreality", "xml", held));
  EXPECT_NE(held, old);
  EXPECT_EQ(old->GetReferenceCount(), 1) << "the holder released the old component";
}

TEST_F(ComponentFactoryTest, FailedAllocationStillAnswersWithAnEmptyComponent) {
  SmartPtr<du::RefCounted> held;
  ASSERT_TRUE(OrlDllCreateComponent("saver", "augmentedreality", "xml", held));
  orl::MemoryPoolAllocated::FailNextAllocations(1);
  EXPECT_TRUE(OrlDllCreateComponent("loader", "augmentedreality", "xml", held));
  EXPECT_TRUE(held.IsNull());
}

TEST_F(ComponentFactoryTest, InitAndTerminateChangeNothing) {
  const auto before = arhost::GetLiveCounts();
  OrlDllTerminate();
  OrlDllInit();
  OrlDllInit();
  OrlDllTerminate();
  EXPECT_EQ(arhost::GetLiveCounts(), before);
}

}  // namespace
