#include "toolkit/component.h"

#include <algorithm>
#include <cctype>

namespace zorbalin {

namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

TComponent::TComponent(TComponent* Owner) : FOwner(Owner) {
    if (FOwner)
        FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveOwned(this);
}

void TComponent::DestroyComponents() {
    // Each component takes itself out of the list in its destructor.
    while (!FComponents.empty())
        delete FComponents.back();
}

void TComponent::RemoveOwned(TComponent* component) {
    ComponentRemoved(component);
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it != FComponents.end())
        FComponents.erase(it);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameTextAscii(c->FName, name))
            return c;
    return nullptr;
}

} // namespace zorbalin
