#include "fuzzy/runtime/enum_set.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace fuzzy {
namespace {

enum TColour : std::uint8_t { clRed, clGreen, clBlue };

TEST(EnumSet, IncludeExcludeContains) {
  TEnumSet<TColour> Set{clRed, clBlue};
  EXPECT_TRUE(Set.Contains(clRed));
  EXPECT_FALSE(Set.Contains(clGreen));
  Set.Include(clGreen);
  Set.Exclude(clRed);
  Set.Exclude(clRed);
  EXPECT_EQ(Set, (TEnumSet<TColour>{clBlue, clGreen}));
  EXPECT_NE(Set, TEnumSet<TColour>{});

  // Ordinals beyond the declared values (and beyond one 64-bit word) have their own bits.
  const auto Far = static_cast<TColour>(200);
  EXPECT_FALSE(Set.Contains(Far));
  Set.Include(Far);
  EXPECT_TRUE(Set.Contains(Far));
  EXPECT_FALSE(Set.Contains(static_cast<TColour>(136)));
  EXPECT_TRUE(Set.Contains(clBlue));
}

static_assert(TEnumSet<TColour>{clGreen}.Contains(clGreen));

}  // namespace
}  // namespace fuzzy
