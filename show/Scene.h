#pragma once

#include "platform/DemoClock.h"
#include "platform/Keys.h"
#include "platform/Screen.h"
#include "raster/LoadError.h"

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <utility>

// What every scene borrows: the screen it composes into, the clock it keeps to and the keys that
// cut it short. All three outlive every scene.
struct Stage {
    Screen& screen;
    DemoClock& clock;
    Keys& keys;
};

// A part of the show. Its constructor loads everything it will draw; run() plays it from the
// current music position by handing its phases to the frame protocol, and returns when the last
// phase ends. A scene entered before or after its orders returns at once: none waits.
class Scene {
public:
    // The orders the scene plays, first to last, as the timetable gives them.
    struct Orders {
        int first;
        int last;
        bool contains(int order) const { return order >= first && order <= last; }
    };
    // How the timetable builds a scene: every file it loads is read here.
    using Build = std::unique_ptr<Scene> (*)(const Stage& stage, Orders orders);

    Scene(const Stage& stage, Orders orders);
    virtual ~Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    virtual void run() = 0;
    Orders orders() const { return orders_; }

    // Gentle flashes: every white flash and strobe reaches at most gentleFlashPeak of full white,
    // for viewers whom a full white frame hurts. For the whole process, set before play.
    static constexpr double gentleFlashPeak = 0.4;
    static void setGentleFlashes(bool gentle) { gentle_.store(gentle, std::memory_order_relaxed); }
    static bool gentleFlashes() { return gentle_.load(std::memory_order_relaxed); }

protected:
    // One frame loop. ended is tested at the top of every frame, then frame draws it, both on the
    // one reading of the clock taken there: frame draws into the scene's own images, then calls
    // lock() and composes into the screen; the protocol presents the frame when frame returns.
    struct Phase {
        std::function<bool(const Position&)> ended;
        std::function<void(const Position&)> frame;
    };

    // The frame protocol, for every phase in turn: Escape is read before the first frame and
    // after each frame, and a key that reads down ends the phase there. A later phase that still
    // finds it down ends before drawing, so a held key ends the show.
    void play(std::initializer_list<Phase> phases);

    // The end condition of a scene entered by order: outside its orders.
    std::function<bool(const Position&)> outsideOrders() const;

    // Orders counted from the scene's first, for phases keyed to the scene's own bars.
    int ordersIn(const Position& p) const { return p.order - orders_.first; }

    // Makes the screen's pixels the frame being composed.
    Image& lock();

    // The white flash that opens an order: all white at its first row, gone after 1 / perRow rows.
    static void flash(Image& out, int row, double perRow = 0.0625);
    // Every whitening of the frame goes through here, flashes and white fades alike: amount of
    // the way to white, or gentleFlashPeak of that with gentle flashes.
    static void whiten(Image& out, double amount);

    // Builds an effect on a loaded texture. An effect that refuses its texture (a wrong size)
    // is reported against the texture's file, like any other fault in the show's data.
    template <class E, class... Args>
    static std::unique_ptr<E> effectOn(const char* textureName, Args&&... args) {
        try {
            return std::make_unique<E>(std::forward<Args>(args)...);
        } catch (const std::invalid_argument& e) {
            throw LoadError(textureName, e.what());
        }
    }

    Screen& screen;
    DemoClock& clock;
    Keys& keys;

private:
    Orders orders_;
    static inline std::atomic<bool> gentle_{false};
};
