#pragma once

#include "platform/DemoClock.h"
#include "platform/Keys.h"
#include "platform/Screen.h"
#include "raster/DataFolder.h"
#include "raster/LoadError.h"
#include "show/FlashGuard.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// How the show is seen, chosen by the viewer rather than the show's maker; the scenes read it
// as they draw, so a change reaches the next frame.
struct Viewing {
    // Gentle flashes: every white flash and strobe goes toward gentleFlashPeak's grey instead of
    // white, so a flash frame, the scene under it included, is no brighter than that where the
    // scene is not, for viewers whom a full white frame hurts.
    bool gentle = false;
    bool mute = false;
    int volume = 100;  // percent
    static constexpr double gentleFlashPeak = 0.4;
};

// What every scene borrows: the screen it composes into, the clock it keeps to, the keys that
// cut it short, the folder its files are read from, how it is seen and the guard its white
// flashes pass. All outlive every scene.
struct Stage {
    Screen& screen;
    DemoClock& clock;
    Keys& keys;
    const DataFolder& data;
    const Viewing& viewing;
    // The show's, which keeps seeks from bringing flashes in storms; none for a frame alone.
    FlashGuard* flashes = nullptr;
};

// A part of the show. Its constructor loads everything it will draw; phases() describes how it
// plays, and the show steps them one frame at a time (see Show). A scene entered before or after
// its orders ends at once: none waits.
class Scene {
public:
    // The orders the scene plays, first to last, as the timetable gives them.
    struct Orders {
        int first;
        int last;
        bool contains(int order) const { return order >= first && order <= last; }
    };
    // Where a scene stands in its show: the orders it plays and the folder, inside the data,
    // its files are read from. A kind of scene played twice stands in two places.
    struct Slot {
        Orders orders;
        std::string folder;
    };
    // How the timetable builds a scene: every file it loads is read here.
    using Build = std::unique_ptr<Scene> (*)(const Stage& stage, const Slot& slot);

    Scene(const Stage& stage, const Slot& slot);
    virtual ~Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // The scene's progress formulas count its bars in rows of this many, whatever the music's
    // own patterns hold.
    static constexpr int rowsPerOrder = 64;

    // A stretch of the scene with one way of drawing. ended is tested at the top of every frame,
    // then frame draws it, both on the one reading of the clock taken there: frame draws into
    // the scene's own images, then calls lock() and composes into the screen; the frame is
    // presented when frame returns.
    struct Phase {
        std::function<bool(const Position&)> ended;
        std::function<void(const Position&)> frame;
    };

    // Play is entering the scene: state kept from an earlier entry starts over here.
    virtual void enter() {}
    // The scene's phases in playing order, asked for on every entry.
    virtual std::vector<Phase> phases() = 0;
    Orders orders() const { return orders_; }

protected:
    // The end condition of a scene entered by order: outside its orders.
    std::function<bool(const Position&)> outsideOrders() const;

    // Orders counted from the scene's first, for phases keyed to the scene's own bars.
    int ordersIn(const Position& p) const { return p.order - orders_.first; }

    // The name of one of the scene's files in the data: inside its folder.
    std::string file(const char* name) const { return folder_ + "/" + name; }

    // Makes the screen's pixels the frame being composed.
    Image& lock();

    // The white flash that opens an order: all white at its first row, gone after 1 / perRow rows.
    void flash(Image& out, int row, double perRow = 0.0625) const;
    // Every whitening of the frame goes through here, flashes and white fades alike: amount of
    // the way to white, or of the way to gentleFlashPeak's grey with gentle flashes, as far as
    // the show's flash guard lets it.
    void whiten(Image& out, double amount) const;
    // How far toward white a whitening drawn its own way goes: amount as far as the flash guard
    // lets it, and gentleFlashPeak of that with gentle flashes. Asked once a frame, as whiten is.
    double whiteness(double amount) const;

    // Builds an effect on a loaded texture. An effect that refuses its texture (a wrong size)
    // is reported against the texture's file, like any other fault in the show's data.
    template <class E, class... Args>
    static std::unique_ptr<E> effectOn(const std::string& textureName, Args&&... args) {
        try {
            return std::make_unique<E>(std::forward<Args>(args)...);
        } catch (const std::invalid_argument& e) {
            throw LoadError(textureName, e.what());
        }
    }

    Screen& screen;
    DemoClock& clock;

private:
    Orders orders_;
    std::string folder_;
    const Viewing& viewing_;
    FlashGuard* flashes_;
};
