#include "platform/LaunchOptions.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

bool Parse(std::vector<const char*> args, LaunchOptions* o, std::string* error) {
    args.insert(args.begin(), "quolis");
    return ParseLaunchOptions(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(LaunchOptions, NoArgumentsRunsLikeTheOriginal) {
    LaunchOptions o;
    std::string error;
    ASSERT_TRUE(Parse({}, &o, &error));
    EXPECT_FALSE(o.headless);
    EXPECT_EQ(o.frames, -1);
    EXPECT_FALSE(o.fixedStep);
    EXPECT_TRUE(o.screenshots.empty());
    EXPECT_TRUE(o.dataDir.empty());
}

TEST(LaunchOptions, ReadsEveryOption) {
    LaunchOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--headless", "--frames", "3", "--fixed-step", "--screenshot", "2:a.png",
                       "--screenshot", "0:dir/b:c.png", "--data", "/games/q", "--user-dir",
                       "/home/p/q", "--version"},
                      &o, &error))
        << error;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.frames, 3);
    EXPECT_TRUE(o.fixedStep);
    ASSERT_EQ(o.screenshots.size(), 2u);
    EXPECT_EQ(o.screenshots[0].framePass, 2);
    EXPECT_EQ(o.screenshots[0].file, "a.png");
    EXPECT_EQ(o.screenshots[1].framePass, 0);
    EXPECT_EQ(o.screenshots[1].file, "dir/b:c.png"); // only the first colon splits
    EXPECT_EQ(o.dataDir, "/games/q");
    EXPECT_EQ(o.userDir, "/home/p/q");
    EXPECT_TRUE(o.version);
}

TEST(LaunchOptions, RejectsBadCommandLinesWithOneLine) {
    const std::vector<std::vector<const char*>> bad = {{"--frames"},
                                                       {"--frames", "-1"},
                                                       {"--frames", "3x"},
                                                       {"--frames", ""},
                                                       {"--screenshot", "a.png"},
                                                       {"--screenshot", "2:"},
                                                       {"--screenshot", "x:a.png"},
                                                       {"--data"},
                                                       {"--data", ""},
                                                       {"--user-dir"},
                                                       {"--user-dir", ""},
                                                       {"--bogus"},
                                                       {"--frames", "99999999999"}};
    for (const auto& args : bad) {
        LaunchOptions o;
        std::string error;
        EXPECT_FALSE(Parse(args, &o, &error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(ScriptedMessageBoxes, AnswersInOrderAndRemembersTheQuestions) {
    ScriptedMessageBoxes boxes;
    MessageBoxRequest quit{"quit?", "confirm", MessageBoxButtons::YesNo, MessageBoxIcon::Question};
    MessageBoxRequest note{"note", "", MessageBoxButtons::Ok, MessageBoxIcon::Warning};
    boxes.QueueAnswer(MessageBoxAnswer::No);
    boxes.QueueAnswer(MessageBoxAnswer::Yes);
    EXPECT_EQ(boxes.Show(quit), MessageBoxAnswer::No);
    // An OK box answers OK whatever was queued.
    EXPECT_EQ(boxes.Show(note), MessageBoxAnswer::Ok);
    // Unattended: the first button.
    EXPECT_EQ(boxes.Show(quit), MessageBoxAnswer::Yes);
    ASSERT_EQ(boxes.Asked().size(), 3u);
    EXPECT_EQ(boxes.Asked()[0].text, "quit?");
    EXPECT_EQ(boxes.Asked()[1].icon, MessageBoxIcon::Warning);
    EXPECT_EQ(FirstButton(quit), MessageBoxAnswer::Yes);
    EXPECT_EQ(FirstButton(note), MessageBoxAnswer::Ok);
}

} // namespace
} // namespace quolis

namespace quolis {
namespace {

TEST(LaunchOptions, TraceAndLooseAreOffUnlessAsked) {
    LaunchOptions o;
    std::string error;
    ASSERT_TRUE(Parse({}, &o, &error));
    EXPECT_FALSE(o.trace);
    EXPECT_FALSE(o.loose);
    ASSERT_TRUE(Parse({"--trace", "--frames", "2", "--loose"}, &o, &error)) << error;
    EXPECT_TRUE(o.trace);
    EXPECT_TRUE(o.loose);
    EXPECT_EQ(o.frames, 2);
}

TEST(LaunchOptions, SeedTakesCalendarSecondsAndRejectsTheRest) {
    LaunchOptions o;
    std::string error;
    ASSERT_TRUE(Parse({}, &o, &error));
    EXPECT_EQ(o.seed, -1);
    ASSERT_TRUE(Parse({"--seed", "0"}, &o, &error)) << error;
    EXPECT_EQ(o.seed, 0);
    ASSERT_TRUE(Parse({"--seed", "4102444800"}, &o, &error)) << error; // past 2^32 / 2
    EXPECT_EQ(o.seed, 4102444800);
    for (const char* bad : {"-5", "12x", "", "99999999999999999999"}) {
        EXPECT_FALSE(Parse({"--seed", bad}, &o, &error)) << bad;
        EXPECT_NE(error.find("--seed"), std::string::npos) << error;
    }
    EXPECT_FALSE(Parse({"--seed"}, &o, &error));
}

} // namespace
} // namespace quolis
