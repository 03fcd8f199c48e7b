// The plug-in's entry points: the component factory and the two start-up hooks the host calls.
#include <string>

#include "ar/ARController.h"
#include "ar/ARExport.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"
#include "xml/ARParser.h"
#include "xml/ARWriter.h"

extern "C" {

AR_API bool OrlDllCreateComponent(const std::string& kind, const std::string& family,
                                  const std::string& subtype,
                                  du::SmartPtr<du::RefCounted>& component) {
  // std::string equality compares length and every byte: no trimming, prefixes or case folding.
  if (family != "augmentedreality") return false;
  if (kind == "world") {
    if (subtype != "controller") return false;
    component = static_cast<du::RefCounted*>(ar::ARController::Get());
    return true;
  }
  if (kind == "loader" && subtype == "xml") {
    ar::ARParser* parser = new ar::ARParser;  // null when the pool is exhausted
    component = static_cast<du::RefCounted*>(parser);
    return true;
  }
  if (kind == "saver" && subtype == "xml") {
    ar::ARWriter* writer = new ar::ARWriter;
    component = static_cast<du::RefCounted*>(writer);
    return true;
  }
  return false;
}

AR_API void OrlDllInit() {}

AR_API void OrlDllTerminate() {}

}  // extern "C"
