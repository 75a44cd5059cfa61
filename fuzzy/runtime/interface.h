#pragma once
// Reference-counted interfaces: GUIDs, IInterface, the intrusive pointer IPtr and the counted base
// TRefCounted (TInterfacedObject for classes that are nothing else).
//
// An interfaced object starts with its count held at 1 while it is being created; New<T>() drops
// the hold when creation is done, leaving the count at 0 until the first IPtr takes it:
//
//   IPtr<IBaseStreamToken> Token(New<TBaseStreamToken>());   // count 1; freed when Token goes
//   IPtr<IBaseStreamToken> Other = Token;                      // count 2

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "fuzzy/runtime/object.h"

namespace fuzzy {

struct TGUID {
  std::uint32_t D1 = 0;
  std::uint16_t D2 = 0;
  std::uint16_t D3 = 0;
  std::uint8_t D4[8] = {};

  // Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; a malformed text fails to compile when
  // used in a constant expression.
  static consteval TGUID FromString(std::string_view Text) {
    if (Text.size() != 38 || Text[0] != '{' || Text[37] != '}' || Text[9] != '-' || Text[14] != '-' ||
        Text[19] != '-' || Text[24] != '-')
      throw "malformed GUID";
    auto Hex = [&](std::size_t Pos, std::size_t Digits) {
      std::uint64_t Value = 0;
      for (std::size_t I = 0; I < Digits; ++I) {
        const char C = Text[Pos + I];
        int D = C >= '0' && C <= '9'   ? C - '0'
                : C >= 'A' && C <= 'F' ? C - 'A' + 10
                : C >= 'a' && C <= 'f' ? C - 'a' + 10
                                       : throw "malformed GUID";
        Value = Value * 16 + static_cast<std::uint64_t>(D);
      }
      return Value;
    };
    TGUID G;
    G.D1 = static_cast<std::uint32_t>(Hex(1, 8));
    G.D2 = static_cast<std::uint16_t>(Hex(10, 4));
    G.D3 = static_cast<std::uint16_t>(Hex(15, 4));
    G.D4[0] = static_cast<std::uint8_t>(Hex(20, 2));
    G.D4[1] = static_cast<std::uint8_t>(Hex(22, 2));
    for (std::size_t I = 0; I < 6; ++I) G.D4[2 + I] = static_cast<std::uint8_t>(Hex(25 + 2 * I, 2));
    return G;
  }

  friend constexpr bool operator==(const TGUID& A, const TGUID& B) {
    if (A.D1 != B.D1 || A.D2 != B.D2 || A.D3 != B.D3) return false;
    for (int I = 0; I < 8; ++I)
      if (A.D4[I] != B.D4[I]) return false;
    return true;
  }
  std::string ToString() const;
};

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

class IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{00000000-0000-0000-C000-000000000046}");

  // On success stores an interface pointer of the asked kind in Obj (with a reference taken) and
  // returns S_OK; otherwise stores nullptr and returns E_NOINTERFACE.
  virtual HRESULT QueryInterface(const TGUID& IID, void** Obj) = 0;
  virtual int _AddRef() = 0;
  virtual int _Release() = 0;

 protected:
  ~IInterface() = default;
};

// The intrusive counted pointer: the only way the library holds counted references.
template <typename T>
class IPtr {
 public:
  IPtr() = default;
  IPtr(std::nullptr_t) {}
  IPtr(T* Pointer) : FPointer(Pointer) {
    if (FPointer) FPointer->_AddRef();
  }
  IPtr(const IPtr& Other) : IPtr(Other.FPointer) {}
  IPtr(IPtr&& Other) noexcept : FPointer(std::exchange(Other.FPointer, nullptr)) {}
  template <typename U>
  requires std::is_convertible_v<U*, T*> IPtr(const IPtr<U>& Other) : IPtr(static_cast<T*>(Other.Get())) {}
  ~IPtr() { Reset(); }

  IPtr& operator=(IPtr Other) noexcept {
    std::swap(FPointer, Other.FPointer);
    return *this;
  }

  // Takes over a reference that the caller already holds (as QueryInterface hands out).
  static IPtr Attach(T* Pointer) {
    IPtr Result;
    Result.FPointer = Pointer;
    return Result;
  }

  void Reset() {
    if (T* Old = std::exchange(FPointer, nullptr)) Old->_Release();
  }
  T* Get() const { return FPointer; }
  T* operator->() const { return FPointer; }
  T& operator*() const { return *FPointer; }
  explicit operator bool() const { return FPointer != nullptr; }

  friend bool operator==(const IPtr& A, const IPtr& B) { return A.FPointer == B.FPointer; }
  friend bool operator==(const IPtr& A, std::nullptr_t) { return A.FPointer == nullptr; }

 private:
  T* FPointer = nullptr;
};

// True when Instance supports interface T; Intf then holds it (and is empty otherwise). Intf may
// hold the only reference to Instance: it is replaced only after the query.
template <typename T, typename U>
bool Supports(U* Instance, IPtr<T>& Intf) {
  IPtr<T> Result;
  void* Obj = nullptr;
  if (Instance && Instance->QueryInterface(T::IID, &Obj) == S_OK && Obj)
    Result = IPtr<T>::Attach(static_cast<T*>(Obj));
  Intf = std::move(Result);
  return static_cast<bool>(Intf);
}

template <typename T, typename U>
bool Supports(const IPtr<U>& Instance, IPtr<T>& Intf) {
  return Supports<T>(Instance.Get(), Intf);
}

template <typename T, typename U>
bool Supports(U* Instance) {
  IPtr<T> Intf;
  return Supports<T>(Instance, Intf);
}

// An interface query that yields nullptr when T is not supported.
template <typename T, typename U>
IPtr<T> QueryIntf(const IPtr<U>& Instance) {
  IPtr<T> Intf;
  Supports<T>(Instance.Get(), Intf);
  return Intf;
}

// The one reference count of the library: TRefCounted<TBase> makes a TObject class TBase counted.
// The count is atomic and held at 1 while the object is being created (so that handing itself to a
// table during AfterConstruction cannot free it half-built); ConstructionDone drops the hold. The
// release that brings the count to 0 frees the object, once: references that its destruction takes
// and drops (an event fired with the object as sender) do not free it again.
// IInterface is a virtual base, and interfaces derive from their parents virtually, so that an
// object has one IInterface (one identity) however many interfaces it implements. Descendants add
// their interfaces by overriding GetInterface.
template <typename TBase>
class TRefCounted : public TBase, public virtual IInterface {
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
  // A counted object belongs to its references: nobody adopts or frees it by hand.
  std::string OwnedBy() const override { return "its counted references"; }

 protected:
  using TBase::TBase;
  ~TRefCounted() override = default;

  // Stores in Obj the interface pointer for IID (without counting) and returns true, or false.
  virtual bool GetInterface(const TGUID& IID, void** Obj) {
    if (IID == IInterface::IID) {
      *Obj = static_cast<IInterface*>(this);
      return true;
    }
    return false;
  }
  // Decrements the count without the freeing rule, for descendants with a release rule of their own.
  int DecrementRefCount() { return --FRefCount; }

 private:
  // The count of an object that its last release is destroying.
  static constexpr int DestroyingRefCount = 1 << 30;
  std::atomic<int> FRefCount{1};
};

// A counted object that is nothing else.
class TInterfacedObject : public TRefCounted<TObject> {
 public:
  std::string ClassName() const override { return "TInterfacedObject"; }

 protected:
  TInterfacedObject() = default;
  ~TInterfacedObject() override = default;
};

}  // namespace fuzzy
