#include "fuzzy/runtime/object.h"

#include "fuzzy/runtime/exception.h"

namespace fuzzy {

void TPersistent::Assign(const TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void CheckAdoptable(const TObject* Object) {
  if (!Object) return;
  const std::string Owner = Object->OwnedBy();
  if (!Owner.empty()) throw EInvalidOperation(SAdoptOwned, {Object->ClassName(), Owner});
}

std::string TPersistent::OwnedBy() const {
  const TPersistent* Owner = GetOwner();
  return Owner ? "a " + Owner->ClassName() : std::string();
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const std::string SourceName = Source ? Source->ClassName() : std::string("nil");
  throw EConvertError(SAssignError, {SourceName, ClassName()});
}

}  // namespace fuzzy
