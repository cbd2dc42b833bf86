#include "platform/MessageBox.h"

namespace quolis {

MessageBoxAnswer FirstButton(const MessageBoxRequest& request) {
    return request.buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::Yes
                                                       : MessageBoxAnswer::Ok;
}

MessageBoxAnswer ScriptedMessageBoxes::Show(const MessageBoxRequest& request) {
    asked_.push_back(request);
    if (answers_.empty()) {
        return FirstButton(request);
    }
    MessageBoxAnswer a = answers_.front();
    answers_.pop_front();
    // A yes/no box cannot answer OK and an OK box only answers OK.
    if (request.buttons == MessageBoxButtons::Ok) {
        return MessageBoxAnswer::Ok;
    }
    return a == MessageBoxAnswer::Ok ? MessageBoxAnswer::Yes : a;
}

} // namespace quolis
