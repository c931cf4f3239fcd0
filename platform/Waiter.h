#pragma once

// Waiting on the user-interface thread. Long host operations wait in short sleeps and let the
// windows process pending events in between, so the program stays live and further operator
// actions, even nested ones, can start meanwhile.
class IWaiter
{
public:
    virtual ~IWaiter() = default;

    // Blocks the calling thread for `ms` milliseconds without processing events.
    virtual void Sleep(int ms) = 0;

    // Processes the pending window events once, without waiting for new ones.
    virtual void ProcessEvents() = 0;

    // Waits `ms` milliseconds while processing window events.
    virtual void SleepProcessingEvents(int ms) = 0;
};
