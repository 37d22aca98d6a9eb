#include "toolkit/component.h"

#include <algorithm>
#include <cctype>

namespace zorbalin {

namespace {

bool SameTextAscii(const std::string& A, const std::string& B) {
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](unsigned char X, unsigned char Y) {
               return std::tolower(X) == std::tolower(Y);
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

void TComponent::RemoveOwned(TComponent* Component) {
    ComponentRemoved(Component);
    auto it = std::find(FComponents.begin(), FComponents.end(), Component);
    if (it != FComponents.end())
        FComponents.erase(it);
}

TComponent* TComponent::FindComponent(const std::string& Name) const {
    if (Name.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameTextAscii(c->FName, Name))
            return c;
    return nullptr;
}

} // namespace zorbalin
