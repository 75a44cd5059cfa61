#pragma once
// The counted base of the interface model's classes, which derive from class-model classes (a set is
// a TFuzzySet): TInterfaced<TBase, TInterface> is TBase counted by the runtime's TRefCounted, and
// answers QueryInterface for TInterface, and for ICloneable when TInterface derives from it.
//
//   class TIFuzzySet : public TInterfaced<TFuzzySet, IFuzzySet> { ... };

#include <type_traits>
#include <typeinfo>

#include "fuzzy/companion/common_interfaces.h"
#include "fuzzy/runtime/interface.h"

namespace fuzzy {

template <typename TBase, typename TInterface>
class TInterfaced : public TRefCounted<TBase>, public virtual TInterface {
 public:
  // The count is TRefCounted's; the interface's own declarations of these name the same slots.
  HRESULT QueryInterface(const TGUID& IID, void** Obj) override { return TRefCounted<TBase>::QueryInterface(IID, Obj); }
  int _AddRef() override { return TRefCounted<TBase>::_AddRef(); }
  int _Release() override { return TRefCounted<TBase>::_Release(); }

 protected:
  using TRefCounted<TBase>::TRefCounted;
  ~TInterfaced() override = default;

  bool GetInterface(const TGUID& IID, void** Obj) override {
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
    return TRefCounted<TBase>::GetInterface(IID, Obj);
  }
};

// The object of class T (or of a descendant) behind an interface pointer, or nullptr. An object of
// exactly class T is its whole object, so it is found without searching the class hierarchy.
template <typename T, typename TIntf>
T* ObjectOf(TIntf* Intf) {
  if (!Intf) return nullptr;
  if (typeid(*Intf) == typeid(T)) return static_cast<T*>(const_cast<void*>(dynamic_cast<const void*>(Intf)));
  return dynamic_cast<T*>(Intf);
}

}  // namespace fuzzy
