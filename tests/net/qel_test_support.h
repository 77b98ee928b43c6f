// What the Qel tests share: an event recorder and polling helpers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/qel_api.h"

struct FiredEvent {
    int number;
    QelObject* first;
    QelObject* second;
    std::string text;
    uint16_t code;
};

// Records every event of the root, in order; `also` runs after recording (to delete
// objects from inside a callback, say).
class EventRecorder {
public:
    explicit EventRecorder(QelAPI& api) : api_(api) {
        for (int event = 1; event < kQelEventCount; ++event)
            api.SetCallback(event, [this](const QelEvent& fired) {
                events.push_back(
                    {fired.number, fired.first, fired.second, std::string(fired.text), fired.code});
                if (also) also(fired);
            });
    }
    // The root may outlive the recorder and fire while it goes.
    ~EventRecorder() {
        for (int event = 1; event < kQelEventCount; ++event)
            api_.SetCallback(event, nullptr);
    }
    std::vector<int> Numbers() const {
        std::vector<int> numbers;
        for (const FiredEvent& event : events)
            numbers.push_back(event.number);
        return numbers;
    }
    int Count(int number) const {
        int count = 0;
        for (const FiredEvent& event : events)
            count += event.number == number;
        return count;
    }
    const FiredEvent* Last(int number) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->number == number) return &*it;
        return nullptr;
    }
    void Clear() { events.clear(); }

    std::vector<FiredEvent> events;
    std::function<void(const QelEvent&)> also;

private:
    QelAPI& api_;
};

// Polls until the condition holds, at most `limit` times; whether it held.
inline bool PollUntil(QelAPI& api, const std::function<bool()>& condition, int limit = 200) {
    for (int i = 0; i < limit; ++i) {
        if (condition()) return true;
        api.Process();
    }
    return condition();
}

inline void PollTimes(QelAPI& api, int times) {
    for (int i = 0; i < times; ++i)
        api.Process();
}
