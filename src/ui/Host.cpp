// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Host.h"

#include <string>
#include <utility>

namespace tavero::ui {

Answer Host::messageBox(std::string_view text, std::string_view caption, Icon icon,
                        Buttons buttons) {
    MessageBoxRequest box{std::string(text),
                          std::string(caption.empty() ? kApplicationName : caption), icon, buttons};
    if (boxesOpen_ > 0 && buttons == Buttons::Ok) {
        waitingNotices_.push_back(std::move(box));
        return Answer::Ok;
    }
    const Answer answer = showCounted(box);
    while (boxesOpen_ == 0 && !waitingNotices_.empty()) {
        const MessageBoxRequest notice = std::move(waitingNotices_.front());
        waitingNotices_.pop_front();
        showCounted(notice);
    }
    return answer;
}

Answer Host::showCounted(const MessageBoxRequest& box) {
    struct Open {
        int& boxes;
        explicit Open(int& count) : boxes(count) { ++boxes; }
        ~Open() { --boxes; }
        Open(const Open&) = delete;
        Open& operator=(const Open&) = delete;
    } open{boxesOpen_};
    return showMessageBox(box);
}

}  // namespace tavero::ui
