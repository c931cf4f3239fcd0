#pragma once

#include "platform/Waiter.h"

// Waiting on the calling thread with Qt's event dispatch.
class NativeWaiter final : public IWaiter
{
public:
    void Sleep(int ms) override;
    void ProcessEvents() override;
    void SleepProcessingEvents(int ms) override;
};
