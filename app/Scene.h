#pragma once

#include "platform/DemoClock.h"
#include "platform/Keys.h"
#include "platform/Screen.h"
#include "raster/LoadError.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <utility>

// A part of the show. Its constructor loads everything it will draw; run() plays it from the
// current music position by handing its phases to the frame protocol, and returns when the last
// phase ends. A scene entered before or after its orders returns at once: none waits.
// Borrows the screen, the clock and the keys, which outlive every scene.
class Scene {
public:
    // The orders the scene plays, first to last, as the music's timetable gives them.
    struct Orders {
        int first;
        int last;
    };

    Scene(Screen& screen, DemoClock& clock, Keys& keys, Orders orders);
    virtual ~Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    virtual void run() {}
    Orders orders() const { return orders_; }

protected:
    // One frame loop. ended is tested at the top of every frame, on a fresh music position.
    // frame reads the clock, draws into the scene's own images, then calls lock() and composes
    // into the screen; the protocol presents the frame when frame returns.
    struct Phase {
        std::function<bool()> ended;
        std::function<void()> frame;
    };

    // The frame protocol, for every phase in turn: Escape is read before the first frame and
    // after each frame, and a key that reads down ends the phase there. A later phase that still
    // finds it down ends before drawing, so a held key ends the show.
    void play(std::initializer_list<Phase> phases);

    // The end condition of a scene entered by order: outside its orders. The order is read
    // twice, once for each bound, as each test asks the music afresh.
    std::function<bool()> outsideOrders();

    // Makes the screen's pixels the frame being composed.
    Screen& lock();

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
};
