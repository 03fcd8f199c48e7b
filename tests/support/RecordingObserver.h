// An AR controller observer that writes down what it hears, one line per notification:
// "create A", "destroy A", "destroy all", "changed A", "moved A", "show 1", "reset",
// "scene A @S" (target A for scene S; "-" for an empty target), "destroy", and, when
// `beginEnd` is set, "begin" and "end" of the controller's update groups. Targets are named by
// their name; scenes by the label given with Label().
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ar/ARControllerObserver.h"
#include "ar/ARTarget.h"
#include "du/SmartPtr.h"

namespace artest {

class RecordingObserver : public ar::ARControllerObserver {
 public:
  std::vector<std::string> heard;
  std::vector<du::SmartPtr<ar::ARTarget>> targets;  // every target received, in order
  bool beginEnd = false;

  void Label(const void* scene, std::string label) { labels_[scene] = std::move(label); }

  bool RequiresBeginEnd() const override { return beginEnd; }
  void OnBeginUpdate() override { heard.push_back("begin"); }
  void OnEndUpdate() override { heard.push_back("end"); }
  void OnDestroy() override { heard.push_back("destroy"); }
  void OnReset() override { heard.push_back("reset"); }
  void OnTargetCreate(du::SmartPtr<ar::ARTarget>& t) override { Note("create", t); }
  void OnTargetDestroy(du::SmartPtr<ar::ARTarget>& t) override { Note("destroy", t); }
  void OnTargetDestroyAll() override { heard.push_back("destroy all"); }
  void OnTargetChanged(du::SmartPtr<ar::ARTarget>& t) override { Note("changed", t); }
  void OnShowTargets(bool shown) override { heard.push_back(shown ? "show 1" : "show 0"); }
  void OnTargetMoved(du::SmartPtr<ar::ARTarget>& t) override { Note("moved", t); }
  void OnShowTargetForScene(du::SmartPtr<ar::ARTarget>& t,
                            du::SmartPtr<orl::ShapeScene>& scene) override {
    auto label = labels_.find(scene.get());
    Note("scene", t, " @" + (label == labels_.end() ? std::string("?") : label->second));
  }

 protected:
  ~RecordingObserver() override = default;

 private:
  void Note(const char* what, du::SmartPtr<ar::ARTarget>& t, const std::string& suffix = "") {
    targets.push_back(t);
    heard.push_back(std::string(what) + " " + (t ? t->GetName().str() : "-") + suffix);
  }

  std::map<const void*, std::string> labels_;
};

}  // namespace artest
