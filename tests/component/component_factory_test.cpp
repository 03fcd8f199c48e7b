#include <gtest/gtest.h>

#include "ControllerTest.h"
#include "PluginEntryPoints.h"
#include "orlloader/AnnotationParser.h"

namespace {

using du::SmartPtr;

using ComponentFactoryTest = artest::ControllerTest;

TEST_F(ComponentFactoryTest, OneControllerButANewReaderOrWriterEveryTime) {
  for (const char* kind : {"world", "loader", "saver"}) {
    SCOPED_TRACE(kind);
    const bool controller = std::string(kind) == "world";
    const char* subtype = controller ? "controller" : "xml";
    SmartPtr<du::RefCounted> first, second;
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", subtype, first));
    SmartPtr<du::RefCounted> old = first;
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", subtype, first));
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", subtype, second));
    EXPECT_EQ(first == second, controller);
    if (controller) continue;
    EXPECT_EQ(old->GetReferenceCount(), 1) << "the holder released what it held";
    EXPECT_TRUE(du::DynamicCast<orlloader::AnnotationParser>(first));
    EXPECT_EQ(first->GetReferenceCount(), 1) << "the factory keeps no reference";
  }
  SmartPtr<du::RefCounted> controller;
  OrlDllCreateComponent("world", "augmentedreality", "controller", controller);
  EXPECT_EQ(controller.get(), static_cast<du::RefCounted*>(controller_));
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

TEST_F(ComponentFactoryTest, FailedAllocationStillAnswersWithAnEmptyComponent) {
  SmartPtr<du::RefCounted> held;
  ASSERT_TRUE(OrlDllCreateComponent("saver", "augmentedreality", "xml", held));
  orl::MemoryPoolAllocated::FailNextAllocations(1);
  EXPECT_TRUE(OrlDllCreateComponent("loader", "augmentedreality", "xml", held));
  EXPECT_TRUE(held.IsNull());
}

}  // namespace
