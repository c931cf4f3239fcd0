#pragma once

#include "host/Mach4_TLB.h"

#include <memory>

namespace hostlink {

class LinkConnection;

// The host's script object over the local link: each operation is one request and one reply on
// the connection it shares with its document. Failures (the host refused the call, the host
// has gone, the document was released) are raised as ZentyrError. UI thread only.
class LinkScriptObject final : public IMyScriptObject
{
public:
    explicit LinkScriptObject(std::shared_ptr<LinkConnection> connection);

    void DeActivateSignal(int16_t signal) override;
    double GetVar(int16_t index) override;
    void Code(const QString& text) override;
    bool IsMoving() override;
    void DoOEMButton(int16_t code) override;
    void DoButton(int16_t number) override;
    bool GetOEMLed(int16_t code) override;
    double GetOEMDRO(int16_t code) override;
    void SetOEMDRO(int16_t code, double value) override;
    int16_t IsLoading() override;
    void SetButtonText(const QString& text) override;
    void Message(const QString& text) override;
    QString FileName() override;
    void LoadFile(const QString& path) override;

private:
    std::shared_ptr<LinkConnection> m_connection;
};

}  // namespace hostlink
