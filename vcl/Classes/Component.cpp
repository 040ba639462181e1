#include "vcl/Classes/Component.h"

#include <algorithm>

#include "vcl/Classes/Lists.h"
#include "vcl/SysUtils.h"

namespace vcl {

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Partners hear of us, the most recently registered first.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->Notification(this, opRemove);
        other->RemoveNotification(this);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) TList::Error(index);
    return FComponents[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    const std::string key = UpperCase(AName);
    for (TComponent* c : FComponents)
        if (UpperCase(c->FName) == key) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == FName) return;
    if (FOwner && !NewName.empty()) {
        TComponent* other = FOwner->FindComponent(NewName);
        if (other && other != this)
            throw Exception(Format("A component named %s already exists", {NewName}));
    }
    FName = NewName;
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
        throw Exception(Format("A component named %s already exists", {AComponent->FName}));
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (HasState(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c); // taken out first: siblings are not told through the owner
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (FOwner && AComponent->FOwner == FOwner) return; // the owner tells them anyway
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    SetComponentStateFlag(csFreeNotification, true);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
    if (FFreeNotifies.empty()) SetComponentStateFlag(csFreeNotification, false);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveNotification(AComponent);
    // Copy: a handler may destroy or insert components while we walk.
    std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
        if (std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
            c->Notification(AComponent, Operation);
}

void TComponent::Destroying() {
    if (HasState(csDestroying)) return;
    SetComponentStateFlag(csDestroying, true);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::SetDesigning(bool Value) {
    SetComponentStateFlag(csDesigning, Value);
    for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::Loaded() { SetComponentStateFlag(csLoading, false); }

void TComponent::SetComponentStateFlag(TComponentStateFlag flag, bool on) {
    if (on)
        FComponentState |= flag;
    else
        FComponentState &= ~static_cast<TComponentState>(flag);
}

} // namespace vcl
