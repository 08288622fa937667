#pragma once

#include "show/Show.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a studio hangs on the player: a call after every frame and every turn of a pause, data
// files still being made, scenes built again from new data, a banner of what went wrong.
class StudioHooks {
public:
    void onIdle(std::function<void()> idle) { idle_ = std::move(idle); }
    void idle() const {
        if (idle_) idle_();
    }

    void awaitData(std::vector<std::string> dataFiles) { awaiting_ = std::move(dataFiles); }
    // Whether a scene of this row loads a file still awaited.
    bool awaits(const TimetableRow& row) const;

    // Builds again every scene of the show that loads one of these data files, and puts each
    // in place but the running one's, which it returns (null when it was not built again) for
    // the player to enter where the show is. Every new scene is built before any old one goes,
    // so a file that fails to load changes nothing: the exception leaves the show as it was.
    std::unique_ptr<Scene> reload(Show& show, const std::vector<std::string>& dataFiles);

    void setBanner(std::vector<std::string> lines) { banner_ = std::move(lines); }
    const std::vector<std::string>& banner() const { return banner_; }

private:
    std::function<void()> idle_;
    std::vector<std::string> awaiting_;
    std::vector<std::string> banner_;
};
