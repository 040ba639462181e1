#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/Classes/Object.h"

namespace vcl {

enum TComponentStateFlag : uint32_t {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csFreeNotification = 1u << 5,
};
// A set of TComponentStateFlag values.
using TComponentState = uint32_t;

enum class TOperation { opInsert, opRemove };
constexpr TOperation opInsert = TOperation::opInsert;
constexpr TOperation opRemove = TOperation::opRemove;

// Base of every component. A component owns the components created with it as
// owner and destroys them (last inserted first) when it is destroyed. Owned
// components' names are unique within their owner. Components on each other's
// free-notification lists are told when the other goes away.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* GetOwner() const { return FOwner; }
    TComponent* Owner() const { return FOwner; }

    const std::string& GetName() const { return FName; }
    const std::string& Name() const { return FName; }
    // Raises "A component named %s already exists" when a sibling has the name
    // (names compare without regard to ASCII case).
    virtual void SetName(const std::string& NewName);

    TComponentState ComponentState() const { return FComponentState; }
    bool HasState(TComponentStateFlag flag) const { return (FComponentState & flag) != 0; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const;
    TComponent* FindComponent(const std::string& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Destroys every owned component, the last inserted first.
    void DestroyComponents();

    // Both sides hear (Notification opRemove) when the other is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Marks this component and everything it owns as being destroyed.
    void Destroying();
    void SetDesigning(bool Value);
    // Called after the component was read from a stream; clears csLoading.
    virtual void Loaded();

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void SetComponentStateFlag(TComponentStateFlag flag, bool on);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    TComponentState FComponentState = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;

    friend class TComponentAccess;
};

} // namespace vcl
