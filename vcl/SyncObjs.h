// Synchronisation objects of the host class library.
#pragma once

#include <mutex>

#include "vcl/Classes/Object.h"

namespace vcl {

// A lock that its holder may enter again (as a Windows critical section).
class TCriticalSection : public TObject {
public:
    void Enter() { FLock.lock(); }
    void Leave() { FLock.unlock(); }
    void Acquire() { Enter(); }
    void Release() { Leave(); }
    bool TryEnter() { return FLock.try_lock(); }

private:
    std::recursive_mutex FLock;
};

} // namespace vcl
