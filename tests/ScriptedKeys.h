#pragma once

#include "platform/Controls.h"

#include <map>
#include <vector>

// Keys given at the player's looks at them, counted from 0; it looks once after each frame
// and once per turn while paused. Escape is never down.
struct ScriptedKeys : Controls {
    std::map<int, std::vector<Command>> script;
    int looks = 0;
    double share = 0.0;  // where on the bar a seekBar points
    bool atFoot = false;
    double barShare() const override { return share; }
    bool pointerAtFoot() const override { return atFoot; }
    std::vector<Command> commands() override {
        const auto it = script.find(looks++);
        return it == script.end() ? std::vector<Command>{} : it->second;
    }
    bool escape() override { return false; }
    bool escapePending() override { return false; }
    void wait(int) override {}
};
