#pragma once
// Enumeration value names (the names published properties are stored under).
//
// An enumeration takes part by specialising TEnumNames<E> with a constexpr array Names indexed by
// the ordinal; GetEnumName and GetEnumValue then work for it.
//
//   GetEnumName(fhVery) == "fhVery";   GetEnumValue("fhVery", Hedge) sets Hedge and is true

#include <string>
#include <string_view>

namespace fuzzy {

template <typename E>
struct TEnumNames;  // specialise: static constexpr std::array<std::string_view, N> Names

template <typename E>
std::string GetEnumName(E Value) {
  const auto& Names = TEnumNames<E>::Names;
  const auto Ordinal = static_cast<std::size_t>(Value);
  return Ordinal < Names.size() ? std::string(Names[Ordinal]) : std::to_string(Ordinal);
}

// The value whose name is Name (exact), or false.
template <typename E>
bool GetEnumValue(std::string_view Name, E& Value) {
  const auto& Names = TEnumNames<E>::Names;
  for (std::size_t I = 0; I < Names.size(); ++I)
    if (Names[I] == Name) {
      Value = static_cast<E>(I);
      return true;
    }
  return false;
}

}  // namespace fuzzy
