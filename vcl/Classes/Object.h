#pragma once

#include <functional>

namespace vcl {

// Root of the class tree: everything that is owned or listed polymorphically.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// An event with only the sender as argument.
using TNotifyEvent = std::function<void(TObject* Sender)>;

} // namespace vcl
