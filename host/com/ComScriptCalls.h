#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace comhost {

class DocumentSession;

// The script object's fourteen operations over a session, with the host's types: codes and
// indexes travel as 16-bit integers (a value outside -32768..32767 is refused before any
// call), values as doubles, texts as UTF-16 strings of any length. Results are read as each
// operation gives them: IsMoving's variant and GetOEMLed's 16-bit boolean as booleans (true
// when non-zero), IsLoading as a 16-bit integer, FileName as text. Failures raise ComError.
class ScriptCalls final
{
public:
    explicit ScriptCalls(std::shared_ptr<DocumentSession> session);

    void DeActivateSignal(long long signal);
    double GetVar(long long index);
    void Code(std::wstring_view text);
    bool IsMoving();
    void DoOEMButton(long long code);
    void DoButton(long long number);
    bool GetOEMLed(long long code);
    double GetOEMDRO(long long code);
    void SetOEMDRO(long long code, double value);
    short IsLoading();
    void SetButtonText(std::wstring_view text);
    void Message(std::wstring_view text);
    std::wstring FileName();
    void LoadFile(std::wstring_view path);

private:
    std::shared_ptr<DocumentSession> m_session;
};

}  // namespace comhost
