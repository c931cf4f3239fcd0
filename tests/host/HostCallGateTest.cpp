#include "host/HostCallGate.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <memory>
#include <optional>

// One call at a time: a call begun while another is in progress is refused with the operator's
// text, and refusing it leaves the first call's mark as it was.
TEST(HostCallGate, OneCallAtATime)
{
    EXPECT_FALSE(HostCallInProgress());
    {
        const HostCallScope first;
        EXPECT_TRUE(HostCallInProgress());
        try {
            const HostCallScope second;
            ADD_FAILURE() << "a second call began";
        } catch (const HostCallBusy& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("The controller is still answering an earlier call"));
        }
        EXPECT_TRUE(HostCallInProgress());
    }
    EXPECT_FALSE(HostCallInProgress());
    const HostCallScope again;
    EXPECT_TRUE(HostCallInProgress());
}

// Deferred work runs from the event loop after the call, in order, never inside a later call's
// wait, and not at all once its context has gone.
TEST(HostCallGate, DeferredWorkWaitsForTheCallAndTheEventLoop)
{
    QStringList ran;
    QObject context;
    WhenNoHostCall(&context, [&] { ran.append(QStringLiteral("idle")); });
    EXPECT_EQ(ran, QStringList{QStringLiteral("idle")}) << "no call: at once";
    ran.clear();

    auto gone = std::make_unique<QObject>();
    std::optional<HostCallScope> call;
    call.emplace();
    WhenNoHostCall(&context, [&] { ran.append(QStringLiteral("close")); });
    WhenNoHostCall(gone.get(), [&] { ran.append(QStringLiteral("gone")); });
    WhenNoHostCall(&context, [&] { ran.append(QStringLiteral("reconnect")); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran.isEmpty()) << "not from inside the call's wait";
    call.reset();
    EXPECT_TRUE(ran.isEmpty()) << "not from inside the call either";
    gone.reset();

    call.emplace();  // the next call began before the loop came round
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran.isEmpty());
    WhenNoHostCall(&context, [&] { ran.append(QStringLiteral("later")); });
    call.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (QStringList{QStringLiteral("close"), QStringLiteral("reconnect"),
                                QStringLiteral("later")}));

    ran.clear();
    WhenNoHostCall(&context, [&] { ran.append(QStringLiteral("idle again")); });
    EXPECT_EQ(ran, QStringList{QStringLiteral("idle again")});
}
