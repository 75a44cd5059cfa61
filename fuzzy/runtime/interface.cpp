#include "fuzzy/runtime/interface.h"

#include "fuzzy/runtime/format.h"

namespace fuzzy {

std::string TGUID::ToString() const {
  return Format("{%8.8x-%4.4x-%4.4x-%2.2x%2.2x-%2.2x%2.2x%2.2x%2.2x%2.2x%2.2x}",
                {D1, D2, D3, D4[0], D4[1], D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]});
}

HRESULT TInterfacedObject::QueryInterface(const TGUID& IID, void** Obj) {
  void* Found = nullptr;
  if (GetInterface(IID, &Found) && Found) {
    static_cast<IInterface*>(this)->_AddRef();
    *Obj = Found;
    return S_OK;
  }
  *Obj = nullptr;
  return E_NOINTERFACE;
}

int TInterfacedObject::_Release() {
  const int Count = --FRefCount;
  if (Count == 0) {
    // References taken and dropped while the object is destroyed must not free it a second time.
    FRefCount.store(DestroyingRefCount);
    Free();
  }
  return Count;
}

bool TInterfacedObject::GetInterface(const TGUID& IID, void** Obj) {
  if (IID == IInterface::IID) {
    *Obj = static_cast<IInterface*>(this);
    return true;
  }
  return false;
}

}  // namespace fuzzy
