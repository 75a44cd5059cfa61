#include "fuzzy/rules/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace fuzzy {
namespace {

TEST(JsonWriter, NestsEscapesAndWritesNumbersThatReadBack) {
  TJsonWriter Json;
  Json.BeginObject();
  Json.Key("name");
  Json.String("say \"hi\"\\\n\t\x01");
  Json.Key("values");
  Json.BeginArray();
  Json.Number(0.1);
  Json.Number(-2.5e-300);
  Json.Number(std::nan(""));
  Json.Number(std::numeric_limits<double>::infinity());
  Json.Number(7);
  Json.EndArray();
  Json.Key("empty");
  Json.BeginArray();
  Json.EndArray();
  Json.Key("flags");
  Json.BeginObject();
  Json.Key("on");
  Json.Bool(true);
  Json.Key("none");
  Json.Null();
  Json.EndObject();
  Json.EndObject();
  EXPECT_EQ(Json.Text(),
            "{\n"
            "  \"name\": \"say \\\"hi\\\"\\\\\\n\\t\\u0001\",\n"
            "  \"values\": [\n    0.1,\n    -2.5e-300,\n    null,\n    null,\n    7\n  ],\n"
            "  \"empty\": [],\n"
            "  \"flags\": {\n    \"on\": true,\n    \"none\": null\n  }\n"
            "}");
}

}  // namespace
}  // namespace fuzzy
