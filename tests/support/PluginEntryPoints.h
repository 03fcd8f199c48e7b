// The plug-in's entry points, as a host declares them before it looks them up.
#pragma once

#include <string>

#include "du/RefCounted.h"
#include "du/SmartPtr.h"

extern "C" {
bool OrlDllCreateComponent(const std::string& kind, const std::string& family,
                           const std::string& subtype, du::SmartPtr<du::RefCounted>& component);
void OrlDllInit();
void OrlDllTerminate();
}
