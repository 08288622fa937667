#pragma once

#include "platform/Controls.h"

#include <vector>

// The page's keyboard and mouse, its keys and mouse actions told it from the key table. The page keeps what keydown and keyup
// said between two reads: the commands in order, Escape held now and Escape pressed since the
// last read (a tap between two frames is not lost). Keys the browser keeps for itself never
// arrive.
class WebControls : public Controls {
public:
    WebControls();
    bool escape() override;
    bool escapePending() override;
    std::vector<Command> commands() override;
    // Where the page's bar was clicked (host.barShare), and whether the pointer is near the
    // picture's foot (host.pointerAtFoot).
    double barShare() const override;
    bool pointerAtFoot() const override;
    // The page's own loop paces a pause: there is nothing to wait for here.
    void wait(int) override {}
};
