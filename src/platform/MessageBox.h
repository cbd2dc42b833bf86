#pragma once
// Message boxes (the quit question, warnings): the game asks and waits for
// the answer. On the desktop they are modal windows; headless runs, replays
// and tests answer them through a responder instead.
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quolis {

enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxIcon { None, Question, Warning, Information };
enum class MessageBoxAnswer { Ok, Yes, No };

struct MessageBoxRequest {
    std::string text;    // CP932
    std::string caption; // CP932
    MessageBoxButtons buttons = MessageBoxButtons::Ok;
    MessageBoxIcon icon = MessageBoxIcon::None;
};

using MessageBoxResponder = std::function<MessageBoxAnswer(const MessageBoxRequest&)>;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box and returns the button chosen.
    virtual MessageBoxAnswer Show(const MessageBoxRequest& request) = 0;
};

// The answer an unattended run gives: the first button (OK, or Yes).
MessageBoxAnswer FirstButton(const MessageBoxRequest& request);

// Answers from a prepared list and remembers every question (tests, replays).
// With the list empty it answers with the first button.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    MessageBoxAnswer Show(const MessageBoxRequest& request) override;
    void QueueAnswer(MessageBoxAnswer a) { answers_.push_back(a); }
    const std::vector<MessageBoxRequest>& Asked() const { return asked_; }

private:
    std::deque<MessageBoxAnswer> answers_;
    std::vector<MessageBoxRequest> asked_;
};

} // namespace quolis
