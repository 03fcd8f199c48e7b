// The fixture of whole-road tests: the plug-in loaded by path as a host loads it, the
// controller from its factory (the one ControllerTest holds), a world whose annotation-set table
// lives in a temporary folder, and one recording observer registered with the controller.
//
// Roads are written as scripts of steps, played with Play(). Doing:
//   "set A B"      write a target file of targets A, B and make it the world's "ARTargets" set
//   "file A B"     only write the file;  "entry-only" only add the set (no file behind it)
//   "+S Name"      add shape scene S whose own entry is named Name ("+S" alone: no entry;
//                  "+S Name plain": a scene that is not a shape scene); "again S" adds S again
//   "-S"           remove scene S;  "entry S Name" / "entry S -" change or drop S's entry
//   "destroy S"    destroy scene S;  "init", "reset" the world;  "no-table", "new-table"
//   "show", "hide", "save" (with an event whose completion joins the observer's log as
//                  "completed ok" or "completed error 1"); "show-", "save-" with no event
//   "add N", "move N", "remove N" edit the registry;  "groups" asks for update groups
//   "1" delivers one message;  "*" runs the loop until idle;  "drain" forgets what was heard
// Checking (none runs the loop):
//   "heard: a, b"  what the observer heard since the last check ("creations": one
//                  "create N" per registered target, in registry order)
//   "registry: A B", "file: A B"   the sorted names registered, or in the file read back
//   "saved"        the file read back equals the registry, positions included
//   "set: registry"  the world's "ARTargets" set holds the registry's own targets (the
//                  objects themselves, not copies read again)
//   "target S: N"  the target of scene S ("-": none);  "observers S: 2";  "shown: 1"
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "TempDir.h"
#include "dom/MessageLoop.h"
#include "orl/Scene.h"
#include "orl/World.h"
#include "orlloader/Loader.h"

namespace artest {

using Script = std::vector<std::string>;

class WorldTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    std::string error;
    ASSERT_TRUE(loader_->LoadPlugin(AR_PLUGIN_PATH, &error)) << error;
    const auto made = loader_->CreateComponent("world", "augmentedreality", "controller");
    ASSERT_EQ(du::DynamicCast<ar::ARController>(made).get(), controller_);
    world_->SetAnnoSetTable(table_);
    observer_ = Observe();
  }
  void Play(const Script& script) {
    for (const std::string& step : script) {
      SCOPED_TRACE(step);
      const auto colon = step.find(':');
      if (colon == std::string::npos && step != "saved")
        Do(step);
      else
        Check(step.substr(0, colon), colon + 2 < step.size() ? step.substr(colon + 2) : "");
    }
  }

  void WriteTargetFile(const std::vector<std::string>& names) {
    ASSERT_EQ(SaveWithComponent(table_, ContentOf(names), FilePath()), Completions{"ok"});
  }
  std::string FilePath() const { return dir_.File("ARTargets.xml"); }
  du::SmartPtr<orl::AnnoSetTable> NewTable() const {
    return orl::AnnoSetTable::Create(du::Symbol(dir_.path().string()));
  }
  // A shape scene whose own entry is named `entryName` (none when null), labelled for the
  // observer and added to the world.
  du::SmartPtr<orl::ShapeScene> ShapeScene(const char* label, const char* entryName) {
    du::SmartPtr<orl::ShapeScene> scene = orl::ShapeScene::Create();
    if (entryName) scene->SetAnnotationSetTableEntry(SceneEntry(entryName));
    observer_->Label(scene.get(), label);
    world_->AddScene(scene.get());
    return scene;
  }
  static du::SmartPtr<orl::AnnoSetTableEntry> SceneEntry(const std::string& name) {
    return ArEntry("", name.c_str(), "markup");
  }

  TempDir dir_;
  du::SmartPtr<orlloader::Loader> loader_ = orlloader::Loader::GetLoader();
  du::SmartPtr<orl::World> world_ = orl::World::GetWorld();
  du::SmartPtr<orl::AnnoSetTable> table_ = NewTable();
  du::SmartPtr<RecordingObserver> observer_;
  std::map<std::string, du::SmartPtr<orl::Scene>> scenes_;

 private:
  static std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
  }
  static std::string Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& n : names) text += (text.empty() ? "" : " ") + n;
    return text;
  }
  static std::multiset<std::string> Described(const TargetSet& targets) {
    std::multiset<std::string> all;
    for (const auto& t : targets) all.insert(Exact(*t));
    return all;
  }
  TargetSet FileTargets() {
    du::SmartPtr<orl::AnnoSetTableEntry> entry;
    EXPECT_EQ(LoadWithComponent(table_, FilePath(), &entry), Completions{"ok"});
    return Targets(entry);
  }
  orl::Scene* Scene(const std::string& label) {
    EXPECT_TRUE(scenes_.count(label)) << "no scene " << label;
    return scenes_[label].get();
  }
  void Run(void (ar::ARController::*operation)(orl::AsyncEvent*), bool withEvent) {
    du::SmartPtr<RecordingEvent> event = new RecordingEvent;
    event->log = &observer_->heard;
    // Through a local: GCC's vptr check misreads ->* on a pointer that is a base's member.
    ar::ARController* controller = controller_;
    (controller->*operation)(withEvent ? event.get() : nullptr);
  }

  void Do(const std::string& step) {
    const std::vector<std::string> w = Words(step);
    const std::vector<std::string> rest(w.begin() + 1, w.end());
    const std::string& verb = w[0];
    if (verb[0] == '+' && w.size() == 3 && w[2] == "plain") {
      scenes_[verb.substr(1)] = orl::Scene::Create();
      scenes_[verb.substr(1)]->SetAnnotationSetTableEntry(SceneEntry(w[1]));
      world_->AddScene(scenes_[verb.substr(1)]);
    } else if (verb[0] == '+') {
      scenes_[verb.substr(1)] = ShapeScene(verb.c_str() + 1, w.size() > 1 ? w[1].c_str() : nullptr);
    } else if (verb[0] == '-' && verb.size() > 1) {
      world_->RemoveScene(Scene(verb.substr(1)));
    } else if (verb == "again") {
      world_->AddScene(Scene(w[1]));
    } else if (verb == "entry") {
      Scene(w[1])->SetAnnotationSetTableEntry(w[2] == "-" ? nullptr : SceneEntry(w[2]));
    } else if (verb == "destroy") {
      Scene(w[1])->Destroy();
    } else if (verb == "set" || verb == "file" || verb == "entry-only") {
      if (verb != "entry-only") WriteTargetFile(rest);
      if (verb != "file") table_->CreateAnnotationSet(ArEntry(), nullptr);
    } else if (verb == "init" || verb == "reset") {
      verb == "init" ? world_->InitWorld() : world_->ResetWorld();
    } else if (verb == "no-table" || verb == "new-table") {
      table_ = verb == "no-table" ? nullptr : NewTable();
      world_->SetAnnoSetTable(table_);
      if (!table_) table_ = NewTable();  // the file is still read and written in the folder
    } else if (verb == "show" || verb == "show-") {
      Run(&ar::ARController::ShowTargets, verb == "show");
    } else if (verb == "save" || verb == "save-") {
      Run(&ar::ARController::SaveTargets, verb == "save");
    } else if (verb == "hide") {
      controller_->HideTargets();
    } else if (verb == "add") {
      controller_->AddTarget(MakeTarget(w[1]));
    } else if (verb == "move") {
      dg::DPoint3D centre{++moves_, 0, 0};
      dg::DVec3 v{0, 0, 1};
      du::Symbol path("/" + std::to_string(int(moves_)));
      controller_->FindTarget(du::Symbol(w[1]))->SetLocation(centre, v, v, v, path, 0);
    } else if (verb == "remove") {
      controller_->RemoveTarget(controller_->FindTarget(du::Symbol(w[1])));
    } else if (verb == "groups") {
      observer_->beginEnd = true;
    } else if (verb == "1") {
      dom::MessageLoop::Get().RunOne();
    } else if (verb == "*") {
      arhost::RunUntilIdle();
    } else if (verb == "drain") {
      observer_->heard.clear();
    } else {
      FAIL() << "unknown step";
    }
  }

  void Check(const std::string& what, const std::string& expected) {
    const std::vector<std::string> w = Words(what);
    if (what == "heard") {
      Heard heard;
      heard.swap(observer_->heard);
      Heard wanted;
      std::istringstream items(expected);
      for (std::string item; std::getline(items >> std::ws, item, ',');)
        if (item != "creations")
          wanted.push_back(item);
        else
          for (const auto& name : Registry()) wanted.push_back("create " + name);
      EXPECT_EQ(heard, wanted);
    } else if (what == "registry") {
      EXPECT_EQ(Sorted(Registry()), expected);
    } else if (what == "file") {
      std::vector<std::string> names;
      for (const auto& t : FileTargets()) names.push_back(t->GetName().str());
      EXPECT_EQ(Sorted(names), expected);
    } else if (what == "set") {
      du::SmartPtr<orl::AnnoSetTableEntry> entry;
      table_->GetAnnotationEntry(du::Symbol("ARTargets"), orl::ANNO_SET_CONTENT_AR, entry);
      ASSERT_EQ(expected, "registry") << "the only check of the set";
      ASSERT_NE(entry, nullptr);
      std::vector<du::SmartPtr<ar::ARTarget>> registered;
      controller_->GetTargets(registered);
      EXPECT_EQ(Targets(entry), TargetSet(registered.begin(), registered.end()));
    } else if (what == "saved") {
      std::vector<du::SmartPtr<ar::ARTarget>> registered;
      controller_->GetTargets(registered);
      EXPECT_EQ(Described(FileTargets()), Described({registered.begin(), registered.end()}));
    } else if (w[0] == "target") {
      auto target = controller_->GetTargetForScene(Scene(w[1]));
      EXPECT_EQ(target ? target->GetName().str() : "-", expected);
    } else if (w[0] == "observers") {
      EXPECT_EQ(std::to_string(Scene(w[1])->GetObserverCount()), expected);
    } else if (what == "shown") {
      EXPECT_EQ(controller_->GetShowTargets() ? "1" : "0", expected);
    } else {
      FAIL() << "unknown check";
    }
  }

  double moves_ = 0;
};

// Rows of scripts for TEST_P: each runs in a fresh world; its name names the test.
struct Road {
  std::string name;
  Script script;
};
inline void PrintTo(const Road& road, std::ostream* out) { *out << road.name; }
inline std::string RoadName(const ::testing::TestParamInfo<Road>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

}  // namespace artest
