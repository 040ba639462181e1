#include "components/SybConnect.h"

namespace SybConnect {

vcl::TThreadList* CTLibConnections = nullptr;

std::string NameKey(const std::string& name) { return vcl::UpperCase(vcl::Trim(name)); }

void TSybConnect::RegisterConnection() {
    vcl::TThreadListLock list(*CTLibConnections);
    list->Add(this);
    try {
        SetDatabaseName("Connection" + vcl::IntToStr(list->Count()));
    } catch (...) {
        // A connection that fails to be built leaves no entry.
        list->Remove(this);
        throw;
    }
}

void TSybConnect::UnregisterConnection() {
    if (!CTLibConnections) return; // the unit has ended
    vcl::TThreadListLock list(*CTLibConnections);
    list->Remove(this);
}

void TSybConnect::SetDatabaseName(const std::string& Value) {
    if (Value == FDatabaseName) return;
    if (!CTLibConnections) { // the unit has ended: no one can find it any more
        FDatabaseName = Value;
        return;
    }
    const std::string key = NameKey(Value);
    vcl::TThreadListLock list(*CTLibConnections);
    // Itself included: a variant of its own name is a different name too.
    for (void* item : list->Items())
        if (NameKey(static_cast<TSybConnect*>(item)->FDatabaseName) == key)
            throw vcl::Exception(vcl::Format("Connection named \"%s\" already exists", {vcl::Trim(Value)}));
    FDatabaseName = Value;
}

TSybConnect* FindConnection(const std::string& name) {
    if (!CTLibConnections) return nullptr;
    const std::string key = NameKey(name);
    vcl::TThreadListLock list(*CTLibConnections);
    for (void* item : list->Items()) {
        auto* connection = static_cast<TSybConnect*>(item);
        if (NameKey(connection->GetDatabaseName()) == key) return connection;
    }
    return nullptr;
}

TSybConnect* FindConnectionByName(const std::string& name, TSybQuery* asking) {
    if (!CTLibConnections) return nullptr;
    // The slot is written under the registry's lock, which the look-up takes again.
    vcl::TThreadListLock list(*CTLibConnections);
    TSybConnect* connection = FindConnection(name);
    if (connection) connection->SetActiveQuery(asking);
    return connection;
}

} // namespace SybConnect
