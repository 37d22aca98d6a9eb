// The roots of the toolkit's class tree: every component, control and picture derives from
// TObject, so that an event handler can receive its sender as one pointer type.
#pragma once

#include <functional>

namespace zorbalin {

class TObject {
  public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;
};

// Objects whose contents can be copied into another object of a compatible class
// (pictures, fonts). Assign is declared by the classes that need it.
class TPersistent : public TObject {};

// The plain event of the toolkit: "something happened to Sender".
using TNotifyEvent = std::function<void(TObject* Sender)>;

} // namespace zorbalin
