// orlloader::FileParser: the base of the components that read and write files for the loader.
// Components come from plug-ins (see Loader) and are counted; they report nothing by default.
#pragma once

#include "ArHostExport.h"
#include "du/RefCounted.h"
#include "du/Symbol.h"
#include "orl/MemoryPoolAllocated.h"

namespace orlloader {

class ARHOST_API FileParser : public orl::MemoryPoolAllocated, public du::RefCounted {
 public:
  virtual const char* GetDebugClassName() const { return "orlloader::FileParser"; }
  // Progress of the current job, 0 to 1, and its end, for components that report them.
  virtual void OnProgress(double /*fraction*/) {}
  virtual void OnComplete() {}
  virtual du::Symbol GetParserName() const { return du::Symbol::EMPTY; }
  // Whether the component must prepare the content before a save (Presave).
  virtual bool IsPresaveNeeded() const { return false; }
  virtual void Presave() {}

 protected:
  FileParser() = default;
  ~FileParser() override = default;
};

}  // namespace orlloader
