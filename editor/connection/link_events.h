// link_events.h - what the dispatcher tells the rest of the editor about
// the link.  The dispatcher knows no window: it raises these events, and
// the connection status, the live displays and the optical tab subscribe.
#ifndef ZELK_CONNECTION_LINK_EVENTS_H
#define ZELK_CONNECTION_LINK_EVENTS_H

#include <cstdint>
#include <vector>

namespace zelk {

// The status box: Off Line, On Line, or "Data?" while retrying.
enum class LinkStatus { OffLine = 0, OnLine = 1, Struggling = 2 };

// A live value the unit reported differently from what the editor held.
enum class LiveValue { Format, Volume, Mute };

class LinkEvents {
public:
    virtual ~LinkEvents() = default;
    virtual void linkStatus(LinkStatus) {}
    // A connecting call failed for the `attempts`-th time.
    virtual void retryProgress(int /*attempts*/) {}
    virtual void liveValueChanged(LiveValue) {}
    // The measurement stream stopped sending (the dispatcher's kStreamLostWord).
    virtual void streamLost() {}
    // The link was given up: the library is shut down, the editor off line.
    virtual void linkLost(std::uint16_t /*errorWord*/) {}
};

// Passes each event to every subscriber, in the order they subscribed.
class LinkEventHub : public LinkEvents {
public:
    void subscribe(LinkEvents& s) { subs_.push_back(&s); }
    void linkStatus(LinkStatus st) override {
        for (auto* s : subs_) s->linkStatus(st);
    }
    void retryProgress(int attempts) override {
        for (auto* s : subs_) s->retryProgress(attempts);
    }
    void liveValueChanged(LiveValue v) override {
        for (auto* s : subs_) s->liveValueChanged(v);
    }
    void streamLost() override {
        for (auto* s : subs_) s->streamLost();
    }
    void linkLost(std::uint16_t e) override {
        for (auto* s : subs_) s->linkLost(e);
    }

private:
    std::vector<LinkEvents*> subs_;
};

}  // namespace zelk

#endif
