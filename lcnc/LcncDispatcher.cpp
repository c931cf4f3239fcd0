#include "lcnc/LcncDispatcher.h"

#include "lcnc/IController.h"
#include "lcnc/MachTranslation.h"

#include <exception>
#include <limits>

namespace lcnchost {

using hostlink::LinkOp;
using hostlink::LinkReply;
using hostlink::LinkRequest;
using hostlink::WireValue;

LcncDispatcher::LcncDispatcher(MachTranslation& host) : m_host(host) {}

void LcncDispatcher::Handle(const LinkRequest& request, LinkReply& reply)
{
    reply.seq = request.seq;
    reply.ok = true;
    reply.error.clear();
    try {
        reply.result = Run(request);
    } catch (const ControllerError& e) {
        reply.ok = false;
        reply.error = e.Reason();
    } catch (const std::exception& e) {
        reply.ok = false;
        reply.error = QStringLiteral("The LinuxCNC host failed: %1").arg(QString::fromUtf8(e.what()));
    } catch (...) {
        reply.ok = false;
        reply.error = QStringLiteral("The LinuxCNC host failed");
    }
}

void LcncDispatcher::ClientDisconnected()
{
    m_host.StopJogs();
}

WireValue LcncDispatcher::Run(const LinkRequest& r)
{
    const auto i16 = [&](int n) { return int(r.args[n].int16); };
    const auto text = [&](int n) -> const QString& { return r.args[n].text; };
    switch (r.op) {
    case LinkOp::DeActivateSignal: m_host.DeActivateSignal(i16(0)); break;
    case LinkOp::GetVar: return WireValue::OfDouble(m_host.GetVar(i16(0)));
    case LinkOp::Code: m_host.Code(text(0)); break;
    case LinkOp::IsMoving: return WireValue::OfBool(m_host.IsMoving());
    case LinkOp::DoOEMButton: m_host.DoOEMButton(i16(0)); break;
    case LinkOp::DoButton: m_host.DoButton(i16(0)); break;
    case LinkOp::GetOEMLed: return WireValue::OfBool(m_host.GetOEMLed(i16(0)));
    case LinkOp::GetOEMDRO: return WireValue::OfDouble(m_host.GetOEMDRO(i16(0)));
    case LinkOp::SetOEMDRO: m_host.SetOEMDRO(i16(0), r.args[1].number); break;
    case LinkOp::IsLoading: {
        const int loading = m_host.IsLoading();
        return WireValue::OfInt16(qint16(qBound(int(std::numeric_limits<qint16>::min()), loading,
                                                int(std::numeric_limits<qint16>::max()))));
    }
    case LinkOp::SetButtonText: m_host.SetButtonText(text(0)); break;
    case LinkOp::Message: m_host.Message(text(0)); break;
    case LinkOp::FileName: return WireValue::OfString(m_host.FileName());
    case LinkOp::LoadFile: m_host.LoadFile(text(0)); break;
    case LinkOp::DocGetScriptObject: break;
    case LinkOp::DocRelease: break;
    case LinkOp::Hello: return WireValue::OfInt16(qint16(hostlink::LinkProtocolVersion));
    case LinkOp::WindowCaption: return WireValue::OfString(HostCaption());
    case LinkOp::SetWindowVisible: break;  // no window to show or hide
    }
    return WireValue::None();
}

}  // namespace lcnchost
