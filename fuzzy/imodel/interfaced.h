#pragma once
// Reference counting for classes of the interface model that derive from a class of the class
// model (a set is a TFuzzySet, a variable a TPersistent) and so cannot be TInterfacedObjects.
//
// TInterfaced<TBase, TInterface> adds to TBase what TInterfacedObject has: an atomic count that is
// held at 1 while the object is being created (handing itself to a table during creation cannot
// free it half-built) and dropped by ConstructionDone; the release that brings the count to 0
// frees the object, once. QueryInterface answers IInterface, TInterface and ICloneable when TInterface is
// one; descendants add more by overriding GetInterface.

#include <atomic>
#include <type_traits>

#include "fuzzy/companion/common_interfaces.h"

namespace fuzzy {

template <typename TBase, typename TInterface>
class TInterfaced : public TBase, public virtual TInterface {
 public:
  HRESULT QueryInterface(const TGUID& IID, void** Obj) override {
    void* Found = nullptr;
    if (GetInterface(IID, &Found) && Found) {
      _AddRef();
      *Obj = Found;
      return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  int _AddRef() override { return ++FRefCount; }
  int _Release() override {
    const int Count = --FRefCount;
    if (Count == 0) {
      // References taken and dropped while the object is destroyed must not free it again.
      FRefCount.store(DestroyingRefCount);
      this->Free();
    }
    return Count;
  }
  int RefCount() const { return FRefCount.load(); }

  void ConstructionDone() override {
    TBase::ConstructionDone();
    --FRefCount;
  }

 protected:
  using TBase::TBase;

  // Stores in Obj the interface pointer for IID (without counting) and returns true, or false.
  virtual bool GetInterface(const TGUID& IID, void** Obj) {
    if (IID == IInterface::IID) {
      *Obj = static_cast<IInterface*>(this);
      return true;
    }
    if (IID == TInterface::IID) {
      *Obj = static_cast<TInterface*>(this);
      return true;
    }
    if constexpr (std::is_base_of_v<ICloneable, TInterface>) {
      if (IID == ICloneable::IID) {
        *Obj = static_cast<ICloneable*>(this);
        return true;
      }
    }
    return false;
  }
  // Decrements the count without the freeing rule, for descendants with a release rule of their own.
  int DecrementRefCount() { return --FRefCount; }

  static constexpr int DestroyingRefCount = 1 << 30;

 private:
  std::atomic<int> FRefCount{1};
};

}  // namespace fuzzy
