#pragma once

#include "platform/Controls.h"

#include <vector>

// The page's keyboard. The page keeps what keydown and keyup said between two reads: the
// commands in order, Escape held now and Escape pressed since the last read (a tap between two
// frames is not lost). Keys the browser keeps for itself never arrive.
class WebControls : public Controls {
public:
    WebControls();
    bool escape() override;
    bool escapePending() override;
    std::vector<Command> commands() override;
    // Hands the browser its turn until a key comes or the time is up.
    void wait(int milliseconds) override;
};
