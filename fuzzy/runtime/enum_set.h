#pragma once
// A set of values of a one-byte enumeration, stored as a 256-bit mask.
//
// Every value of the underlying byte has its bit, so a value outside the declared enumerators
// (a token type that carries a delimiter's character code, say) is simply not contained.
//
//   TEnumSet<TXYUpdateType> Types{utX};
//   Types.Include(utY);   Types.Contains(utY) == true

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace fuzzy {

template <typename E>
requires std::is_enum_v<E> &&(sizeof(E) == 1) class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(std::initializer_list<E> Values) {
    for (const E Value : Values) Include(Value);
  }

  constexpr bool Contains(E Value) const { return (FWords[WordOf(Value)] & BitOf(Value)) != 0; }
  constexpr void Include(E Value) { FWords[WordOf(Value)] |= BitOf(Value); }
  constexpr void Exclude(E Value) { FWords[WordOf(Value)] &= ~BitOf(Value); }

  friend constexpr bool operator==(const TEnumSet&, const TEnumSet&) = default;

 private:
  static constexpr std::size_t WordBits = 64;

  static constexpr std::size_t Ordinal(E Value) {
    return static_cast<std::size_t>(static_cast<std::underlying_type_t<E>>(Value));
  }
  static constexpr std::size_t WordOf(E Value) { return Ordinal(Value) / WordBits; }
  static constexpr std::uint64_t BitOf(E Value) { return std::uint64_t{1} << (Ordinal(Value) % WordBits); }

  std::array<std::uint64_t, 256 / WordBits> FWords{};
};

}  // namespace fuzzy
