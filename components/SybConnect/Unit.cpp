#include "components/SybConnect.h"

namespace SybConnect {

namespace {
bool Started = false;
}

void Initialization() {
    if (Started) return;
    Started = true;
    CTLibConnections = new vcl::TThreadList;
}

void Finalization() {
    delete CTLibConnections;
    CTLibConnections = nullptr;
}

} // namespace SybConnect
