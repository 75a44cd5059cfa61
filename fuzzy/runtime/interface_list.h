#pragma once
// A counted list of interface references.
//
// The list holds one counted reference per entry (entries may be nil). Bad indexes raise EListError
// "List index out of bounds (i)"; First and Last of an empty list raise it too. An entry leaves the
// list before its reference is dropped, so an object that dies on its release and touches the list
// from its destructor finds it consistent.
//
//   IPtr<IInterfaceList> List(New<TInterfaceList>());
//   List->Add(Token);   // one counted reference, dropped when the entry leaves the list

#include <string>
#include <vector>

#include "fuzzy/runtime/interface.h"
#include "fuzzy/runtime/recycled_memory.h"

namespace fuzzy {

class IInterfaceList : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{EBCDF88A-DE60-4F7C-B554-987F946B07B2}");

  // Appends Item and returns its index.
  virtual int Add(const IPtr<IInterface>& Item) = 0;
  virtual IPtr<IInterface> Get(int Index) const = 0;
  virtual void Put(int Index, const IPtr<IInterface>& Item) = 0;
  virtual int Count() const = 0;
  // Index may equal Count (appends).
  virtual void Insert(int Index, const IPtr<IInterface>& Item) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  // Index of the first entry that is Item (same object), or -1.
  virtual int IndexOf(const IPtr<IInterface>& Item) const = 0;
  // Deletes the first entry that is Item; returns its former index, or -1.
  virtual int Remove(const IPtr<IInterface>& Item) = 0;
  virtual IPtr<IInterface> First() const = 0;
  virtual IPtr<IInterface> Last() const = 0;

 protected:
  ~IInterfaceList() = default;
};

class TInterfaceList : public TInterfacedObject, public virtual IInterfaceList {
 public:
  std::string ClassName() const override { return "TInterfaceList"; }

  int Add(const IPtr<IInterface>& Item) override;
  IPtr<IInterface> Get(int Index) const override;
  void Put(int Index, const IPtr<IInterface>& Item) override;
  int Count() const override { return static_cast<int>(FItems.size()); }
  void Insert(int Index, const IPtr<IInterface>& Item) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const IPtr<IInterface>& Item) const override;
  int Remove(const IPtr<IInterface>& Item) override;
  IPtr<IInterface> First() const override { return Get(0); }
  IPtr<IInterface> Last() const override { return Get(Count() - 1); }

  // Add and Get without a counted reference passing through: a list that holds its own items
  // (a token list) reads and fills them with one count each instead of three.
  int AddItem(IInterface* Item);
  IInterface* ItemAt(int Index) const {
    CheckIndex(Index, Count() - 1);
    return FItems[static_cast<std::size_t>(Index)].Get();
  }

 protected:
  ~TInterfaceList() override = default;
  TInterfaceList() = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);
  bool GetInterface(const TGUID& IID, void** Obj) override;

 private:
  void CheckIndex(int Index, int Limit) const;

  static constexpr std::size_t FirstCapacity = 8;

  // In recycled memory: lists of a few items come and go with every expression read.
  TRecycledVector<IPtr<IInterface>> FItems;
};

}  // namespace fuzzy
