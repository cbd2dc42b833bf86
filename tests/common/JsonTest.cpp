#include "common/Json.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

void WriteSample(JsonWriter& json) {
    json.BeginObject();
    json.Key("name").String("\x83\x4e"); // CP932 "ク"
    json.Key("list");
    json.BeginArray();
    json.Int(1);
    json.Int(-2);
    json.EndArray();
    json.Key("objects");
    json.BeginArray();
    json.BeginObject();
    json.Key("a").Bool(true);
    json.EndObject();
    json.BeginObject();
    json.EndObject();
    json.EndArray();
    json.Key("empty");
    json.BeginArray();
    json.EndArray();
    json.Key("quote").String("a\"b\\c\n");
    json.EndObject();
}

TEST(JsonWriter, IndentedAndOneLineLayoutsHoldTheSameValues) {
    JsonWriter indented;
    WriteSample(indented);
    EXPECT_EQ(indented.Text(), "{\n"
                               "  \"name\": \"\xe3\x82\xaf\",\n"
                               "  \"list\": [1, -2],\n"
                               "  \"objects\": [\n"
                               "    {\n"
                               "      \"a\": true\n"
                               "    },\n"
                               "    {}\n"
                               "  ],\n"
                               "  \"empty\": [],\n"
                               "  \"quote\": \"a\\\"b\\\\c\\n\"\n"
                               "}\n");
    JsonWriter line(JsonWriter::Layout::OneLine);
    WriteSample(line);
    EXPECT_EQ(line.Text(), "{\"name\": \"\xe3\x82\xaf\", \"list\": [1, -2], "
                           "\"objects\": [{\"a\": true}, {}], \"empty\": [], "
                           "\"quote\": \"a\\\"b\\\\c\\n\"}");
}

} // namespace
} // namespace quolis
