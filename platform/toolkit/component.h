// Ownership of components: an owner destroys the components it owns, the last created first.
#pragma once

#include <string>
#include <vector>

#include "toolkit/classes.h"

namespace zorbalin {

class TComponent : public TPersistent {
  public:
    // The new component joins Owner's list (Owner may be null: then its creator frees it).
    explicit TComponent(TComponent* Owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(Index); }
    // The owned component of that name (case-insensitive, as form descriptions name them).
    TComponent* FindComponent(const std::string& Name) const;

    const std::string& Name() const { return FName; }
    virtual void SetName(const std::string& Name) { FName = Name; }
    int Tag = 0;

  protected:
    // Destroys the owned components now, newest first. A container calls this at the start of its
    // destructor so that its components go while it is still whole.
    void DestroyComponents();
    // Called on the owner when a component it owns is about to be destroyed.
    virtual void ComponentRemoved(TComponent*) {}

  private:
    void RemoveOwned(TComponent* Component);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::string FName;
};

} // namespace zorbalin
