#pragma once

namespace tarnwick {

// Raises a flag for as long as it lives, so that the flag falls again however the scope ends.
struct RaisedFlag {
    bool& flag;
    explicit RaisedFlag(bool& f) : flag(f) { flag = true; }
    ~RaisedFlag() { flag = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;
};

}  // namespace tarnwick
