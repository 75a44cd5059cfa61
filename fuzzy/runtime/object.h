#pragma once
// The object root with two-phase creation and destruction, and persistent objects with Assign.
//
// C++ does not dispatch virtual calls to a derived class while a base constructor or destructor
// runs, so construction and destruction are split:
//  - constructors only initialise fields; the steps that call virtuals or fire notifications run
//    in AfterConstruction(), which New<T>(...) calls once the whole object exists;
//  - Free() first runs BeforeDestruction() on the still complete object, then deletes it.
// Destructors are protected in every library class, so that nothing bypasses Free() (a `delete` of a
// library object does not compile); hosts that prefer RAII hold objects in a TOwned<T> (a
// std::unique_ptr whose deleter calls Free()).
//
// Ownership in one line each: New<T>(...) and MakeOwned<T>(...) give the caller the object; an item
// made by a collection (Items().Add(...)) belongs to that collection; Adopt(p) takes a result that
// belongs to the caller into a TOwned, and refuses an object that something else owns.
//
//   TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);   // a free-standing set, freed at scope end
//   TOwned<TFuzzySet> Copy = Adopt(Set->Clone());            // a free-standing result: the caller's
//   FreeObject(nullptr);                                     // null-safe; p->Free() needs an object

#include <cstddef>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>

#include "fuzzy/runtime/recycled_memory.h"

namespace fuzzy {

class TObject {
 public:
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  virtual std::string ClassName() const { return "TObject"; }
  virtual std::string ToString() const { return ClassName(); }

  // The creation steps that need the complete object (virtual calls, notifications).
  virtual void AfterConstruction() {}
  // Runs after AfterConstruction has returned; reference-counted objects drop the hold they keep
  // on themselves while being created.
  virtual void ConstructionDone() {}
  // The destruction steps that need the complete object (leaving a collection, deleted events).
  virtual void BeforeDestruction() {}

  // Library objects are made in recycled memory: most are small and short-lived.
  static void* operator new(std::size_t Size) { return recycled_memory::Allocate(Size); }
  static void operator delete(void* Block, std::size_t Size) noexcept { recycled_memory::Release(Block, Size); }

  // Destroys the object: BeforeDestruction(), then the destructors. FreeObject(p) accepts null.
  void Free() {
    BeforeDestruction();
    delete this;
  }

  // What owns the object besides whoever points to it ("a TFuzzySets", "its counted references"),
  // or empty when the object belongs to whoever created or adopted it.
  virtual std::string OwnedBy() const { return {}; }

 protected:
  TObject() = default;
  virtual ~TObject() = default;
};

// Frees Object when it is not null.
inline void FreeObject(TObject* Object) {
  if (Object) Object->Free();
}

// The one creation path: constructs T, then runs its AfterConstruction().
// When a creation step throws, the half-made object is freed and the exception passes on.
template <typename T, typename... Args>
T* New(Args&&... Arguments) {
  T* Object = new T(std::forward<Args>(Arguments)...);
  try {
    Object->AfterConstruction();
  } catch (...) {
    Object->Free();
    throw;
  }
  Object->ConstructionDone();
  return Object;
}

struct TObjectDeleter {
  void operator()(TObject* Object) const { FreeObject(Object); }
};

// Ownership of a library object by the host: freed through Free() when the pointer goes.
template <typename T>
using TOwned = std::unique_ptr<T, TObjectDeleter>;

// Raises EInvalidOperation when something owns Object (see OwnedBy).
void CheckAdoptable(const TObject* Object);

// Adopts a result that belongs to the caller (for example an operation on a free-standing set); null
// gives an empty TOwned. An object that a collection, an owner component or counted references own
// is refused with EInvalidOperation: freeing it here would leave its owner a dangling pointer.
template <typename T>
TOwned<T> Adopt(T* Object) {
  CheckAdoptable(Object);
  return TOwned<T>(Object);
}

template <typename T, typename... Args>
TOwned<T> MakeOwned(Args&&... Arguments) {
  return TOwned<T>(New<T>(std::forward<Args>(Arguments)...));
}

// dynamic_cast<const T*>(Source) that answers the common case, Source exactly a T, without the
// runtime's search of the class hierarchy (Assign calls this for every copy).
template <typename T, typename S>
const T* CastTo(const S* Source) {
  if (Source && typeid(*Source) == typeid(T)) return static_cast<const T*>(Source);
  return dynamic_cast<const T*>(Source);
}

class TPersistent : public TObject {
 public:
  std::string ClassName() const override { return "TPersistent"; }

  // Copies Source into this object. The default asks Source to assign itself to this object
  // (AssignTo), and raises EConvertError "Cannot assign a ... to a ..." when neither knows how.
  // Source is only read.
  virtual void Assign(const TPersistent* Source);
  // The class name of the owner (GetOwner), as "a TFuzzySets".
  std::string OwnedBy() const override;

 protected:
  TPersistent() = default;
  ~TPersistent() override = default;
  // Copies this object into Dest; the default raises the "Cannot assign" error.
  virtual void AssignTo(TPersistent* Dest) const;
  [[noreturn]] void AssignError(const TPersistent* Source) const;
  virtual TPersistent* GetOwner() const { return nullptr; }
};

}  // namespace fuzzy
