#pragma once

namespace tarnwick {

// SIGINT (Ctrl+C), SIGTERM, SIGHUP and SIGQUIT end the run between two batches of steps
// while the object lives, so the summary and the dump are still written; a second one ends
// hc11run at once. Signals the caller ignores stay ignored.
class EndSignals {
  public:
    EndSignals();
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // The signal that asked the run to end; 0 while none has.
    static int received();
};

// A terminal on standard input passes each key as it is typed, without echo and with Enter
// as CR, while the object lives. The end signals set it back at once, Ctrl+Z sets it back
// for as long as hc11run is suspended.
class RawTerminal {
  public:
    // Leaves standard input as it is when it is no terminal.
    RawTerminal();
    ~RawTerminal();
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool active() const { return active_; }

  private:
    bool active_ = false;
};

}  // namespace tarnwick
