#include "controls/MachHostBinding.h"
#include "host/MachUpdateThread.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace {

// The smallest host-bound control: a widget with the shared binding and no reaction of its own.
class ProbeControl final : public QWidget, public TMachHostBinding
{
public:
    explicit ProbeControl(MachBindingRow row) : TMachHostBinding(*this, row) {}
};

}  // namespace

// Binding keeps the thread only where the row asks for it, enables the control with a
// reference and disables it without, and reads a thread destroyed meanwhile as none.
TEST(HostBindingTest, BindingFollowsTheRowAndTheReference)
{
    struct Case
    {
        const char* name;
        MachBindingRow row;
        bool keepsThread;
    };
    const Case cases[] = {{"script object only", ScriptObjectBindingRow, false},
                          {"with the update thread", ScriptObjectAndThreadBindingRow, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DisplaysHarness h;
        RecordingDocumentFactory documents{h.host};
        auto thread = std::make_unique<TMachUpdateThread>(documents);
        ProbeControl control(c.row);

        EXPECT_EQ(control.BindingRow().receivesUpdateThread, c.row.receivesUpdateThread);
        control.BindMach(h.host, thread.get());
        EXPECT_EQ(control.iMach(), h.host);
        EXPECT_TRUE(control.isEnabled());
        EXPECT_EQ(control.UpdateThread(), c.keepsThread ? thread.get() : nullptr);

        thread.reset();
        EXPECT_EQ(control.UpdateThread(), nullptr);

        control.BindMach(nullptr, nullptr);
        EXPECT_EQ(control.iMach(), nullptr);
        EXPECT_FALSE(control.isEnabled());
        control.SetIMach(h.host);
        EXPECT_TRUE(control.isEnabled());
        EXPECT_TRUE(h.Journal().isEmpty()) << "holding a reference makes no host call";
    }
}
