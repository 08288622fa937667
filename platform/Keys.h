#pragma once

// The one key the show listens to. A read reports Escape as down when it is held now or was
// pressed since the previous read, so a tap between two reads is not lost; a request to quit
// (window closed, SIGINT, SIGTERM) reads as Escape held from then on.
class Keys {
public:
    virtual ~Keys() = default;
    virtual bool escape() = 0;
};

// Escape driven by the program itself: offline renders hold it to stop, tests script it.
class ManualKeys : public Keys {
public:
    bool escape() override;
    void hold() { held_ = true; }
    void release() { held_ = false; }
    // A tap that is over before the next read: that read sees it, the one after does not.
    void tap() { pressed_ = true; }
    int reads() const { return reads_; }

private:
    bool held_ = false;
    bool pressed_ = false;
    int reads_ = 0;
};
