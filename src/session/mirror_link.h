#pragma once
#include <functional>

namespace brisk {

// The controller's side of the mirror runner: completions during a mirror run are handed to the
// runner as posted messages (parameter, value), so each completion returns before it acts.
class MirrorLink {
public:
    explicit MirrorLink(std::function<void(std::function<void()>)> post) : post_(std::move(post)) {}

    std::function<void(int param, int value)> onMessage;
    // Stop during a run: the runner ends it at its next step. True when a file transfer is under
    // way, which Stop then aborts.
    std::function<bool()> onStop;

    void send(int param, int value)
    {
        post_([this, param, value] {
            if (onMessage)
                onMessage(param, value);
        });
    }

private:
    std::function<void(std::function<void()>)> post_;
};

} // namespace brisk
