// dom::MessageReader: reads a dom::MessageRecord back in the order it was written. Each Get
// returns false, and reads nothing, when the next value is missing or of another kind.
//
// GetRawPtr hands over the reference the record carried: the caller must drop it
// (du::RefCounted::RemoveReference, with the reader's address as tag) once it has taken its
// own, e.g. by assigning the pointer to a du::SmartPtr.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ArHostExport.h"
#include "dom/MessageRecord.h"
#include "du/SmartPtr.h"

namespace dom {

class ARHOST_API MessageReader {
 public:
  explicit MessageReader(MessageRecord& record) : record_(record) {}

  bool GetUInt8Value(std::uint8_t& value);
  bool GetBooleanValue(bool& value);
  bool GetRawPtr(void*& object);
  template <class T>
  bool GetRawPtr(T*& object) {
    void* raw = nullptr;
    if (!GetRawPtr(raw)) return false;
    object = static_cast<T*>(raw);
    return true;
  }

  // Takes over the counted pointer pushed as a T (ObserverProxy::PushSmartPtr) into `out`;
  // a null pointer gives an empty holder.
  template <class T>
  bool GetSmartPtr(du::SmartPtr<T>& out) {
    T* raw = nullptr;
    if (!GetRawPtr(raw)) return false;
    out = raw;
    if (raw) raw->RemoveReference(this);
    return true;
  }

  bool AtEnd() const { return next_ >= record_.Size(); }

 private:
  MessageRecord::Value* Next(MessageRecord::Kind kind);

  MessageRecord& record_;
  std::size_t next_ = 0;
};

}  // namespace dom
