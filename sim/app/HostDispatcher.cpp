#include "sim/app/HostDispatcher.h"

#include "sim/MachineModel.h"
#include "sim/SimLog.h"
#include "sim/app/Journal.h"

#include <exception>
#include <limits>

namespace hostsim {

using hostlink::LinkOp;
using hostlink::LinkReply;
using hostlink::LinkRequest;
using hostlink::WireValue;

HostDispatcher::HostDispatcher(MachineModel& model, Journal& journal, IHostWindowControl& window)
    : m_model(model), m_journal(journal), m_window(window)
{
}

void HostDispatcher::Handle(const LinkRequest& request, LinkReply& reply)
{
    reply.seq = request.seq;
    reply.ok = true;
    reply.error.clear();
    if (request.op != LinkOp::Hello)
        m_journal.Record(hostlink::FormatRequest(request));
    try {
        reply.result = Run(request);
    } catch (const std::exception& e) {
        reply.ok = false;
        reply.error = QStringLiteral("The simulated controller failed: %1").arg(QString::fromUtf8(e.what()));
    } catch (...) {
        reply.ok = false;
        reply.error = QStringLiteral("The simulated controller failed");
    }
    if (!reply.ok)
        qCDebug(lcSim).noquote() << "Refused" << hostlink::FormatRequest(request) << ":" << reply.error;
}

WireValue HostDispatcher::Run(const LinkRequest& r)
{
    const auto i16 = [&](int n) { return int(r.args[n].int16); };
    const auto text = [&](int n) -> const QString& { return r.args[n].text; };
    switch (r.op) {
    case LinkOp::DeActivateSignal: m_model.DeActivateSignal(i16(0)); break;
    case LinkOp::GetVar: return WireValue::OfDouble(m_model.GetVar(i16(0)));
    case LinkOp::Code: m_model.Code(text(0)); break;
    case LinkOp::IsMoving: return WireValue::OfBool(m_model.IsMoving());
    case LinkOp::DoOEMButton: m_model.DoOEMButton(i16(0)); break;
    case LinkOp::DoButton: m_model.DoButton(i16(0)); break;
    case LinkOp::GetOEMLed: return WireValue::OfBool(m_model.GetOEMLed(i16(0)));
    case LinkOp::GetOEMDRO: return WireValue::OfDouble(m_model.GetOEMDRO(i16(0)));
    case LinkOp::SetOEMDRO: m_model.SetOEMDRO(i16(0), r.args[1].number); break;
    case LinkOp::IsLoading: {
        // The host answers in 16 bits; any non-zero count must stay non-zero.
        const int loading = m_model.IsLoading();
        return WireValue::OfInt16(qint16(qBound(int(std::numeric_limits<qint16>::min()), loading,
                                                int(std::numeric_limits<qint16>::max()))));
    }
    case LinkOp::SetButtonText: m_model.SetButtonText(text(0)); break;
    case LinkOp::Message: m_model.Message(text(0)); break;
    case LinkOp::FileName: return WireValue::OfString(m_model.FileName());
    case LinkOp::LoadFile: m_model.LoadFile(text(0)); break;
    case LinkOp::DocGetScriptObject: break;
    case LinkOp::DocRelease: break;
    case LinkOp::Hello: return WireValue::OfInt16(qint16(hostlink::LinkProtocolVersion));
    case LinkOp::WindowCaption: return WireValue::OfString(m_window.Caption());
    case LinkOp::SetWindowVisible: m_window.SetShown(r.args[0].boolean); break;
    }
    return WireValue::None();
}

}  // namespace hostsim
