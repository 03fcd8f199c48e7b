#include "orl/Observer.h"

#include <stdexcept>
#include <string>

#include "dom/MessageReader.h"
#include "orl/Observable.h"

namespace orl {

void Observer::HandleMessage(dom::MessageReader& reader) {
  std::uint8_t tag = 0;
  if (!reader.GetUInt8Value(tag)) throw std::runtime_error("Notification record without a tag.");
  HandleEvent(tag, reader);
}

void Observer::HandleEvent(unsigned char tag, dom::MessageReader&) {
  switch (tag) {
    case Observable::kBeginUpdateEvent:
      return OnBeginUpdate();
    case Observable::kEndUpdateEvent:
      return OnEndUpdate();
    case Observable::kDestroyEvent:
      return OnDestroy();
    default:
      throw std::runtime_error("Unrecognised Observer tag <" + std::to_string(tag) + ">.");
  }
}

}  // namespace orl
